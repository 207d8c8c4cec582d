#pragma once

#include "config/CCustomIniFile.h"

#include <map>
#include <set>

// An INI file held in memory: loaded once by AttachFile, answered from indexes over its
// lines, changed only in memory, written back only by Flush. Lines read by the rules of
// initext::parseIniLine, the same as the file service's (CIniFile, PassThresholds' writes):
// names without case, the first key of a name counts, values trimmed and unquoted, ";" starts a
// comment. A file starting with FF FE is UTF-16LE, one starting with EF BB BF is UTF-8, any
// other is Windows-1252. Two headers of one name make one section; keys before any header form
// the section with the empty name.
class CMemIniFile : public CCustomIniFile {
public:
    // Stores the path unchanged; AttachFile loads the file.
    explicit CMemIniFile(const QString &path = QString());

    void DeleteBackingFile() override;
    // The value of the first key of that name in the section.
    QString ReadText(const QString &section, const QString &key, const QString &defaultValue) const override;
    // Values, keys and sections holding a line break are refused: they would split the line;
    // so are keys that would not read back as keys ("=" inside, "[" or ";" in front, blank) and
    // sections holding "]". A value that parsing would change is stored in double quotes.
    void WriteText(const QString &section, const QString &key, const QString &value) override;
    void RemoveKey(const QString &section, const QString &key) override;
    void RemoveSection(const QString &section) override;
    void CreateSection(const QString &section) override;
    QStringList ListSections() const override;
    QStringList ListKeys(const QString &section) const override;
    QStringList ListSectionLines(const QString &section) const override;
    // Replaces the file with the lines, each ending in CR LF, in one atomic step. A Windows-1252
    // file holding characters that encoding lacks is written as UTF-16 instead, so that nothing
    // is lost.
    bool Flush() override;
    void AttachFile(const QString &path) override;

    const QStringList &lines() const { return content; }

private:
    // Orders names by UTF-16 code units, a shorter prefix first.
    struct Utf16Less {
        bool operator()(const QString &a, const QString &b) const;
    };
    // A name as written in the file and the line it stands on.
    struct Entry {
        QString name;
        int line = 0;
    };
    // Indexes are keyed by initext::nameKey of the names.
    using KeyMap = std::map<QString, Entry, Utf16Less>;

    void load();
    void rebuildIndexes();
    void clearAll();

    QStringList content;                               // the file's lines, trimmed, none empty
    std::map<QString, Entry, Utf16Less> sectionIndex;  // section -> its last header line
    std::set<int> headerLines;                         // every header line
    std::map<QString, KeyMap, Utf16Less> keyIndex;     // section -> key -> its first line
    bool utf8Mark = false; // a file that began with EF BB BF: read and written as UTF-8
};
