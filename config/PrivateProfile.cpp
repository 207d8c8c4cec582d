#include "config/PrivateProfile.h"

#include "config/AtomicWrite.h"
#include "config/ConfigLog.h"
#include "config/IniText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>
#include <vector>

namespace profile {

namespace {

enum class Encoding { Ansi, Utf8, Utf16 };

struct Line {
    QByteArray raw; // encoded bytes as in the file, line end included
    QString text;   // decoded, without the line end
};

using Parsed = initext::IniLine;

Parsed parse(const QString &text)
{
    return initext::parseIniLine(text);
}

// Opening an ICU converter costs more than reading a small file: every read shares one decoder
// per thread. Windows-1252 maps each byte on its own, so no state carries over between files.
// Encoders are made afresh for each write: their error flag is what tells an unencodable text.
QStringDecoder &ansiDecoder()
{
    thread_local QStringDecoder decoder("windows-1252");
    return decoder;
}

bool sameName(const QString &a, const QString &b)
{
    return initext::nameKey(a) == initext::nameKey(b);
}

class Document {
public:
    // False only when an existing file cannot be read; a missing file is an empty document.
    bool load(const QString &path);
    bool save(const QString &path);

    int findSection(const QString &section) const;
    int sectionEnd(int header) const;
    int findKey(int header, const QString &key) const;
    const Parsed &at(int i) const { return parsed[size_t(i)]; }
    int size() const { return int(lines.size()); }

    void setKey(const QString &section, const QString &key, const QString &value);
    void insertText(int position, const QString &text);
    void replaceText(int position, const QString &text);
    void erase(int first, int end);

private:
    QByteArray encode(const QString &text);
    bool ended(const Line &line) const;
    void terminateLastLine();
    void convertToUtf16();

    Encoding encoding = Encoding::Ansi;
    QByteArray lineEnd = "\r\n"; // as the file's first line ends; CR LF for a new file
    std::vector<Line> lines;
    std::vector<Parsed> parsed;
};

QByteArray utf16Bytes(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QString stripLineEnd(QString text)
{
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    return text;
}

bool Document::load(const QString &path)
{
    QFile file(path);
    if (!QFileInfo::exists(path))
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcConfig) << "cannot read" << path << file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        qCWarning(lcConfig) << "read error in" << path << file.errorString();
        return false;
    }

    qsizetype offset = 0;
    if (bytes.startsWith("\xFF\xFE")) {
        encoding = Encoding::Utf16;
        offset = 2;
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        encoding = Encoding::Utf8;
        offset = 3;
    }
    QStringDecoder &ansi = ansiDecoder();
    if (encoding == Encoding::Ansi && !ansi.isValid())
        qCWarning(lcConfig) << "no Windows-1252 codec; reading" << path << "as Latin-1";

    // A stray last byte of a UTF-16 file is no character; dropping it keeps later lines aligned.
    const qsizetype contentEnd = encoding == Encoding::Utf16 ? offset + (bytes.size() - offset) / 2 * 2 : bytes.size();
    bool firstLine = true;
    while (offset < contentEnd) {
        qsizetype end = contentEnd;
        if (encoding == Encoding::Utf16) {
            for (qsizetype i = offset; i + 1 < contentEnd; i += 2) {
                if (bytes[i] == '\n' && bytes[i + 1] == 0) {
                    end = i + 2;
                    break;
                }
            }
        } else {
            const qsizetype newline = bytes.indexOf('\n', offset);
            if (newline >= 0)
                end = newline + 1;
        }
        Line line;
        line.raw = bytes.mid(offset, end - offset);
        switch (encoding) {
        case Encoding::Utf16:
            for (qsizetype i = 0; i + 1 < line.raw.size(); i += 2)
                line.text.append(QChar(char16_t(uchar(line.raw[i]) | (uchar(line.raw[i + 1]) << 8))));
            break;
        case Encoding::Utf8:
            line.text = QString::fromUtf8(line.raw);
            break;
        case Encoding::Ansi:
            line.text = ansi.isValid() ? ansi.decode(line.raw) : QString::fromLatin1(line.raw);
            break;
        }
        if (firstLine && line.text.endsWith(QLatin1Char('\n'))) {
            const bool crlf = line.text.endsWith(QLatin1String("\r\n"));
            lineEnd = crlf ? QByteArray("\r\n") : QByteArray("\n");
        }
        firstLine = false;
        line.text = stripLineEnd(line.text);
        parsed.push_back(parse(line.text));
        lines.push_back(std::move(line));
        offset = end;
    }
    return true;
}

bool Document::save(const QString &path)
{
    QByteArray bytes;
    if (encoding == Encoding::Utf16)
        bytes.append("\xFF\xFE", 2);
    else if (encoding == Encoding::Utf8)
        bytes.append("\xEF\xBB\xBF");
    for (const Line &line : lines)
        bytes.append(line.raw);

    QString error;
    if (!writeBytesAtomically(path, bytes, &error)) {
        qCWarning(lcConfig) << "could not write" << path << error;
        return false;
    }
    return true;
}

QByteArray Document::encode(const QString &text)
{
    switch (encoding) {
    case Encoding::Utf16:
        return utf16Bytes(text);
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Ansi:
        break;
    }
    QStringEncoder ansi("windows-1252");
    if (!ansi.isValid()) {
        const bool fits = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
        if (fits)
            return text.toLatin1();
    } else {
        QByteArray bytes = ansi.encode(text);
        if (!ansi.hasError())
            return bytes;
    }
    convertToUtf16();
    return utf16Bytes(text);
}

void Document::convertToUtf16()
{
    qCInfo(lcConfig) << "a value needs more than 8 bits per character; the file becomes UTF-16";
    encoding = Encoding::Utf16;
    for (Line &line : lines) {
        const bool hadEnd = line.raw.endsWith('\n');
        const bool crlf = line.raw.endsWith("\r\n");
        line.raw = utf16Bytes(line.text + (hadEnd ? QString::fromLatin1(crlf ? "\r\n" : "\n") : QString()));
    }
}

bool Document::ended(const Line &line) const
{
    return encoding == Encoding::Utf16 ? line.raw.endsWith(QByteArray("\n\0", 2)) : line.raw.endsWith('\n');
}

void Document::terminateLastLine()
{
    if (!lines.empty() && !ended(lines.back()))
        lines.back().raw += encode(QString::fromLatin1(lineEnd));
}

int Document::findSection(const QString &section) const
{
    for (int i = 0; i < size(); ++i) {
        if (parsed[size_t(i)].kind == Parsed::Header && sameName(parsed[size_t(i)].name, section))
            return i;
    }
    return -1;
}

int Document::sectionEnd(int header) const
{
    for (int i = header + 1; i < size(); ++i) {
        if (parsed[size_t(i)].kind == Parsed::Header)
            return i;
    }
    return size();
}

int Document::findKey(int header, const QString &key) const
{
    if (header < 0 || key.isEmpty())
        return -1;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        if (parsed[size_t(i)].kind == Parsed::Key && sameName(parsed[size_t(i)].name, key))
            return i;
    }
    return -1;
}

void Document::insertText(int position, const QString &text)
{
    if (position == size())
        terminateLastLine();
    Line line;
    line.text = text;
    // Encode the text first: it may turn the whole file into UTF-16.
    const QByteArray body = encode(text);
    line.raw = body + encode(QString::fromLatin1(lineEnd));
    parsed.insert(parsed.begin() + position, parse(text));
    lines.insert(lines.begin() + position, std::move(line));
}

void Document::replaceText(int position, const QString &text)
{
    const bool terminated = ended(lines[size_t(position)]);
    const QByteArray body = encode(text); // may turn the whole file into UTF-16
    Line &line = lines[size_t(position)];
    line.text = text;
    line.raw = body + (terminated ? encode(QString::fromLatin1(lineEnd)) : QByteArray());
    parsed[size_t(position)] = parse(text);
}

void Document::erase(int first, int end)
{
    lines.erase(lines.begin() + first, lines.begin() + end);
    parsed.erase(parsed.begin() + first, parsed.begin() + end);
}

void Document::setKey(const QString &section, const QString &key, const QString &value)
{
    const QString text = key + QLatin1Char('=') + value;
    const int header = findSection(section);
    if (header < 0) {
        insertText(size(), QLatin1Char('[') + section + QLatin1Char(']'));
        insertText(size(), text);
        return;
    }
    const int existing = findKey(header, key);
    if (existing >= 0) {
        replaceText(existing, text);
        return;
    }
    // After the section's last non-blank line, so blank lines before the next header stay there.
    int position = header + 1;
    for (int i = header + 1; i < sectionEnd(header); ++i) {
        if (!initext::trimmed(lines[size_t(i)].text).isEmpty())
            position = i + 1;
    }
    insertText(position, text);
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

bool validSection(const QString &section)
{
    return !initext::trimmed(section).isEmpty() && !hasLineBreak(section) && !section.contains(QLatin1Char(']'));
}

bool validKey(const QString &key)
{
    const QStringView name = initext::trimmed(key);
    return !name.isEmpty() && !hasLineBreak(key) && !key.contains(QLatin1Char('='))
           && name.front() != QLatin1Char('[') && name.front() != QLatin1Char(';');
}

bool refuse(const char *what, const QString &section, const QString &key)
{
    qCWarning(lcConfig) << "refused to write" << what << "in" << section << key;
    return false;
}

QString cut(const QString &text, int bufferUnits)
{
    return bufferUnits > 0 && text.size() > bufferUnits - 1 ? text.left(bufferUnits - 1) : text;
}

} // namespace

QString readString(const QString &path, const QString &section, const QString &key, const QString &defaultValue,
                   int bufferUnits)
{
    Document document;
    if (!document.load(path))
        return cut(defaultValue, bufferUnits);
    const int line = document.findKey(document.findSection(section), key);
    return cut(line >= 0 ? document.at(line).value : defaultValue, bufferUnits);
}

QStringList sectionNames(const QString &path)
{
    Document document;
    QStringList names;
    if (!document.load(path))
        return names;
    for (int i = 0; i < document.size(); ++i) {
        const Parsed &p = document.at(i);
        if (p.kind == Parsed::Header && !p.name.isEmpty())
            names.append(p.name);
    }
    return names;
}

QStringList keyNames(const QString &path, const QString &section)
{
    Document document;
    QStringList names;
    if (!document.load(path))
        return names;
    const int header = document.findSection(section);
    if (header < 0)
        return names;
    for (int i = header + 1; i < document.sectionEnd(header); ++i) {
        const Parsed &p = document.at(i);
        if (p.kind == Parsed::Key && !p.name.isEmpty())
            names.append(p.name);
    }
    return names;
}

bool writeString(const QString &path, const QString &section, const QString &key, const QString &value)
{
    return writeStrings(path, section, {{key, value}});
}

bool writeStrings(const QString &path, const QString &section, const QList<std::pair<QString, QString>> &entries)
{
    if (!validSection(section))
        return refuse("a section name", section, QString());
    for (const auto &[key, value] : entries) {
        if (!validKey(key))
            return refuse("a key name", section, key);
        if (hasLineBreak(value))
            return refuse("a line break", section, key);
    }
    Document document;
    if (!document.load(path))
        return false;
    for (const auto &[key, value] : entries)
        document.setKey(section, key, value);
    return document.save(path);
}

bool removeKey(const QString &path, const QString &section, const QString &key)
{
    Document document;
    if (!document.load(path))
        return false;
    const int line = document.findKey(document.findSection(section), key);
    if (line < 0)
        return true;
    document.erase(line, line + 1);
    return document.save(path);
}

bool removeSection(const QString &path, const QString &section)
{
    Document document;
    if (!document.load(path))
        return false;
    const int header = document.findSection(section);
    if (header < 0)
        return true;
    document.erase(header, document.sectionEnd(header));
    return document.save(path);
}

bool clearSection(const QString &path, const QString &section)
{
    if (!validSection(section))
        return refuse("a section name", section, QString());
    Document document;
    if (!document.load(path))
        return false;
    const int header = document.findSection(section);
    if (header < 0)
        document.insertText(document.size(), QLatin1Char('[') + section + QLatin1Char(']'));
    else
        document.erase(header + 1, document.sectionEnd(header));
    return document.save(path);
}

} // namespace profile
