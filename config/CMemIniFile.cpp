#include "config/CMemIniFile.h"

#include "config/AtomicWrite.h"
#include "config/AsciiCase.h"
#include "config/ConfigLog.h"

#include <QFile>

#include <algorithm>

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

template <typename Map>
typename Map::const_iterator CMemIniFile::find(const Map &map, const QString &name) const
{
    if (caseSensitive)
        return map.find(name);
    return std::find_if(map.begin(), map.end(),
                        [&name](const auto &entry) { return equalsIgnoringAsciiCase(entry.first, name); });
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
    // Each byte becomes the character of the same value. A UTF-8 mark is not part of the first
    // line: left in, it would hide the first section header.
    utf8Mark = bytes.startsWith("\xEF\xBB\xBF");
    content = splitLines(QString::fromLatin1(bytes.mid(utf8Mark ? 3 : 0)));
}

void CMemIniFile::rebuildIndexes()
{
    sectionIndex.clear();
    headerLines.clear();
    keyIndex.clear();
    QString current;
    for (int i = 0; i < content.size(); ++i) {
        const QString &line = content[i];
        if (line.isEmpty())
            continue;
        if (line.front() == QLatin1Char('[') && line.back() == QLatin1Char(']') && line.size() >= 2) {
            current = initext::trimmed(QStringView(line).mid(1, line.size() - 2)).toString();
            sectionIndex[current] = i;
            continue;
        }
        const qsizetype p = line.size() >= 2 ? line.indexOf(QLatin1Char('='), 1) : -1;
        if (p >= 1) {
            QStringView key = QStringView(line).left(p);
            while (!key.isEmpty() && initext::isSpace(key.back()))
                key.chop(1);
            keyIndex[current][key.toString()] = i;
        }
    }
    for (const auto &[name, position] : sectionIndex)
        headerLines.insert(position);
}

QString CMemIniFile::ReadText(const QString &section, const QString &key, const QString &defaultValue) const
{
    const auto keys = find(keyIndex, section);
    if (keys == keyIndex.end())
        return defaultValue;
    const auto entry = find(keys->second, key);
    if (entry == keys->second.end())
        return defaultValue;
    const QString &line = content[entry->second];
    const qsizetype p = line.indexOf(QLatin1Char('='));
    return p > 0 ? line.mid(p + 1) : defaultValue;
}

void CMemIniFile::WriteText(const QString &section, const QString &key, const QString &value)
{
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value)) {
        qCWarning(lcConfig) << "refused to write a line break into" << section << key;
        return;
    }
    const QString line = key + QLatin1Char('=') + value;
    const auto keys = find(keyIndex, section);
    if (keys == keyIndex.end()) {
        content.append(QLatin1Char('[') + section + QLatin1Char(']'));
        content.append(line);
        rebuildIndexes();
        return;
    }
    const auto entry = find(keys->second, key);
    if (entry != keys->second.end()) {
        content[entry->second] = line; // same position: the indexes stay valid
        return;
    }
    // The section with the empty name has no header of its own: its key goes after line 0.
    const auto header = sectionIndex.find(keys->first);
    const int position = header != sectionIndex.end() ? header->second + 1 : 1;
    content.insert(std::min<qsizetype>(position, content.size()), line);
    rebuildIndexes();
}

void CMemIniFile::RemoveKey(const QString &section, const QString &key)
{
    const auto keys = find(keyIndex, section);
    if (keys == keyIndex.end())
        return;
    const auto entry = find(keys->second, key);
    if (entry == keys->second.end())
        return;
    content.removeAt(entry->second);
    rebuildIndexes();
}

void CMemIniFile::RemoveSection(const QString &section)
{
    const auto header = find(sectionIndex, section);
    if (header == sectionIndex.end())
        return;
    const int first = header->second;
    const auto next = headerLines.upper_bound(first);
    const int end = next != headerLines.end() ? *next : int(content.size());
    content.remove(first, end - first);
    rebuildIndexes();
}

void CMemIniFile::CreateSection(const QString &section)
{
    if (hasLineBreak(section)) {
        qCWarning(lcConfig) << "refused to create a section with a line break";
        return;
    }
    content.append(QLatin1Char('[') + section + QLatin1Char(']'));
    rebuildIndexes();
}

QStringList CMemIniFile::ListSections() const
{
    QStringList names;
    for (const auto &[name, position] : sectionIndex)
        names.append(name);
    return names;
}

QStringList CMemIniFile::ListKeys(const QString &section) const
{
    QStringList names;
    const auto keys = find(keyIndex, section);
    if (keys != keyIndex.end()) {
        for (const auto &[name, position] : keys->second)
            names.append(name);
    }
    return names;
}

QStringList CMemIniFile::ListSectionLines(const QString &section) const
{
    const auto header = find(sectionIndex, section);
    if (header == sectionIndex.end())
        return {};
    const int first = header->second + 1;
    const auto next = headerLines.upper_bound(header->second);
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
    if (!unicodeFile) {
        const bool wide = std::any_of(content.begin(), content.end(), [](const QString &line) {
            return std::any_of(line.begin(), line.end(), [](QChar c) { return c.unicode() > 0xFF; });
        });
        if (wide) {
            qCInfo(lcConfig) << filePath << "holds characters beyond 8 bits; writing it as UTF-16";
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
    } else {
        if (utf8Mark)
            bytes.append("\xEF\xBB\xBF");
        for (const QString &line : content) {
            bytes.append(line.toLatin1());
            bytes.append("\r\n");
        }
    }
    QString error;
    if (!writeBytesAtomically(filePath, bytes, &error)) {
        qCWarning(lcConfig) << "could not write" << filePath << error;
        return false;
    }
    return true;
}
