#include "config/CIniFile.h"
#include "config/CMemIniFile.h"
#include "config/PrivateProfile.h"

#include "IniTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct ProfileFile {
    explicit ProfileFile(const QByteArray &bytes = QByteArray())
        : path(bytes.isNull() ? scratch.path(u"t.ini"_s) : scratch.write(u"t.ini"_s, bytes))
        , ini(path)
    {
    }
    QByteArray bytes() const { return scratch.read(u"t.ini"_s); }

    ScratchFolder scratch;
    QString path;
    CIniFile ini;
};

// Both readers of the program, the file service and the in-memory copy, read by these rules.
TEST(IniFile, ReadsWithTheProfileRules)
{
    const struct {
        const char *name;
        QByteArray content;
        const char *section;
        const char *key;
        const char *expected;
    } cases[] = {
        {"blanks around the value go", "[Color]\nTrace1 =  255 \t\n", "Color", "Trace1", "255"},
        {"section without case", "[color]\nx=1\n", "COLOR", "x", "1"},
        {"key without case", "[S]\nMultiMode=0\n", "S", "multimode", "0"},
        {"blanks inside the header", "[ PassThrd ]\nk=v\n", "PassThrd", "k", "v"},
        {"one pair of quotes goes", "[S]\nk=\" a \"\n", "S", "k", " a "},
        {"only one pair", "[S]\nk=\"\"a\"\"\n", "S", "k", "\"a\""},
        {"unbalanced quote stays", "[S]\nk=\"a\n", "S", "k", "\"a"},
        {"empty quoted value", "[S]\nk=\"\"\n", "S", "k", ""},
        {"the first section counts", "[S]\nk=1\n[s]\nk=2\n", "S", "k", "1"},
        {"the first key counts", "[S]\nk=1\nK=2\n", "S", "k", "1"},
        {"comment lines are skipped", "[S]\n;k=1\nk=2\n", "S", "k", "2"},
        {"keys before any header belong nowhere", "k=1\n[S]\n", "S", "k", "<default>"},
        {"keys of the next section are not ours", "[S]\n[T]\nk=1\n", "S", "k", "<default>"},
        {"missing key", "[S]\nk=1\n", "S", "j", "<default>"},
        {"CR LF", "[S]\r\nk=v\r\n", "S", "k", "v"},
        {"no line end at the end", "[S]\nk=v", "S", "k", "v"},
        {"8-bit file is Windows-1252", "[S]\nk=\x80\xE9\n", "S", "k", "\u20ac\u00e9"},
        {"UTF-8 marked file", "\xEF\xBB\xBF[S]\nk=\xE2\x82\xAC\n", "S", "k", "\u20ac"},
        {"UTF-16 file", utf16File(u"[S]\r\nk = \u4e2d \r\n"_s), "S", "k", "\u4e2d"},
    };
    for (const auto &c : cases) {
        ProfileFile file(c.content);
        CMemIniFile memory;
        memory.AttachFile(file.path);
        for (const CCustomIniFile *ini : {static_cast<const CCustomIniFile *>(&file.ini),
                                          static_cast<const CCustomIniFile *>(&memory)}) {
            EXPECT_EQ(ini->ReadText(QString::fromUtf8(c.section), QString::fromUtf8(c.key), u"<default>"_s),
                      QString::fromUtf8(c.expected))
                << c.name << (ini == &memory ? " (in memory)" : " (from the file)");
        }
    }
}

TEST(IniFile, MissingFileReadsDefaultsAndTheFirstWriteCreatesIt)
{
    ProfileFile file;
    EXPECT_EQ(file.ini.ReadInt(u"S"_s, u"k"_s, 9), 9);
    EXPECT_TRUE(file.ini.ListSections().isEmpty());
    file.ini.WriteInt(u"S"_s, u"k"_s, 3);
    EXPECT_TRUE(file.ini.lastWriteSucceeded());
    EXPECT_EQ(file.bytes(), QByteArray("[S]\r\nk=3\r\n"));
}

TEST(IniFile, ValuesWithEdgeBlanksAreQuoted)
{
    ProfileFile file;
    file.ini.WriteText(u"S"_s, u"lead"_s, u" a"_s);
    file.ini.WriteText(u"S"_s, u"trail"_s, u"b "_s);
    file.ini.WriteText(u"S"_s, u"inner"_s, u"c d"_s);
    EXPECT_EQ(file.bytes(), QByteArray("[S]\r\nlead=\" a\"\r\ntrail=\"b \"\r\ninner=c d\r\n"));
    EXPECT_EQ(file.ini.ReadText(u"S"_s, u"lead"_s, {}), u" a"_s);
    EXPECT_EQ(file.ini.ReadText(u"S"_s, u"trail"_s, {}), u"b "_s);

    // A value in quotes of its own keeps them: written bare, reading would take them off.
    file.ini.WriteText(u"S"_s, u"quoted"_s, u"\"x\""_s);
    EXPECT_EQ(file.ini.ReadText(u"S"_s, u"quoted"_s, {}), u"\"x\""_s);
    EXPECT_TRUE(file.bytes().endsWith("quoted=\"\"x\"\"\r\n"));
}

TEST(IniFile, WritesChangeOnlyTheLinesConcerned)
{
    const QByteArray original = "; settings\n[A]\n  k = 1 \nj=2\n\n[B]\nx=\xE9\n";
    ProfileFile file(original);
    CIniFile &ini = file.ini;

    ini.WriteText(u"a"_s, u"K"_s, u"5"_s); // replaced in place
    EXPECT_EQ(file.bytes(), QByteArray("; settings\n[A]\nK=5\nj=2\n\n[B]\nx=\xE9\n"));

    ini.WriteText(u"A"_s, u"n"_s, u"6"_s); // after the last key, before the blank line
    ini.WriteText(u"C"_s, u"c"_s, u"7"_s); // new section at the end
    EXPECT_EQ(file.bytes(), QByteArray("; settings\n[A]\nK=5\nj=2\nn=6\n\n[B]\nx=\xE9\n[C]\nc=7\n"));
}

TEST(IniFile, AppendingAfterAnUnterminatedLastLine)
{
    ProfileFile file("[A]\r\nk=1");
    file.ini.WriteText(u"B"_s, u"j"_s, u"2"_s);
    EXPECT_EQ(file.bytes(), QByteArray("[A]\r\nk=1\r\n[B]\r\nj=2\r\n"));
}

TEST(IniFile, RemovalsAndSections)
{
    ProfileFile file("[A]\nk=1\nj=2\n[B]\nx=1\n[C]\ny=1\n");
    CIniFile &ini = file.ini;
    ini.RemoveKey(u"A"_s, u"K"_s);
    ini.RemoveKey(u"A"_s, u"missing"_s);
    ini.RemoveSection(u"b"_s);
    ini.CreateSection(u"C"_s);   // loses its keys
    ini.CreateSection(u"New"_s); // appears at the end
    EXPECT_EQ(file.bytes(), QByteArray("[A]\nj=2\n[C]\n[New]\n"));
    EXPECT_TRUE(ini.lastWriteSucceeded());
}

TEST(IniFile, ListingsFollowTheFile)
{
    ProfileFile file("[Zeta]\nb=1\n;c=1\na=2\n=3\n[]\n[alpha]\n[ZETA]\nq=1\n");
    CIniFile &ini = file.ini;
    // Every header as it stands, also the repeated one; reads still go to the first.
    EXPECT_EQ(ini.ListSections(), (QStringList{u"Zeta"_s, u"alpha"_s, u"ZETA"_s}));
    EXPECT_EQ(ini.ListKeys(u"zeta"_s), (QStringList{u"b"_s, u"a"_s}));
    EXPECT_EQ(ini.ListSectionLines(u"zeta"_s), ini.ListKeys(u"zeta"_s));
    EXPECT_TRUE(ini.HasSection(u"alpha"_s));
    EXPECT_FALSE(ini.HasSection(u"Alpha"_s)) << "HasSection compares exactly";
    EXPECT_TRUE(ini.HasKey(u"ZETA"_s, u"a"_s));
}

TEST(IniFile, WritesKeepTheEncoding)
{
    ProfileFile file(utf16File(u"[S]\r\nk=\u4e2d\r\n"_s));
    file.ini.WriteText(u"S"_s, u"j"_s, u"2"_s);
    EXPECT_EQ(file.bytes(), utf16File(u"[S]\r\nk=\u4e2d\r\nj=2\r\n"_s));
}

TEST(IniFile, StrayByteAtTheEndOfAUtf16FileDoesNotShiftNewLines)
{
    ProfileFile file(utf16File(u"[S]\r\nk=1"_s) + "A");
    file.ini.WriteText(u"S"_s, u"j"_s, u"2"_s);
    EXPECT_EQ(file.bytes(), utf16File(u"[S]\r\nk=1\r\nj=2\r\n"_s));
    EXPECT_EQ(file.ini.ReadInt(u"S"_s, u"k"_s, 0), 1);
}

TEST(IniFile, ValueBeyondWindows1252TurnsTheFileIntoUtf16)
{
    ProfileFile file("[S]\nk=\x80\xE9\x81\n");
    file.ini.WriteText(u"S"_s, u"name"_s, u"\u5f20"_s);
    EXPECT_TRUE(file.ini.lastWriteSucceeded());
    EXPECT_EQ(file.bytes(), utf16File(u"[S]\nk=\u20ac\u00e9\u0081\nname=\u5f20\n"_s));
    EXPECT_EQ(file.ini.ReadText(u"S"_s, u"k"_s, {}), u"\u20ac\u00e9\u0081"_s);
    EXPECT_EQ(file.ini.ReadText(u"S"_s, u"name"_s, {}), u"\u5f20"_s);

    // The next file written stays 8-bit: nothing of the failed encoding carries over.
    ProfileFile other("[S]\n");
    other.ini.WriteText(u"S"_s, u"k"_s, u"\u00e9"_s);
    EXPECT_EQ(other.bytes(), QByteArray("[S]\nk=\xE9\n"));
}

TEST(IniFile, WritesThatWouldBreakTheFileAreRefused)
{
    const QByteArray original = "[PassThrd]\nReflection=0.50\n";
    ProfileFile file(original);
    CIniFile &ini = file.ini;
    const struct {
        const char *section;
        const char *key;
        const char *value;
    } cases[] = {
        {"PassThrd", "Reflection", "0.1\r\n[PassThrd]\r\nTotalLoss=99"},
        {"PassThrd", "a=b", "1"},
        {"PassThrd", "[x]", "1"},
        {"PassThrd", ";x", "1"},
        {"PassThrd", "", "1"},
        {"Pass]Thrd", "k", "1"},
        {"", "k", "1"},
    };
    for (const auto &c : cases) {
        ini.WriteText(QString::fromUtf8(c.section), QString::fromUtf8(c.key), QString::fromUtf8(c.value));
        EXPECT_FALSE(ini.lastWriteSucceeded()) << c.key;
        EXPECT_EQ(file.bytes(), original) << c.key;
    }
}

TEST(IniFile, FailedWriteLeavesTheFileAndNoLeftovers)
{
    ScratchFolder scratch;
    scratch.write(u"blocker"_s, "a plain file, not a folder");
    CIniFile ini(scratch.path(u"blocker/Config.ini"_s));
    ini.WriteText(u"S"_s, u"k"_s, u"v"_s);
    EXPECT_FALSE(ini.lastWriteSucceeded());
    EXPECT_EQ(QDir(scratch.folder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{u"blocker"_s});
}

TEST(IniFile, LongValuesAreCutToTheResultBuffer)
{
    ProfileFile file("[S]\nk=" + QByteArray(70000, 'x') + "\n");
    EXPECT_EQ(file.ini.ReadText(u"S"_s, u"k"_s, {}).size(), profile::defaultBufferUnits - 1);
    EXPECT_EQ(profile::readString(file.path, u"S"_s, u"k"_s, {}, 260).size(), 259);
}

TEST(IniFile, AttachStoresTheNameUnresolved)
{
    CIniFile ini;
    ini.AttachFile(u"relative.ini"_s);
    EXPECT_EQ(ini.boundPath(), u"relative.ini"_s);
    EXPECT_TRUE(ini.Flush());
}

} // namespace
