#pragma once

#include "config/IniText.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// Base of the INI classes: typed reads and writes built on two text primitives, plus the
// structural operations each variant implements. Failures are never reported to the caller:
// a missing section or key yields the caller's default.
class CCustomIniFile {
public:
    virtual ~CCustomIniFile();

    CCustomIniFile(const CCustomIniFile &) = delete;
    CCustomIniFile &operator=(const CCustomIniFile &) = delete;

    // Deletes the backing file (not a folder) and binds the same path again.
    virtual void DeleteBackingFile();

    virtual QString ReadText(const QString &section, const QString &key, const QString &defaultValue) const = 0;
    virtual void WriteText(const QString &section, const QString &key, const QString &value) = 0;

    virtual int32_t ReadInt(const QString &section, const QString &key, int32_t defaultValue) const;
    virtual void WriteInt(const QString &section, const QString &key, int32_t value);
    virtual uint32_t ReadUInt(const QString &section, const QString &key, uint32_t defaultValue) const;
    // Written with "%d": values above 2147483647 appear negative and read back unchanged.
    virtual void WriteUInt(const QString &section, const QString &key, uint32_t value);
    virtual uint8_t ReadUInt8(const QString &section, const QString &key, uint8_t defaultValue) const;
    virtual void WriteUInt8(const QString &section, const QString &key, uint8_t value);
    virtual bool ReadFlag(const QString &section, const QString &key, bool defaultValue) const;
    virtual void WriteFlag(const QString &section, const QString &key, bool value);
    virtual float ReadFloat32(const QString &section, const QString &key, float defaultValue) const;
    virtual void WriteFloat32(const QString &section, const QString &key, float value);
    virtual double ReadFloat64(const QString &section, const QString &key, double defaultValue) const;
    virtual void WriteFloat64(const QString &section, const QString &key, double value);
    virtual IniTime ReadTimestamp(const QString &section, const QString &key, IniTime defaultValue) const;
    virtual void WriteTimestamp(const QString &section, const QString &key, IniTime value);
    virtual IniTime ReadDateOnly(const QString &section, const QString &key, IniTime defaultValue) const;
    virtual void WriteDateOnly(const QString &section, const QString &key, IniTime value);
    virtual IniTime ReadTimeOnly(const QString &section, const QString &key, IniTime defaultValue) const;
    virtual void WriteTimeOnly(const QString &section, const QString &key, IniTime value);

    // Exact comparison against the listings.
    virtual bool HasSection(const QString &section) const;
    virtual bool HasKey(const QString &section, const QString &key) const;

    virtual void RemoveKey(const QString &section, const QString &key) = 0;
    virtual void RemoveSection(const QString &section) = 0;
    virtual void CreateSection(const QString &section) = 0;
    virtual QStringList ListSections() const = 0;
    virtual QStringList ListKeys(const QString &section) const = 0;
    virtual QStringList ListSectionLines(const QString &section) const = 0;
    // Writes pending content to the file; false when it could not be written.
    virtual bool Flush() = 0;

    // Binds the file at `path`, taken as given (callers build it from the program's folder, as
    // configFilePath does). An empty path keeps the current binding.
    virtual void AttachFile(const QString &path);

    QString boundPath() const { return filePath; }
    bool isUnicodeFile() const { return unicodeFile; }

protected:
    CCustomIniFile() = default;
    explicit CCustomIniFile(const QString &path);

    QString filePath;         // empty when not bound
    bool unicodeFile = false; // the file starts with the UTF-16LE mark FF FE
};
