#include "config/CCustomIniFile.h"

#include "config/ConfigLog.h"

#include <QFile>
#include <QFileInfo>

Q_LOGGING_CATEGORY(lcConfig, "lumidor.config")

CCustomIniFile::CCustomIniFile(const QString &path)
    : filePath(path)
{
}

CCustomIniFile::~CCustomIniFile() = default;

void CCustomIniFile::AttachFile(const QString &path)
{
    if (path.isEmpty())
        return;
    filePath = path;

    const QFileInfo info(filePath);
    if (!info.exists() || info.isDir())
        return; // no file yet: the encoding flag keeps its value
    unicodeFile = false;
    QFile file(filePath);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray mark = file.read(2);
        unicodeFile = mark.size() == 2 && uchar(mark[0]) == 0xFF && uchar(mark[1]) == 0xFE;
    }
}

void CCustomIniFile::DeleteBackingFile()
{
    if (filePath.isEmpty())
        return;
    const QFileInfo info(filePath);
    if (info.exists() && !info.isDir())
        QFile::remove(filePath);
    CCustomIniFile::AttachFile(filePath);
}

int32_t CCustomIniFile::ReadInt(const QString &section, const QString &key, int32_t defaultValue) const
{
    const QString text = ReadText(section, key, QString());
    return text.isEmpty() ? defaultValue : initext::leadingInt(text);
}

void CCustomIniFile::WriteInt(const QString &section, const QString &key, int32_t value)
{
    WriteText(section, key, QString::number(value));
}

uint32_t CCustomIniFile::ReadUInt(const QString &section, const QString &key, uint32_t defaultValue) const
{
    const QString text = ReadText(section, key, QString());
    return text.isEmpty() ? defaultValue : initext::leadingUInt(text);
}

void CCustomIniFile::WriteUInt(const QString &section, const QString &key, uint32_t value)
{
    WriteText(section, key, QString::number(static_cast<int32_t>(value)));
}

uint8_t CCustomIniFile::ReadUInt8(const QString &section, const QString &key, uint8_t defaultValue) const
{
    return static_cast<uint8_t>(ReadInt(section, key, defaultValue) & 0xFF);
}

void CCustomIniFile::WriteUInt8(const QString &section, const QString &key, uint8_t value)
{
    WriteInt(section, key, value);
}

bool CCustomIniFile::ReadFlag(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInt(section, key, defaultValue ? 1 : 0) != 0;
}

void CCustomIniFile::WriteFlag(const QString &section, const QString &key, bool value)
{
    WriteInt(section, key, value ? 1 : 0);
}

float CCustomIniFile::ReadFloat32(const QString &section, const QString &key, float defaultValue) const
{
    return static_cast<float>(ReadFloat64(section, key, defaultValue));
}

void CCustomIniFile::WriteFloat32(const QString &section, const QString &key, float value)
{
    WriteFloat64(section, key, value);
}

double CCustomIniFile::ReadFloat64(const QString &section, const QString &key, double defaultValue) const
{
    const QString text = ReadText(section, key, QString());
    return text.isEmpty() ? defaultValue : initext::leadingDouble(text);
}

void CCustomIniFile::WriteFloat64(const QString &section, const QString &key, double value)
{
    // QString::asprintf formats in the C locale, whatever the process locale is.
    WriteText(section, key, QString::asprintf("%f", value));
}

IniTime CCustomIniFile::ReadTimestamp(const QString &section, const QString &key, IniTime defaultValue) const
{
    return initext::parseTimestamp(ReadText(section, key, QString()), false).value_or(defaultValue);
}

void CCustomIniFile::WriteTimestamp(const QString &section, const QString &key, IniTime value)
{
    WriteText(section, key, initext::formatLocalTime(value, "%Y-%m-%d %H:%M:%S"));
}

IniTime CCustomIniFile::ReadDateOnly(const QString &section, const QString &key, IniTime defaultValue) const
{
    return initext::parseTimestamp(ReadText(section, key, QString()), true).value_or(defaultValue);
}

void CCustomIniFile::WriteDateOnly(const QString &section, const QString &key, IniTime value)
{
    WriteText(section, key, initext::formatLocalTime(value, "%Y-%m-%d"));
}

IniTime CCustomIniFile::ReadTimeOnly(const QString &section, const QString &key, IniTime defaultValue) const
{
    return initext::parseTimeOnly(ReadText(section, key, QString())).value_or(defaultValue);
}

void CCustomIniFile::WriteTimeOnly(const QString &section, const QString &key, IniTime value)
{
    WriteText(section, key, initext::formatLocalTime(value, "%H:%M:%S"));
}

bool CCustomIniFile::HasSection(const QString &section) const
{
    return ListSections().contains(section, Qt::CaseSensitive);
}

bool CCustomIniFile::HasKey(const QString &section, const QString &key) const
{
    return ListKeys(section).contains(key, Qt::CaseSensitive);
}
