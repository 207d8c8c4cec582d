#pragma once

#include "config/CCustomIniFile.h"

#include <map>
#include <set>

// An INI file held in memory: loaded once by AttachFile, answered from indexes over its
// lines, changed only in memory, written back only by Flush.
class CMemIniFile : public CCustomIniFile {
public:
    // Stores the path unchanged; AttachFile loads the file.
    explicit CMemIniFile(const QString &path = QString());

    void DeleteBackingFile() override;
    // Everything after the first "=" of the key's line, exactly as stored.
    QString ReadText(const QString &section, const QString &key, const QString &defaultValue) const override;
    // Values, keys and sections holding a line break are refused: they would split the line.
    void WriteText(const QString &section, const QString &key, const QString &value) override;
    void RemoveKey(const QString &section, const QString &key) override;
    void RemoveSection(const QString &section) override;
    void CreateSection(const QString &section) override;
    QStringList ListSections() const override;
    QStringList ListKeys(const QString &section) const override;
    QStringList ListSectionLines(const QString &section) const override;
    // Replaces the file with the lines, each ending in CR LF, in one atomic step. An 8-bit file
    // holding characters above U+00FF is written as UTF-16 instead, so that nothing is lost.
    bool Flush() override;
    void AttachFile(const QString &path) override;

    // True (the default): names match exactly; false: ASCII letters match without case.
    void setCaseSensitive(bool on) { caseSensitive = on; }
    bool isCaseSensitive() const { return caseSensitive; }

    const QStringList &lines() const { return content; }

private:
    // Orders names by UTF-16 code units, a shorter prefix first.
    struct Utf16Less {
        bool operator()(const QString &a, const QString &b) const;
    };
    using KeyMap = std::map<QString, int, Utf16Less>;

    void load();
    void rebuildIndexes();
    void clearAll();
    const QString *findName(const QString &name, const QStringList &names) const;
    template <typename Map>
    typename Map::const_iterator find(const Map &map, const QString &name) const;

    QStringList content;                              // the file's lines, trimmed, none empty
    std::map<QString, int, Utf16Less> sectionIndex;   // section name -> header line
    std::set<int> headerLines;                        // positions held in sectionIndex
    std::map<QString, KeyMap, Utf16Less> keyIndex;    // section -> key -> line
    bool caseSensitive = true;
    bool utf8Mark = false; // an 8-bit file that began with EF BB BF; Flush writes the mark back
};
