#include "config/CMemIniFile.h"

#include "config/AtomicWrite.h"
#include "config/ConfigLog.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>

namespace {

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// Splits decoded text into trimmed, non-empty lines. CR LF and LF end lines; CR is white space.
QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        const QStringView line = initext::trimmed(QStringView(text).mid(start, end - start));
        if (!line.isEmpty())
            lines.append(line.toString());
        start = end + 1;
    }
    return lines;
}

// A key or section name a written line would not give back.
bool unreadableKey(const QString &key)
{
    const QStringView name = initext::trimmed(key);
    return name.isEmpty() || key.contains(QLatin1Char('=')) || name.front() == QLatin1Char('[')
           || name.front() == QLatin1Char(';');
}

bool unreadableSection(const QString &section)
{
    return section.contains(QLatin1Char(']'));
}

// Bytes of an 8-bit file as text: Windows-1252, or Latin-1 where no such codec exists. Opening
// the converter costs more than reading a small file, so loads share one per thread; each byte
// maps on its own, so nothing carries over from one file to the next.
QString decodeAnsi(const QByteArray &bytes)
{
    thread_local QStringDecoder decoder("windows-1252");
    return decoder.isValid() ? decoder.decode(bytes) : QString::fromLatin1(bytes);
}

// The text as Windows-1252 bytes; nothing when a character has no byte there.
std::optional<QByteArray> encodeAnsi(const QString &text)
{
    QStringEncoder encoder("windows-1252");
    if (!encoder.isValid()) {
        if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; }))
            return std::nullopt;
        return text.toLatin1();
    }
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

QString decodeUtf16Le(const QByteArray &bytes, qsizetype offset)
{
    QString text;
    text.reserve((bytes.size() - offset) / 2);
    for (qsizetype i = offset; i + 1 < bytes.size(); i += 2)
        text.append(QChar(char16_t(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8))));
    return text;
}

} // namespace

bool CMemIniFile::Utf16Less::operator()(const QString &a, const QString &b) const
{
    return std::lexicographical_compare(a.utf16(), a.utf16() + a.size(), b.utf16(), b.utf16() + b.size());
}

CMemIniFile::CMemIniFile(const QString &path)
    : CCustomIniFile(path)
{
}

void CMemIniFile::clearAll()
{
    content.clear();
    sectionIndex.clear();
    headerLines.clear();
    keyIndex.clear();
}

void CMemIniFile::DeleteBackingFile()
{
    if (filePath.isEmpty())
        return;
    CCustomIniFile::DeleteBackingFile();
    clearAll();
    utf8Mark = false;
}

void CMemIniFile::AttachFile(const QString &path)
{
    CCustomIniFile::AttachFile(path);
    clearAll();
    load();
    rebuildIndexes();
}

void CMemIniFile::load()
{
    utf8Mark = false;
    if (filePath.isEmpty())
        return;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        qCWarning(lcConfig) << "read error in" << filePath << file.errorString();
        clearAll();
        return;
    }
    if (unicodeFile) {
        const bool marked = bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE;
        content = splitLines(decodeUtf16Le(bytes, marked ? 2 : 0));
        return;
    }
    // A UTF-8 mark is not part of the first line: left in, it would hide the first header.
    utf8Mark = bytes.startsWith("\xEF\xBB\xBF");
    content = splitLines(utf8Mark ? QString::fromUtf8(bytes.mid(3)) : decodeAnsi(bytes));
}

void CMemIniFile::rebuildIndexes()
{
    sectionIndex.clear();
    headerLines.clear();
    keyIndex.clear();
    QString current;
    for (int i = 0; i < content.size(); ++i) {
        const initext::IniLine line = initext::parseIniLine(content[i]);
        if (line.kind == initext::IniLine::Header) {
            current = initext::nameKey(line.name);
            sectionIndex[current] = Entry{line.name, i};
            headerLines.insert(i);
        } else if (line.kind == initext::IniLine::Key && !line.name.isEmpty()) {
            keyIndex[current].try_emplace(initext::nameKey(line.name), Entry{line.name, i});
        }
    }
}

QString CMemIniFile::ReadText(const QString &section, const QString &key, const QString &defaultValue) const
{
    const auto keys = keyIndex.find(initext::nameKey(section));
    if (keys == keyIndex.end())
        return defaultValue;
    const auto entry = keys->second.find(initext::nameKey(key));
    if (entry == keys->second.end())
        return defaultValue;
    return initext::parseIniLine(content[entry->second.line]).value;
}

void CMemIniFile::WriteText(const QString &section, const QString &key, const QString &value)
{
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value)) {
        qCWarning(lcConfig) << "refused to write a line break into" << section << key;
        return;
    }
    if (unreadableKey(key) || unreadableSection(section)) {
        qCWarning(lcConfig) << "refused to write a name that would not read back" << section << key;
        return;
    }
    const QString line = key + QLatin1Char('=') + initext::storedValue(value);
    const auto keys = keyIndex.find(initext::nameKey(section));
    if (keys == keyIndex.end()) {
        content.append(QLatin1Char('[') + section + QLatin1Char(']'));
        content.append(line);
        rebuildIndexes();
        return;
    }
    const auto entry = keys->second.find(initext::nameKey(key));
    if (entry != keys->second.end()) {
        content[entry->second.line] = line; // same position: the indexes stay valid
        rebuildIndexes();                   // ... but the stored spelling of the name may change
        return;
    }
    // The section with the empty name has no header of its own: its key goes after line 0.
    const auto header = sectionIndex.find(keys->first);
    const int position = header != sectionIndex.end() ? header->second.line + 1 : 1;
    content.insert(std::min<qsizetype>(position, content.size()), line);
    rebuildIndexes();
}

void CMemIniFile::RemoveKey(const QString &section, const QString &key)
{
    const auto keys = keyIndex.find(initext::nameKey(section));
    if (keys == keyIndex.end())
        return;
    const auto entry = keys->second.find(initext::nameKey(key));
    if (entry == keys->second.end())
        return;
    content.removeAt(entry->second.line);
    rebuildIndexes();
}

void CMemIniFile::RemoveSection(const QString &section)
{
    const auto header = sectionIndex.find(initext::nameKey(section));
    if (header == sectionIndex.end())
        return;
    const int first = header->second.line;
    const auto next = headerLines.upper_bound(first);
    const int end = next != headerLines.end() ? *next : int(content.size());
    content.remove(first, end - first);
    rebuildIndexes();
}

void CMemIniFile::CreateSection(const QString &section)
{
    if (hasLineBreak(section) || unreadableSection(section)) {
        qCWarning(lcConfig) << "refused to create a section that would not read back";
        return;
    }
    content.append(QLatin1Char('[') + section + QLatin1Char(']'));
    rebuildIndexes();
}

QStringList CMemIniFile::ListSections() const
{
    QStringList names;
    for (const auto &[name, entry] : sectionIndex)
        names.append(entry.name);
    return names;
}

QStringList CMemIniFile::ListKeys(const QString &section) const
{
    QStringList names;
    const auto keys = keyIndex.find(initext::nameKey(section));
    if (keys != keyIndex.end()) {
        for (const auto &[name, entry] : keys->second)
            names.append(entry.name);
    }
    return names;
}

QStringList CMemIniFile::ListSectionLines(const QString &section) const
{
    const auto header = sectionIndex.find(initext::nameKey(section));
    if (header == sectionIndex.end())
        return {};
    const int first = header->second.line + 1;
    const auto next = headerLines.upper_bound(header->second.line);
    const int end = next != headerLines.end() ? *next : int(content.size());
    return content.mid(first, end - first);
}

bool CMemIniFile::Flush()
{
    if (filePath.isEmpty())
        return false;
    if (!unicodeFile && !utf8Mark && !content.isEmpty()
        && (content.front().startsWith(u"\u00FF\u00FE") || content.front().startsWith(u"\u00EF\u00BB\u00BF"))) {
        // Written as bytes, this first line would read back as a byte-order mark.
        unicodeFile = true;
    }
    QByteArray ansi;
    if (!unicodeFile && !utf8Mark) {
        QString text;
        for (const QString &line : content)
            text += line + QStringLiteral("\r\n");
        if (std::optional<QByteArray> encoded = encodeAnsi(text)) {
            ansi = std::move(*encoded);
        } else {
            qCInfo(lcConfig) << filePath << "holds characters Windows-1252 lacks; writing it as UTF-16";
            unicodeFile = true;
        }
    }
    QByteArray bytes;
    if (unicodeFile) {
        bytes.append("\xFF\xFE", 2);
        for (const QString &line : content) {
            for (QChar c : line + QStringLiteral("\r\n")) {
                bytes.append(char(c.unicode() & 0xFF));
                bytes.append(char(c.unicode() >> 8));
            }
        }
    } else if (utf8Mark) {
        bytes.append("\xEF\xBB\xBF");
        for (const QString &line : content) {
            bytes.append(line.toUtf8());
            bytes.append("\r\n");
        }
    } else {
        bytes = std::move(ansi);
    }
    QString error;
    if (!writeBytesAtomically(filePath, bytes, &error)) {
        qCWarning(lcConfig) << "could not write" << filePath << error;
        return false;
    }
    return true;
}
