#include "trace/SorEditing.h"

#include "tools/gen/GeneratedFile.h"
#include "trace/CSorFileBase.h"
#include "trace/SorBlocks.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include <unistd.h>

namespace {

// The source tree: from the environment when CTest passes it, else the folder built in.
QString sourceDir()
{
    const QByteArray env = qgetenv("LUMIDOR_SOURCE_DIR");
    return env.isEmpty() ? QStringLiteral(LUMIDOR_TEST_SOURCE_DIR) : QString::fromLocal8Bit(env);
}

struct RawBlock {
    QByteArray name;
    uint16_t revision = 0;
    QByteArray bytes;
};

uint32_t u32At(const QByteArray &b, qsizetype at)
{
    uint32_t v = 0;
    for (int k = 3; k >= 0; --k)
        v = (v << 8) | static_cast<uint8_t>(b[at + k]);
    return v;
}

void putU32(QByteArray &b, qsizetype at, uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        b[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

// The blocks of a version-2 file, read independently of the code under test.
std::vector<RawBlock> splitBlocks(const QByteArray &file)
{
    std::vector<RawBlock> out;
    const uint32_t mapSize = u32At(file, 6);
    const int count = static_cast<uint8_t>(file[10]) | (static_cast<uint8_t>(file[11]) << 8);
    qsizetype at = 12;
    qsizetype offset = mapSize;
    for (int i = 1; i < count; ++i) {
        RawBlock b;
        const qsizetype zero = file.indexOf('\0', at);
        b.name = file.mid(at, zero - at);
        at = zero + 1;
        b.revision = static_cast<uint16_t>(static_cast<uint8_t>(file[at]) | (static_cast<uint8_t>(file[at + 1]) << 8));
        const uint32_t size = u32At(file, at + 2);
        at += 6;
        b.bytes = file.mid(offset, size);
        offset += size;
        out.push_back(b);
    }
    return out;
}

bool isGenParams(const QByteArray &name) { return QByteArrayLiteral("GenParams").startsWith(name); }
bool isChecksum(const QByteArray &name)
{
    return !name.isEmpty() && (QByteArrayLiteral("Cksum").startsWith(name) || QByteArrayLiteral("CKsum").startsWith(name));
}

// XMODEM flavour of the CRC (initial value 0), which some instruments store.
uint16_t crcXmodem(const QByteArray &b, qsizetype length)
{
    uint16_t crc = 0;
    for (qsizetype i = 0; i < length; ++i) {
        crc ^= static_cast<uint16_t>(static_cast<uint8_t>(b[i]) << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ 0x1021) : static_cast<uint16_t>(crc << 1);
    }
    return crc;
}

QByteArray generatedFile()
{
    gen::Options o;
    if (!gen::presetOptions(QStringLiteral("patch"), o))
        return {};
    o.pointCount = 2000;
    const gen::Trace t = gen::generate(o);
    return writeSorBytes(gen::fileBlocks(t, o));
}

struct Edit {
    const char *name;
    QString cableId, fiberId;
    int fiberType;
    QString operatorName;
    // What a read gives back: the IDs through the 8-bit code page cut to 255 bytes, the
    // operator through UTF-8 cut to 249 bytes at a character boundary, the type to 16 bits.
    QString cableBack, fiberBack;
    int16_t typeBack;
    QString operatorBack;
};

// ctest names a case by this text.
void PrintTo(const Edit &c, std::ostream *os) { *os << c.name; }

const Edit edits[] = {
    {"ascii", "CBL-9", "F-12", 657, "Jane Doe", "CBL-9", "F-12", 657, "Jane Doe"},
    {"accented", QString::fromUtf8("Zürich-Ost"), QString::fromUtf8("Faser ä"), 652,
     QString::fromUtf8("Zoë Ångström"), QString::fromUtf8("Zürich-Ost"), QString::fromUtf8("Faser ä"), 652,
     QString::fromUtf8("Zoë Ångström")},
    {"empty", "", "", 0, "", "", "", 0, ""},
    {"oversized", QString(300, QLatin1Char('c')), QString(256, QLatin1Char('f')), 70000,
     QString(200, QChar(0x00E9)), QString(255, QLatin1Char('c')), QString(255, QLatin1Char('f')),
     static_cast<int16_t>(70000 & 0xFFFF), QString(124, QChar(0x00E9))},
};

// Checks an edited file against its original: every block but the edited GenParams (and a
// checksum that had to follow) byte for byte, the edited fields read back, the rest of
// GenParams kept, the file still acceptable.
void expectFaithfulEdit(const QByteArray &before, const QByteArray &after, const Edit &e)
{
    const std::vector<RawBlock> a = splitBlocks(before);
    const std::vector<RawBlock> b = splitBlocks(after);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(before.left(12), after.left(12)); // Map name, revision, size, count
    size_t edited = a.size();
    for (size_t i = 0; i < a.size(); ++i) {
        if (isGenParams(a[i].name))
            edited = i;
    }
    ASSERT_LT(edited, a.size());
    for (size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(a[i].name.toStdString());
        EXPECT_EQ(a[i].name, b[i].name);
        EXPECT_EQ(a[i].revision, b[i].revision);
        if (i == edited)
            continue;
        if (isChecksum(a[i].name)) {
            EXPECT_EQ(a[i].bytes.left(6), b[i].bytes.left(6));
            EXPECT_EQ(a[i].bytes.mid(8), b[i].bytes.mid(8));
            continue;
        }
        EXPECT_TRUE(a[i].bytes == b[i].bytes);
    }

    GenParams old, now;
    readGenParams(reinterpret_cast<const uint8_t *>(a[edited].bytes.constData()), a[edited].bytes.size(), old);
    readGenParams(reinterpret_cast<const uint8_t *>(b[edited].bytes.constData()), b[edited].bytes.size(), now);
    EXPECT_EQ(now.languageCode, old.languageCode);
    EXPECT_EQ(now.nominalWavelength, old.nominalWavelength);
    EXPECT_EQ(now.locationA, old.locationA);
    EXPECT_EQ(now.locationB, old.locationB);
    EXPECT_EQ(now.cableCode, old.cableCode);
    EXPECT_EQ(now.currentDataFlag, old.currentDataFlag);
    EXPECT_EQ(now.userOffset, old.userOffset);
    EXPECT_EQ(now.userOffsetDistance, old.userOffsetDistance);
    EXPECT_EQ(now.comment, old.comment);
    EXPECT_EQ(now.fiberType, e.typeBack);

    SorBlocks parsed;
    ASSERT_EQ(parseSorBytes(reinterpret_cast<const uint8_t *>(after.constData()), after.size(), parsed), 1);
    CSorFileBase file;
    SorRecord record;
    ASSERT_EQ(file.ReadFromMemory(reinterpret_cast<const uint8_t *>(after.constData()), after.size(), record), 1);
    const QStringList &texts = record.infoTexts;
    EXPECT_TRUE(texts.contains(QStringLiteral("Operator=") + e.operatorBack));
    EXPECT_TRUE(texts.contains(QStringLiteral("FiberType=%1").arg(e.typeBack)));
    if (e.cableBack.isEmpty()) {
        EXPECT_FALSE(std::any_of(texts.begin(), texts.end(), [](const QString &t) { return t.startsWith("CableID="); }));
    } else {
        EXPECT_TRUE(texts.contains(QStringLiteral("CableID=") + e.cableBack));
    }
    if (!e.fiberBack.isEmpty()) {
        EXPECT_TRUE(texts.contains(QStringLiteral("FiberID=") + e.fiberBack));
    }
}

class RewriteFibreInfo : public ::testing::TestWithParam<Edit> {};

TEST_P(RewriteFibreInfo, EditsOnlyTheFourFieldsOfAGeneratedFile)
{
    const Edit &e = GetParam();
    const QByteArray before = generatedFile();
    ASSERT_FALSE(before.isEmpty());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.sor"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(before);
    f.close();
    const QFileDevice::Permissions mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(f.setPermissions(mode));

    ASSERT_EQ(rewriteFibreInfo(path, e.cableId, e.fiberId, e.fiberType, e.operatorName), 1);
    EXPECT_EQ(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), mode);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray after = f.readAll();
    expectFaithfulEdit(before, after, e);
    // The file's own checksum was valid and stays valid.
    EXPECT_TRUE(checkSorChecksum(reinterpret_cast<const uint8_t *>(after.constData()), after.size()).matches());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("trace.sor")});
}

INSTANTIATE_TEST_SUITE_P(Edits, RewriteFibreInfo, ::testing::ValuesIn(edits),
                         [](const auto &info) { return std::string(info.param.name); });

// Replaces the GenParams block of a generated file by `block` and fixes its directory size.
QByteArray withGenParams(const QByteArray &file, const QByteArray &block)
{
    const std::vector<RawBlock> blocks = splitBlocks(file);
    const qsizetype sizeField = 12 + 10 + 2; // first entry: "GenParams\0", revision
    const qsizetype at = u32At(file, 6);
    EXPECT_EQ(blocks[0].name, QByteArray("GenParams"));
    QByteArray out = file.left(at) + block + file.mid(at + blocks[0].bytes.size());
    putU32(out, sizeField, static_cast<uint32_t>(block.size()));
    return out;
}

TEST(RewriteFibreInfoBytes, KeepsWhatTheWriterWouldNotReproduce)
{
    const QByteArray base = generatedFile();
    const Edit &e = edits[0];
    GenParams g;
    const std::vector<RawBlock> blocks = splitBlocks(base);
    readGenParams(reinterpret_cast<const uint8_t *>(blocks[0].bytes.constData()), blocks[0].bytes.size(), g);

    // Bytes after the comment, a comment beyond the reader's 1000-byte limit, and a block
    // written without its own name.
    g.comment = QByteArray(1500, 'k');
    const QByteArray tail("\x01\x02\x03", 3);
    const QByteArray comment = QByteArray(1500, 'k') + '\0';
    const QByteArray longComment = writeGenParams(g);
    const QByteArray withTail = writeGenParams(g) + tail;
    const QByteArray nameless = writeGenParams(g).mid(10);
    for (const QByteArray &block : {longComment, withTail, nameless}) {
        const QByteArray before = withGenParams(base, block);
        const bool tailed = block.endsWith(tail);
        QByteArray after;
        ASSERT_EQ(rewriteFibreInfoBytes(before, e.cableId, e.fiberId, e.fiberType, e.operatorName, after), 1);
        expectFaithfulEdit(before, after, e);
        const QByteArray edited = splitBlocks(after)[0].bytes;
        EXPECT_TRUE(edited.endsWith(tailed ? comment + tail : comment)); // byte for byte
    }
}

TEST(RewriteFibreInfoBytes, ChecksumsFollowOnlyWhenTheyHeld)
{
    const QByteArray base = generatedFile();
    const qsizetype valueAt = base.size() - 2;
    QByteArray after;

    // A stale checksum stays exactly as it was.
    QByteArray stale = base;
    stale[valueAt] = static_cast<char>(stale[valueAt] ^ 0x5A);
    ASSERT_EQ(rewriteFibreInfoBytes(stale, "C", "F", 652, "O", after), 1);
    EXPECT_EQ(after.right(2), stale.right(2));

    // A checksum of the XMODEM flavour over the bytes before the value stays valid.
    QByteArray xmodem = base;
    const uint16_t crc = crcXmodem(xmodem, valueAt);
    xmodem[valueAt] = static_cast<char>(crc & 0xFF);
    xmodem[valueAt + 1] = static_cast<char>(crc >> 8);
    ASSERT_EQ(rewriteFibreInfoBytes(xmodem, "Cable with a longer name", "F", 652, "O", after), 1);
    const uint16_t stored = static_cast<uint16_t>(static_cast<uint8_t>(after[after.size() - 2]) |
                                                  (static_cast<uint8_t>(after[after.size() - 1]) << 8));
    EXPECT_EQ(stored, crcXmodem(after, after.size() - 2));
    EXPECT_NE(after.right(2), xmodem.right(2));
}

TEST(RewriteFibreInfo, FailuresLeaveTheFileAlone)
{
    const QByteArray good = generatedFile();
    QByteArray truncatedGen = withGenParams(good, splitBlocks(good)[0].bytes.left(30)); // ends before the operator
    struct Case {
        const char *name;
        QByteArray content;
        int expected;
    } cases[] = {
        {"garbage", QByteArray("not a trace file at all"), 5},
        {"truncated", good.left(good.size() - 1), 5},
        {"padded", good + QByteArray(1, '\0'), 5},
        {"genParamsCut", truncatedGen, 5},
        {"mapOnly", QByteArray("Map\0\xC8\0\x0C\0\0\0\x01\0", 12), 5},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.content);
        f.close();
        EXPECT_EQ(rewriteFibreInfo(path, "C", "F", 652, "O"), c.expected);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll() == c.content);
        f.close();
    }
    EXPECT_EQ(rewriteFibreInfo(QString(), "C", "F", 652, "O"), 2);
    EXPECT_EQ(rewriteFibreInfo(dir.filePath("missing.sor"), "C", "F", 652, "O"), 2);
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.sor")));
}

TEST(RewriteFibreInfo, ReadOnlyFileIsNotReplaced)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    const QByteArray good = generatedFile();
    QTemporaryDir dir;
    const QString readOnly = dir.filePath(QStringLiteral("readonly.sor"));
    QFile f(readOnly);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(good);
    f.close();
    f.setPermissions(QFileDevice::ReadOwner);
    EXPECT_EQ(rewriteFibreInfo(readOnly, "C", "F", 652, "O"), 4);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll() == good);
}

// Files from real instruments: proprietary blocks, odd checksums and all.
TEST(RewriteFibreInfo, KeepsRealFilesIntact)
{
    const QDir corpus(sourceDir() + QStringLiteral("/../shared/corpus"));
    if (!corpus.exists())
        GTEST_SKIP() << "no corpus";
    int edited = 0;
    QString firstPath;
    QDirIterator it(corpus.path(), {QStringLiteral("*.sor"), QStringLiteral("*.SOR")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        SorBlocks blocks;
        const auto *data = reinterpret_cast<const uint8_t *>(before.constData());
        if (parseSorBytes(data, before.size(), blocks) != 1)
            continue; // not a file this program reads
        if (blocks.map.issue == 1)
            continue; // rewritten as issue 2: see the next test
        SCOPED_TRACE(path.toStdString());
        QByteArray after;
        const int result = rewriteFibreInfoBytes(before, edits[1].cableId, edits[1].fiberId, edits[1].fiberType,
                                                 edits[1].operatorName, after);
        if (result != 1)
            continue;
        expectFaithfulEdit(before, after, edits[1]);
        const ChecksumCheck was = checkSorChecksum(data, before.size());
        if (was.matches()) {
            EXPECT_TRUE(checkSorChecksum(reinterpret_cast<const uint8_t *>(after.constData()), after.size()).matches());
        }
        if (firstPath.isEmpty())
            firstPath = path;
        ++edited;
    }
    EXPECT_GE(edited, 10);

    // One of them through the file system.
    ASSERT_FALSE(firstPath.isEmpty());
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.sor"));
    ASSERT_TRUE(QFile::copy(firstPath, copy));
    QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_EQ(rewriteFibreInfo(copy, edits[0].cableId, edits[0].fiberId, edits[0].fiberType, edits[0].operatorName), 1);
    QFile a(firstPath), b(copy);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    expectFaithfulEdit(a.readAll(), b.readAll(), edits[0]);
}

// Real issue-1 files come back as issue 2 with the same trace, events and blocks.
TEST(RewriteFibreInfo, RealIssue1FilesBecomeIssue2WithEverythingTheyHeld)
{
    const QDir corpus(sourceDir() + QStringLiteral("/../shared/corpus"));
    if (!corpus.exists())
        GTEST_SKIP() << "no corpus";
    for (const char *name : {"pyOTDR/demo_ab.sor", "pyOTDR/M200_Sample_005_S13.sor"}) {
        SCOPED_TRACE(name);
        QFile f(corpus.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        QByteArray after;
        ASSERT_EQ(rewriteFibreInfoBytes(before, edits[1].cableId, edits[1].fiberId, edits[1].fiberType,
                                        edits[1].operatorName, after),
                  1);
        const auto *a = reinterpret_cast<const uint8_t *>(after.constData());
        EXPECT_EQ(sorLayoutIssue(a, after.size()), 2);
        EXPECT_TRUE(checkSorChecksum(a, after.size()).matches());

        CSorFileBase sor;
        SorRecord was;
        SorRecord now;
        ASSERT_EQ(sor.ReadFromMemory(reinterpret_cast<const uint8_t *>(before.constData()), before.size(), was), 1);
        ASSERT_EQ(sor.ReadFromMemory(a, after.size(), now), 1);
        ASSERT_EQ(now.traces.size(), was.traces.size());
        EXPECT_EQ(now.traces[0].points, was.traces[0].points);
        EXPECT_EQ(now.wavelengthNm, was.wavelengthNm);
        EXPECT_EQ(now.pulseWidthNs, was.pulseWidthNs);
        EXPECT_EQ(now.rangeMetres, was.rangeMetres);
        EXPECT_EQ(now.sampleSpacing, was.sampleSpacing);
        EXPECT_EQ(now.timestamp, was.timestamp);
        ASSERT_EQ(now.events.size(), was.events.size());
        for (size_t i = 0; i < now.events.size(); ++i) {
            EXPECT_EQ(now.events[i].time, was.events[i].time);
            EXPECT_EQ(now.events[i].loss, was.events[i].loss);
            EXPECT_EQ(now.events[i].reflectance, was.events[i].reflectance);
            EXPECT_EQ(now.events[i].code, was.events[i].code);
        }
        EXPECT_TRUE(now.infoTexts.contains(QStringLiteral("CableID=") + edits[1].cableId));

        // Every block of the original is named in the new directory, the vendors' ones included.
        SorBlocks oldBlocks;
        SorBlocks newBlocks;
        ASSERT_EQ(parseSorBytes(reinterpret_cast<const uint8_t *>(before.constData()), before.size(), oldBlocks), 1);
        ASSERT_EQ(parseSorBytes(a, after.size(), newBlocks), 1);
        ASSERT_EQ(newBlocks.map.entries.size(), oldBlocks.map.entries.size());
        for (size_t i = 0; i < newBlocks.map.entries.size(); ++i)
            EXPECT_EQ(newBlocks.map.entries[i].name, oldBlocks.map.entries[i].name);
    }
}

} // namespace
