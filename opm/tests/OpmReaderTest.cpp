// Reading power-meter files: the record rules on bytes built in memory, then files on disk.

#include "opm/OpmReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray record(int fiber, const QByteArray &value = "-3.42 dBm")
{
    return "FiberId=" + QByteArray::number(fiber) + ",CableId=C7,Date=2026-03-02,Time=09:15:" +
           QByteArray::number(10 + fiber) + ",Value=" + value + ",Operator=Ana;";
}

QStringList fiberIds(const OpmFile &file)
{
    QStringList ids;
    for (const OpmRecord &r : file.records)
        ids << r.fiberId;
    return ids;
}

struct ReadCase {
    const char *name;
    QByteArray bytes;
    QStringList fibers; // fibre ids of the records read, in order
    OpmStatus status;
};

void PrintTo(const ReadCase &c, std::ostream *os) { *os << c.name; }

const QByteArray field99 = "FiberId=" + QByteArray(91, 'x');   // 99 bytes with its key
const QByteArray field100 = "FiberId=" + QByteArray(92, 'x');  // 100 bytes
const QByteArray rest = ",CableId=C7,Date=d,Time=t,Value=v,Operator=o;";

const ReadCase readCases[] = {
    {"OneRecord", record(1), {"1"}, OpmStatus::Complete},
    {"ThreeRecords", record(1) + record(2) + record(3), {"1", "2", "3"}, OpmStatus::Complete},
    {"LineBreakAfterEachRecord", record(1) + "\r\n" + record(2) + "\r\n" + record(3) + "\r\n",
     {"1", "2", "3"}, OpmStatus::Complete},
    {"UnixLineBreaks", record(1) + "\n" + record(2) + "\n", {"1", "2"}, OpmStatus::Complete},
    {"TextAfterLastSemicolonIgnored", record(1) + "FiberId=2,CableId=C7", {"1"}, OpmStatus::Complete},
    {"NoSemicolonAtAll", "FiberId=1,CableId=C7,Date=d,Time=t,Value=v,Operator=o", {}, OpmStatus::Complete},
    {"MissingTimeKeyEndsReading",
     record(1) + record(2) + "FiberId=3,CableId=C7,Date=d,Tim=t,Value=v,Operator=o;" + record(4),
     {"1", "2"}, OpmStatus::MalformedRecord},
    {"KeysOutOfOrderEndsReading", "CableId=C7,FiberId=1,Date=d,Time=t,Value=v,Operator=o;", {},
     OpmStatus::MalformedRecord},
    {"SevenFieldsEndsReading", record(1) + "FiberId=2,CableId=C7,Date=d,Time=t,Value=v,Operator=o,Extra=1;" +
     record(3), {"1"}, OpmStatus::MalformedRecord},
    {"FiveFieldsEndsReading", "FiberId=1,CableId=C7,Date=d,Time=t,Value=v;" + record(2), {},
     OpmStatus::MalformedRecord},
    {"EmptySegmentEndsReading", record(1) + ";" + record(2), {"1"}, OpmStatus::MalformedRecord},
    {"Field99CharactersReads", field99 + rest, {QString(91, 'x')}, OpmStatus::Complete},
    {"Field100CharactersEndsReading", record(1) + field100 + rest, {"1"}, OpmStatus::MalformedRecord},
    {"LineBreakCountsTowardFieldLength", "\r\n" + field99 + rest, {}, OpmStatus::MalformedRecord},
    {"NulBytesSkipped", QByteArray("Fiber\0Id=1\0" "2", 12) + rest, {"12"}, OpmStatus::Complete},
    {"NulBytesDoNotCountTowardLength", field99 + QByteArray(5, '\0') + rest, {QString(91, 'x')},
     OpmStatus::Complete},
    {"EmptyValues", "FiberId=,CableId=,Date=,Time=,Value=,Operator=;", {""}, OpmStatus::Complete},
    {"Empty", "", {}, OpmStatus::Empty},
    {"OnlyLineBreaks", "\r\n\r\n", {}, OpmStatus::Complete},
};

class OpmRead : public testing::TestWithParam<ReadCase> {};

TEST_P(OpmRead, RecordsAndStatus)
{
    const ReadCase &c = GetParam();
    const OpmFile file = parseOpm(c.bytes);
    EXPECT_EQ(fiberIds(file), c.fibers);
    EXPECT_EQ(file.status, c.status);
    EXPECT_EQ(file.malformedAt >= 0, c.status == OpmStatus::MalformedRecord);
}

INSTANTIATE_TEST_SUITE_P(Rules, OpmRead, testing::ValuesIn(readCases),
                         [](const testing::TestParamInfo<ReadCase> &info) { return std::string(info.param.name); });

TEST(OpmParse, FieldsAreTakenAsWrittenAfterTheirKeys)
{
    // Characters before a key are dropped, everything after it up to the field's end is kept,
    // including blanks, a sign and a unit.
    const OpmFile file =
        parseOpm("\r\n  FiberId=0012,#CableId=A-3 ,Date=2026/03/02,Time=9:05 PM,Value= -12.34 dBm,Operator=J. Smith;");
    ASSERT_EQ(file.records.size(), 1);
    const OpmRecord &r = file.records[0];
    EXPECT_EQ(r.fiberId, "0012");
    EXPECT_EQ(r.cableId, "A-3 ");
    EXPECT_EQ(r.date, "2026/03/02");
    EXPECT_EQ(r.time, "9:05 PM");
    EXPECT_EQ(r.value, " -12.34 dBm");
    EXPECT_EQ(r.operatorName, "J. Smith");
}

TEST(OpmParse, KeyTextInsideAValueIsPartOfIt)
{
    const OpmFile file = parseOpm("FiberId=FiberId=7,CableId=C,Date=d,Time=t,Value=Value=1,Operator=o;");
    ASSERT_EQ(file.records.size(), 1);
    EXPECT_EQ(file.records[0].fiberId, "FiberId=7");
    EXPECT_EQ(file.records[0].value, "Value=1");
}

TEST(OpmParse, TextsAreWindowsWesternCodePage)
{
    // 0xE9 e acute, 0x80 euro sign, 0x96 en dash, 0xB5 micro sign; in Latin-1 0x80 and 0x96
    // would be control characters.
    const OpmFile file = parseOpm("FiberId=1,CableId=Caf\xE9,Date=d,Time=t,Value=\x96" "3.1 \xB5W,Operator=\x80;");
    ASSERT_EQ(file.records.size(), 1);
    EXPECT_EQ(file.records[0].cableId, QString::fromUtf8("Café"));
    EXPECT_EQ(file.records[0].value, QString::fromUtf8("–3.1 µW"));
    EXPECT_EQ(file.records[0].operatorName, QString::fromUtf8("€"));

    // The five bytes the code page leaves undefined still give one character each, so nothing
    // in a field is lost.
    const OpmFile undefined = parseOpm("FiberId=\x81\x8D\x8F\x90\x9D,CableId=,Date=,Time=,Value=,Operator=;");
    ASSERT_EQ(undefined.records.size(), 1);
    EXPECT_EQ(undefined.records[0].fiberId, QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D"));
}

TEST(OpmParse, SizeLimit)
{
    // Records followed by line breaks up to exactly the limit read; one byte more reads nothing.
    QByteArray bytes = record(1) + record(2);
    bytes.append(QByteArray(opmMaxFileSize - bytes.size(), '\n'));
    ASSERT_EQ(bytes.size(), opmMaxFileSize);
    EXPECT_EQ(fiberIds(parseOpm(bytes)), QStringList({"1", "2"}));

    bytes.append('\n');
    const OpmFile tooLarge = parseOpm(bytes);
    EXPECT_TRUE(tooLarge.records.isEmpty());
    EXPECT_EQ(tooLarge.status, OpmStatus::TooLarge);
}

TEST(OpmParse, EveryCutOfAGoodFileKeepsTheRecordsBeforeTheCut)
{
    const QByteArray whole = record(1) + "\r\n" + record(2) + "\r\n";
    const qsizetype firstEnd = record(1).size();
    for (qsizetype n = 0; n <= whole.size(); ++n) {
        const OpmFile file = parseOpm(whole.left(n));
        const qsizetype expected = n == whole.size() || n >= whole.size() - 2 ? 2 : n >= firstEnd ? 1 : 0;
        EXPECT_EQ(file.records.size(), expected) << "cut at " << n;
        EXPECT_NE(file.status, OpmStatus::MalformedRecord) << "cut at " << n;
    }
}

class OpmFileOnDisk : public testing::Test {
protected:
    QTemporaryDir dir;

    QString write(const char *name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
};

// A file on a write-protected medium must read. (Run as root, the permission alone does not stop
// a read-write open, so there this only checks the read.)
TEST_F(OpmFileOnDisk, ReadOnlyFileReads)
{
    const QString path = write("meter.opm", record(1) + "\r\n" + record(2) + "\r\n");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const OpmFile file = readOpmFile(path);
    EXPECT_EQ(fiberIds(file), QStringList({"1", "2"}));
    EXPECT_EQ(file.status, OpmStatus::Complete);
}

TEST_F(OpmFileOnDisk, FilesThatShowNothing)
{
    EXPECT_EQ(readOpmFile(write("empty.opm", {})).status, OpmStatus::Empty);
    EXPECT_EQ(readOpmFile(write("big.opm", record(1) + QByteArray(opmMaxFileSize, '\n'))).status,
              OpmStatus::TooLarge);
    EXPECT_EQ(readOpmFile(dir.filePath("missing.opm")).status, OpmStatus::Unreadable);
    EXPECT_EQ(readOpmFile(dir.path()).status, OpmStatus::Unreadable);
    for (const char *name : {"empty.opm", "big.opm"})
        EXPECT_TRUE(readOpmFile(dir.filePath(QString::fromLatin1(name))).records.isEmpty());
}

TEST(OpmPath, ExtensionInAnyLetterCase)
{
    for (const char *yes : {"a.opm", "a.OPM", "/data/Link.Opm", "x.sor.opm", "/site.2/a.b.OPM"})
        EXPECT_TRUE(isOpmPath(QString::fromLatin1(yes))) << yes;
    for (const char *no : {"a.sor", "a.SOR", "aopm", "a.opm.sor", "a.opmx", "/data/opm/a.sor", "/data/x.opm/", ""})
        EXPECT_FALSE(isOpmPath(QString::fromLatin1(no))) << no;
}

} // namespace
