#include "config/SettingsLocation.h"

#include "config/AtomicWrite.h"
#include "config/ConfigLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <utility>

QString configFilePath(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(configFileName));
}

SettingsEnvironment SettingsEnvironment::fromProcess()
{
    return {qEnvironmentVariable("XDG_CONFIG_HOME"), qEnvironmentVariable("HOME")};
}

bool folderAcceptsFiles(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-test-XXXXXX")));
    return probe.open();
}

SettingsLocation::SettingsLocation(QString programFolder, SettingsEnvironment env, FolderWritable writable)
    : m_programFolder(std::move(programFolder)), m_env(std::move(env)), m_writable(std::move(writable))
{
}

QString SettingsLocation::shippedPath() const
{
    return configFilePath(m_programFolder);
}

QString SettingsLocation::userPath() const
{
    QString base;
    if (QDir::isAbsolutePath(m_env.configHome))
        base = m_env.configHome;
    else if (QDir::isAbsolutePath(m_env.home))
        base = QDir(m_env.home).filePath(QStringLiteral(".config"));
    else
        return {};
    return QDir(QDir(base).filePath(QStringLiteral("Lumidor"))).filePath(QString::fromLatin1(configFileName));
}

bool SettingsLocation::usesUserFile() const
{
    return !m_writable(m_programFolder);
}

QString SettingsLocation::readPath() const
{
    if (usesUserFile()) {
        const QString user = userPath();
        if (!user.isEmpty() && QFileInfo(user).isFile())
            return user;
    }
    return shippedPath();
}

QString SettingsLocation::writePath() const
{
    if (!usesUserFile())
        return shippedPath();
    const QString user = userPath();
    if (user.isEmpty()) {
        qCWarning(lcConfig) << "no per-user settings folder: neither XDG_CONFIG_HOME nor HOME is absolute";
        return {};
    }
    const QFileInfo info(user);
    if (info.isFile())
        return user;
    if (info.exists() || !QDir().mkpath(info.absolutePath())) {
        qCWarning(lcConfig) << "cannot make the per-user settings file" << user;
        return {};
    }
    QFile shipped(shippedPath());
    if (!shipped.exists())
        return user; // nothing to start from: the write creates the file
    // Bytes as shipped (the encoding stays); written whole or not at all, with the user's own
    // permissions rather than the installed file's read-only ones.
    if (!shipped.open(QIODevice::ReadOnly) || !writeBytesAtomically(user, shipped.readAll())) {
        qCWarning(lcConfig) << "cannot copy" << shippedPath() << "to" << user;
        return {};
    }
    return user;
}

QString settingsReadPath(const QString &shippedConfig)
{
    return SettingsLocation(QFileInfo(shippedConfig).absolutePath()).readPath();
}

QString settingsWritePath(const QString &shippedConfig)
{
    return SettingsLocation(QFileInfo(shippedConfig).absolutePath()).writePath();
}
