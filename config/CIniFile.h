#pragma once

#include "config/CCustomIniFile.h"

// An INI file read and written on every call through the private-profile service
// (config/PrivateProfile.h), with the reading rules of initext::parseIniLine that CMemIniFile
// follows too; every write replaces the file atomically.
class CIniFile : public CCustomIniFile {
public:
    explicit CIniFile(const QString &path = QString());

    QString ReadText(const QString &section, const QString &key, const QString &defaultValue) const override;
    // A value with a blank at either end, or itself in double quotes, is written in double
    // quotes, so that it reads back as it was (initext::storedValue).
    void WriteText(const QString &section, const QString &key, const QString &value) override;
    void RemoveKey(const QString &section, const QString &key) override;
    // The section and its keys go.
    void RemoveSection(const QString &section) override;
    // The header exists afterwards with nothing under it.
    void CreateSection(const QString &section) override;
    QStringList ListSections() const override;
    QStringList ListKeys(const QString &section) const override;
    // The key names, as ListKeys.
    QStringList ListSectionLines(const QString &section) const override;
    // Every write is already on disk: nothing to do.
    bool Flush() override;
    // Stores the name as the path, unresolved.
    void AttachFile(const QString &name) override;

    // False when the last write could not be made (the file is then unchanged).
    bool lastWriteSucceeded() const { return writeSucceeded; }

private:
    bool writeSucceeded = true;
};
