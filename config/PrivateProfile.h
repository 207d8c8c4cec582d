#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// The project's private-profile service: each call reads the INI file at `path`, and each
// write rewrites it in one atomic step (a temporary file renamed over the old one), so a
// crash or a full disk never leaves a truncated file.
//
// Rules: section and key names match without regard to case, the first match counts; values
// are read with blanks around them removed and one pair of enclosing double quotes taken off;
// lines starting with ";" are comments. A file starting with FF FE is UTF-16LE, one starting
// with EF BB BF is UTF-8, any other is Windows-1252. Writes keep the file's encoding and leave
// every line they do not change byte for byte; a value that the 8-bit encoding cannot hold turns
// the file into UTF-16LE rather than losing characters.
namespace profile {

inline constexpr int defaultBufferUnits = 65536;

// The value, or `defaultValue` when the section or key is missing. Results are cut to
// bufferUnits - 1 UTF-16 units, as a fixed result buffer would cut them.
QString readString(const QString &path, const QString &section, const QString &key, const QString &defaultValue,
                   int bufferUnits = defaultBufferUnits);

// Section headers' names in file order, a repeated header as often as it stands; empty names
// left out.
QStringList sectionNames(const QString &path);

// Key names of the section in file order, empty names left out.
QStringList keyNames(const QString &path, const QString &section);

// Sets the value; a missing key is added at the end of its section, a missing section at the
// end of the file, a missing file is created. Returns false, leaving the file as it was, when it
// cannot be written or a name or the value would break the file's structure (line breaks, "]" in
// a section name, "=" in a key).
bool writeString(const QString &path, const QString &section, const QString &key, const QString &value);

// Several values of one section in a single rewrite.
bool writeStrings(const QString &path, const QString &section, const QList<std::pair<QString, QString>> &entries);

// Removes the key's line. True when the file is as asked afterwards.
bool removeKey(const QString &path, const QString &section, const QString &key);

// Removes the section's header and all its lines.
bool removeSection(const QString &path, const QString &section);

// Leaves the section's header with no lines under it; creates it at the end when missing.
bool clearSection(const QString &path, const QString &section);

} // namespace profile
