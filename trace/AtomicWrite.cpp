#include "trace/AtomicWrite.h"

#include "trace/SorBlocks.h"

#include <QSaveFile>

int writeFileAtomically(const QString &path, const QByteArray &bytes, const QLoggingCategory &log)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(log) << "cannot create" << path << file.errorString();
        return SorResult::CannotCreate;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        qCWarning(log) << "cannot write" << path << file.errorString();
        file.cancelWriting();
        return SorResult::CannotCreate;
    }
    return SorResult::Done;
}
