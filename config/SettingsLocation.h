#pragma once

#include <QString>

#include <functional>

// Where Config.ini is read and written. The program folder's own Config.ini is used while that
// folder is writable (the build tree, a portable copy). An installed program's folder is not:
// its writes go to a per-user Config.ini, made from the shipped one on the first write and read
// instead of it from then on.

// File name of the settings file in the program's folder.
inline constexpr char configFileName[] = "Config.ini";

// Path of Config.ini in `folder` (the program's folder).
QString configFilePath(const QString &folder);

// The process environment the per-user folder comes from.
struct SettingsEnvironment {
    QString configHome; // XDG_CONFIG_HOME; used only when absolute
    QString home;       // HOME

    static SettingsEnvironment fromProcess();
};

// True when a file can be created in `folder`. Tried rather than judged from permission bits,
// so read-only mounts and access lists count.
bool folderAcceptsFiles(const QString &folder);

using FolderWritable = std::function<bool(const QString &folder)>;

class SettingsLocation {
public:
    explicit SettingsLocation(QString programFolder, SettingsEnvironment env = SettingsEnvironment::fromProcess(),
                              FolderWritable writable = folderAcceptsFiles);

    // Config.ini in the program folder.
    QString shippedPath() const;
    // CONFIG/Lumidor/Config.ini, CONFIG being $XDG_CONFIG_HOME or else $HOME/.config; empty when
    // neither gives an absolute folder.
    QString userPath() const;
    bool usesUserFile() const;

    // The file to read: the per-user one when it is in use and exists, else the shipped one.
    QString readPath() const;

    // The file to write. For the per-user file this creates its folder and, when the file is
    // missing, copies the shipped file there first. Empty when that fails, so the write fails.
    QString writePath() const;

private:
    QString m_programFolder;
    SettingsEnvironment m_env;
    FolderWritable m_writable;
};

// The same for the program folder holding `shippedConfig`, in this process's environment.
QString settingsReadPath(const QString &shippedConfig);
QString settingsWritePath(const QString &shippedConfig);
