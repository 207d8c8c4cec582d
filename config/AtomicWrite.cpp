#include "config/AtomicWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cstdio>

bool writeBytesAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

bool writeThroughTemporaryFile(const QString &path, const FileWriter &write, QString *error)
{
    const QFileInfo target(path);
    // As QSaveFile does: a file the user may not write is not replaced behind their back.
    if (target.exists() && !target.isWritable()) {
        if (error)
            *error = QStringLiteral("the file is not writable");
        return false;
    }
    // The new file gets the old one's permissions, or the usual ones of a new file.
    const QFile::Permissions permissions = target.exists()
        ? QFile::permissions(path)
        : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    // A unique name beside the target, so the rename stays on one file system.
    QTemporaryFile temporary(QDir(target.absolutePath()).filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    if (!temporary.open()) {
        if (error)
            *error = temporary.errorString();
        return false;
    }
    const QString temporaryPath = temporary.fileName();
    temporary.close();
    if (!write(temporaryPath) || QFileInfo(temporaryPath).size() <= 0) {
        if (error)
            *error = QStringLiteral("the file could not be written");
        return false; // QTemporaryFile removes what was written
    }
    QFile::setPermissions(temporaryPath, permissions);
    // rename(2) replaces the target in one step; QFile::rename would refuse an existing one.
    if (std::rename(QFile::encodeName(temporaryPath).constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        if (error)
            *error = QStringLiteral("the file could not be put in place");
        return false;
    }
    temporary.setAutoRemove(false); // it is the target now
    return true;
}
