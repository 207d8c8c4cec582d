#include "trace/AtomicWrite.h"

#include "trace/SorBlocks.h"

#include "config/AtomicWrite.h"

int writeFileAtomically(const QString &path, const QByteArray &bytes, const QLoggingCategory &log)
{
    QString error;
    if (!writeBytesAtomically(path, bytes, &error)) {
        qCWarning(log) << "cannot write" << path << error;
        return SorResult::CannotCreate;
    }
    return SorResult::Done;
}
