#include "config/CIniFile.h"

#include "config/IniText.h"
#include "config/PrivateProfile.h"

CIniFile::CIniFile(const QString &path)
    : CCustomIniFile(path)
{
}

QString CIniFile::ReadText(const QString &section, const QString &key, const QString &defaultValue) const
{
    return profile::readString(filePath, section, key, defaultValue);
}

void CIniFile::WriteText(const QString &section, const QString &key, const QString &value)
{
    writeSucceeded = profile::writeString(filePath, section, key, initext::storedValue(value));
}

void CIniFile::RemoveKey(const QString &section, const QString &key)
{
    writeSucceeded = profile::removeKey(filePath, section, key);
}

void CIniFile::RemoveSection(const QString &section)
{
    writeSucceeded = profile::removeSection(filePath, section);
}

void CIniFile::CreateSection(const QString &section)
{
    writeSucceeded = profile::clearSection(filePath, section);
}

QStringList CIniFile::ListSections() const
{
    return profile::sectionNames(filePath);
}

QStringList CIniFile::ListKeys(const QString &section) const
{
    return profile::keyNames(filePath, section);
}

QStringList CIniFile::ListSectionLines(const QString &section) const
{
    return ListKeys(section);
}

bool CIniFile::Flush()
{
    return true;
}

void CIniFile::AttachFile(const QString &name)
{
    filePath = name;
}
