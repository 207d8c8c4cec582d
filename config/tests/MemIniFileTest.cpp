#include "config/CMemIniFile.h"

#include "IniTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Loads bytes through a real file, as the program does.
struct LoadedIni {
    explicit LoadedIni(const QByteArray &bytes)
    {
        ini.AttachFile(scratch.write(QStringLiteral("t.ini"), bytes));
    }
    ScratchFolder scratch;
    CMemIniFile ini;
};

const char *const noValue = "<default>";

TEST(MemIniFile, ReadsByTheProfileRules)
{
    const struct {
        const char *name;
        QByteArray content;
        const char *section;
        const char *key;
        const char *expected; // noValue: the default comes back
    } cases[] = {
        {"header and value blanks trimmed", "[ Color ]\nTrace1 = 255\n", "Color", "Trace1", "255"},
        {"line trimmed", "[S]\n   k=v \t\r\n", "S", "k", "v"},
        {"CR LF lines", "[S]\r\nk=v\r\nj=w\r\n", "S", "j", "w"},
        {"later equals signs belong to the value", "[S]\na=b=c\n", "S", "a", "b=c"},
        {"empty value", "[S]\nk=\n", "S", "k", ""},
        {"line starting with = is no key", "[S]\n=abc\n", "S", "", noValue},
        {"tab around =", "[S]\nk\t=\tv\n", "S", "k", "v"},
        {"one pair of quotes goes", "[S]\nk=\" a \"\n", "S", "k", " a "},
        {"key before any header", "k=v\n[S]\n", "", "k", "v"},
        {"empty header name", "[]\nk=v\n", "", "k", "v"},
        {"semicolon starts a comment", "[S]\n;c=1\n", "S", ";c", noValue},
        {"repeated key: the first counts", "[S]\nk=1\nk=2\n", "S", "k", "1"},
        {"repeated header: keys merge", "[S]\nk=1\n[T]\nx=0\n[S]\nj=2\n", "S", "k", "1"},
        {"section names match without case", "[color]\nTrace1=1\n", "Color", "Trace1", "1"},
        {"key names match without case", "[S]\nkey=1\nKEY=2\n", "S", "Key", "1"},
        {"text after ] is ignored", "[S]\n[T]x\nk=v\n", "T", "k", "v"},
        {"missing key", "[S]\nk=v\n", "S", "j", noValue},
        {"missing file content", "", "S", "k", noValue},
        {"8-bit file is Windows-1252", "[S]\nk=\xE9\x80\n", "S", "k", "\u00e9\u20ac"},
        {"UTF-8 marked file", "\xEF\xBB\xBF[S]\nk=\xE2\x82\xAC\n", "S", "k", "\u20ac"},
        {"UTF-8 mark before the first header", "\xEF\xBB\xBF[S]\nk=v\n", "S", "k", "v"},
        {"UTF-16 file", utf16File(QStringLiteral("[S]\r\nk=\u4e2d\u6587\r\n")), "S", "k", "\u4e2d\u6587"},
    };
    for (const auto &c : cases) {
        LoadedIni file(c.content);
        const QString expected = c.expected == noValue ? QStringLiteral("<default>") : QString::fromUtf8(c.expected);
        EXPECT_EQ(file.ini.ReadText(QString::fromUtf8(c.section), QString::fromUtf8(c.key), QStringLiteral("<default>")),
                  expected)
            << c.name;
    }
}

TEST(MemIniFile, TypedReadsGoThroughTheText)
{
    LoadedIni file("[Color]\nTrace1 = 255\nbad=x\nbig=4294967295\nneg=-1\nf=1.5\nflag=0\n");
    CMemIniFile &ini = file.ini;
    EXPECT_EQ(ini.ReadInt(u"Color"_s, u"Trace1"_s, 7), 255);
    EXPECT_EQ(ini.ReadInt(u"Color"_s, u"bad"_s, 7), 0);
    EXPECT_EQ(ini.ReadInt(u"Color"_s, u"absent"_s, 7), 7);
    EXPECT_EQ(ini.ReadUInt(u"Color"_s, u"big"_s, 0), 4294967295u);
    EXPECT_EQ(ini.ReadUInt8(u"Color"_s, u"neg"_s, 0), 255);
    EXPECT_DOUBLE_EQ(ini.ReadFloat64(u"Color"_s, u"f"_s, 0.0), 1.5);
    EXPECT_FLOAT_EQ(ini.ReadFloat32(u"Color"_s, u"absent"_s, 2.5f), 2.5f);
    EXPECT_FALSE(ini.ReadFlag(u"Color"_s, u"flag"_s, true));
    EXPECT_TRUE(ini.ReadFlag(u"Color"_s, u"absent"_s, true));
}

TEST(MemIniFile, TypedWritesReadBack)
{
    TimeZoneScope zone("CET-1CEST,M3.5.0,M10.5.0/3");
    CMemIniFile ini;
    ini.WriteUInt(u"S"_s, u"u"_s, 4000000000u);
    EXPECT_EQ(ini.ReadText(u"S"_s, u"u"_s, {}), QStringLiteral("-294967296"));
    EXPECT_EQ(ini.ReadUInt(u"S"_s, u"u"_s, 0), 4000000000u);
    ini.WriteFloat32(u"S"_s, u"f"_s, 0.25f);
    EXPECT_EQ(ini.ReadText(u"S"_s, u"f"_s, {}), QStringLiteral("0.250000"));
    ini.WriteFlag(u"S"_s, u"b"_s, true);
    EXPECT_EQ(ini.ReadText(u"S"_s, u"b"_s, {}), QStringLiteral("1"));

    const IniTime summer = 1593651845; // 2020-07-02 01:04:05 UTC, 03:04:05 summer time
    ini.WriteTimestamp(u"S"_s, u"t"_s, summer);
    EXPECT_EQ(ini.ReadText(u"S"_s, u"t"_s, {}), QStringLiteral("2020-07-02 03:04:05"));
    EXPECT_EQ(ini.ReadTimestamp(u"S"_s, u"t"_s, 0), summer);
    ini.WriteDateOnly(u"S"_s, u"d"_s, summer);
    EXPECT_EQ(ini.ReadText(u"S"_s, u"d"_s, {}), QStringLiteral("2020-07-02"));
    EXPECT_EQ(ini.ReadTimestamp(u"S"_s, u"d"_s, 42), 42);
    EXPECT_EQ(ini.ReadDateOnly(u"S"_s, u"d"_s, 42), summer - (3 * 3600 + 4 * 60 + 5));
    ini.WriteTimeOnly(u"S"_s, u"h"_s, summer);
    EXPECT_EQ(ini.ReadText(u"S"_s, u"h"_s, {}), QStringLiteral("03:04:05"));
}

TEST(MemIniFile, WriteReplacesInsertsOrAppends)
{
    LoadedIni file("[A]\nk=1\n[B]\n[A]\nj=2\n");
    CMemIniFile &ini = file.ini;

    ini.WriteText(u"A"_s, u"k"_s, u"one"_s); // in place
    ini.WriteText(u"A"_s, u"n"_s, u"new"_s); // after the later [A] header
    ini.WriteText(u"B"_s, u"x"_s, u"y"_s);   // [B] has no keys: a second [B] at the end
    ini.WriteText(u"C"_s, u"c"_s, u" v"_s);  // no such section
    const QStringList expected = {u"[A]"_s, u"k=one"_s, u"[B]"_s, u"[A]"_s, u"n=new"_s, u"j=2"_s,
                                  u"[B]"_s, u"x=y"_s,   u"[C]"_s, u"c=\" v\""_s};
    EXPECT_EQ(ini.lines(), expected);
    EXPECT_EQ(ini.ReadText(u"A"_s, u"n"_s, {}), QStringLiteral("new"));
    EXPECT_EQ(ini.ReadText(u"B"_s, u"x"_s, {}), QStringLiteral("y"));
    EXPECT_EQ(ini.ReadText(u"C"_s, u"c"_s, {}), QStringLiteral(" v"));
}

TEST(MemIniFile, KeyOfTheUnnamedSectionGoesAfterTheFirstLine)
{
    LoadedIni file("top=1\n[S]\n");
    file.ini.WriteText(QString(), u"second"_s, u"2"_s);
    EXPECT_EQ(file.ini.lines(), (QStringList{u"top=1"_s, u"second=2"_s, u"[S]"_s}));
}

TEST(MemIniFile, LineBreaksAreRefused)
{
    LoadedIni file("[PassThrd]\nReflection=0.5\n");
    CMemIniFile &ini = file.ini;
    ini.WriteText(u"GlobalSetting"_s, u"SorFilePath"_s, u"x\r\n[PassThrd]\r\nReflection=9"_s);
    ini.WriteText(u"S\n"_s, u"k"_s, u"v"_s);
    ini.CreateSection(u"a]\n[b"_s);
    // Names a written line would not give back are refused too.
    for (const QString &key : {u"a=b"_s, u"[x]"_s, u";x"_s, u" "_s})
        ini.WriteText(u"PassThrd"_s, key, u"1"_s);
    ini.WriteText(u"Pass]Thrd"_s, u"k"_s, u"1"_s);
    ini.CreateSection(u"a]b"_s);
    EXPECT_EQ(ini.lines(), (QStringList{u"[PassThrd]"_s, u"Reflection=0.5"_s}));
}

TEST(MemIniFile, RemovalsAndListings)
{
    LoadedIni file("[b]\nz=1\ny=2\nnote\n[a]\nk=v\n[c]\nq=1\n");
    CMemIniFile &ini = file.ini;

    EXPECT_EQ(ini.ListSections(), (QStringList{u"a"_s, u"b"_s, u"c"_s})); // name order
    EXPECT_EQ(ini.ListKeys(u"b"_s), (QStringList{u"y"_s, u"z"_s}));
    EXPECT_EQ(ini.ListSectionLines(u"b"_s), (QStringList{u"z=1"_s, u"y=2"_s, u"note"_s}));
    EXPECT_TRUE(ini.HasSection(u"a"_s));
    EXPECT_FALSE(ini.HasSection(u"A"_s));
    EXPECT_TRUE(ini.HasKey(u"b"_s, u"y"_s));
    EXPECT_TRUE(ini.ListKeys(u"none"_s).isEmpty());
    EXPECT_TRUE(ini.ListSectionLines(u"none"_s).isEmpty());

    ini.RemoveKey(u"b"_s, u"z"_s);
    ini.RemoveKey(u"b"_s, u"missing"_s);
    ini.RemoveSection(u"a"_s);
    ini.RemoveSection(u"missing"_s);
    EXPECT_EQ(ini.lines(), (QStringList{u"[b]"_s, u"y=2"_s, u"note"_s, u"[c]"_s, u"q=1"_s}));
    EXPECT_EQ(ini.ReadText(u"c"_s, u"q"_s, {}), QStringLiteral("1")) << "indexes follow the removal";

    ini.CreateSection(u"b"_s); // a second header; the later one now names the section
    EXPECT_TRUE(ini.ListSectionLines(u"b"_s).isEmpty());
    ini.RemoveSection(u"b"_s);
    EXPECT_EQ(ini.lines(), (QStringList{u"[b]"_s, u"y=2"_s, u"note"_s, u"[c]"_s, u"q=1"_s}));
}

TEST(MemIniFile, EveryHeaderEndsTheSectionBeforeIt)
{
    // The first of two [N] headers is not the one the index keeps, but it still ends [M].
    LoadedIni file("[M]\nm=1\n[N]\n[N]\nn=2\n");
    EXPECT_EQ(file.ini.ListSectionLines(u"M"_s), QStringList{u"m=1"_s});
    EXPECT_EQ(file.ini.ListSectionLines(u"N"_s), QStringList{u"n=2"_s});
}

TEST(MemIniFile, NamesSortByUtf16CodeUnits)
{
    // U+FF21 (fullwidth A) sorts after a surrogate pair's first unit (U+D83D) by code unit.
    LoadedIni file(utf16File(QStringLiteral("[\uFF21]\n[\U0001F600]\n[B]\n[Ba]\n")));
    EXPECT_EQ(file.ini.ListSections(),
              (QStringList{u"B"_s, u"Ba"_s, QStringLiteral("\U0001F600"), QStringLiteral("\uFF21")}));
}

TEST(MemIniFile, WritesAndRemovalsMatchNamesWithoutCase)
{
    LoadedIni file("[color]\ntrace1=5\n");
    CMemIniFile &ini = file.ini;
    EXPECT_EQ(ini.ReadInt(u"Color"_s, u"TRACE1"_s, 0), 5);
    ini.WriteText(u"COLOR"_s, u"Trace1"_s, u"6"_s);
    EXPECT_EQ(ini.lines(), (QStringList{u"[color]"_s, u"Trace1=6"_s}));
    ini.RemoveSection(u"COLOR"_s);
    EXPECT_TRUE(ini.lines().isEmpty());
}

TEST(MemIniFile, FlushWritesLinesWithCrLfInTheFileEncoding)
{
    {
        LoadedIni file("  [S]  \n\n k=\xE9 \n");
        file.ini.WriteText(u"S"_s, u"n"_s, u"2"_s);
        ASSERT_TRUE(file.ini.Flush());
        EXPECT_EQ(file.scratch.read(u"t.ini"_s), QByteArray("[S]\r\nn=2\r\nk=\xE9\r\n"));
    }
    {
        LoadedIni file(utf16File(u"[S]\nk=\u4e2d\n"_s));
        EXPECT_TRUE(file.ini.isUnicodeFile());
        ASSERT_TRUE(file.ini.Flush());
        EXPECT_EQ(file.scratch.read(u"t.ini"_s), utf16File(u"[S]\r\nk=\u4e2d\r\n"_s));
    }
    {
        LoadedIni file("\xEF\xBB\xBF[S]\n");
        ASSERT_TRUE(file.ini.Flush());
        EXPECT_EQ(file.scratch.read(u"t.ini"_s), QByteArray("\xEF\xBB\xBF[S]\r\n"));
    }
}

TEST(MemIniFile, FlushKeepsCharactersAnEightBitFileCannotHold)
{
    LoadedIni file("[S]\nk=v\n");
    file.ini.WriteText(u"S"_s, u"name"_s, u"\u5f20\u4e09"_s);
    ASSERT_TRUE(file.ini.Flush());
    EXPECT_TRUE(file.ini.isUnicodeFile());

    CMemIniFile reread;
    reread.AttachFile(file.scratch.path(u"t.ini"_s));
    EXPECT_EQ(reread.ReadText(u"S"_s, u"name"_s, {}), u"\u5f20\u4e09"_s);
    EXPECT_EQ(reread.ReadText(u"S"_s, u"k"_s, {}), u"v"_s);
}

TEST(MemIniFile, FlushedLinesReadBackUnchanged)
{
    // First lines whose bytes look like a byte-order mark once the blank before them is gone.
    for (const QByteArray &content : {QByteArray(" \xFF\xFE[S]\nk=v\n"), QByteArray("\t\xEF\xBB\xBFk=v\n[S]\n")}) {
        LoadedIni file(content);
        const QStringList lines = file.ini.lines();
        ASSERT_TRUE(file.ini.Flush());
        CMemIniFile reread;
        reread.AttachFile(file.scratch.path(u"t.ini"_s));
        EXPECT_EQ(reread.lines(), lines) << content.toHex().constData();
    }
}

TEST(MemIniFile, FailedFlushReportsAndLeavesNothingBehind)
{
    ScratchFolder scratch;
    CMemIniFile unbound;
    unbound.WriteText(u"S"_s, u"k"_s, u"v"_s);
    EXPECT_FALSE(unbound.Flush());
    unbound.DeleteBackingFile();
    EXPECT_EQ(unbound.lines().size(), 2) << "nothing bound, nothing deleted";

    CMemIniFile ini;
    ini.AttachFile(scratch.path(u"missing-folder/t.ini"_s));
    ini.WriteText(u"S"_s, u"k"_s, u"v"_s);
    EXPECT_FALSE(ini.Flush());
    EXPECT_TRUE(QDir(scratch.folder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(MemIniFile, AttachBindsThePathAndRemembersTheEncoding)
{
    ScratchFolder scratch;
    const QString wide = scratch.write(u"wide.ini"_s, utf16File(u"[S]\nk=1\n"_s));

    CMemIniFile ini(u"ignored-until-attached.ini"_s);
    EXPECT_TRUE(ini.lines().isEmpty());
    ini.AttachFile(wide);
    EXPECT_EQ(ini.boundPath(), wide);
    EXPECT_TRUE(ini.isUnicodeFile());
    EXPECT_EQ(ini.ReadInt(u"S"_s, u"k"_s, 0), 1);

    // No file: the binding moves, the encoding flag stays, the lines go.
    ini.AttachFile(scratch.path(u"absent.ini"_s));
    EXPECT_TRUE(ini.isUnicodeFile());
    EXPECT_TRUE(ini.lines().isEmpty());

    // A name without a folder is taken as given, not looked for in the program's folder.
    ini.AttachFile(u"wide.ini"_s);
    EXPECT_EQ(ini.boundPath(), u"wide.ini"_s);

    // An empty name reloads what is bound.
    ini.AttachFile(wide);
    scratch.write(u"wide.ini"_s, utf16File(u"[S]\nk=2\n"_s));
    ini.AttachFile(QString());
    EXPECT_EQ(ini.ReadInt(u"S"_s, u"k"_s, 0), 2);

    ini.DeleteBackingFile();
    EXPECT_FALSE(QFile::exists(scratch.path(u"wide.ini"_s)));
    EXPECT_TRUE(ini.lines().isEmpty());
    EXPECT_EQ(ini.boundPath(), wide);
}

} // namespace
