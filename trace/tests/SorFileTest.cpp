#include "trace/CSorFileBase.h"
#include "trace/InfoTexts.h"
#include "trace/tests/SorTestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <sys/resource.h>

using namespace sortest;

namespace {

SorRecord readRecord(const SorBlocks &blocks)
{
    const QByteArray file = writeSorBytes(blocks);
    CSorFileBase sor;
    SorRecord record;
    EXPECT_EQ(sor.ReadFromMemory(bytesOf(file), static_cast<size_t>(file.size()), record), SorResult::Done);
    return record;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(SorRead, BlocksToRecordFormulas)
{
    const SorRecord r = readRecord(sampleBlocks());
    // n = 150000 / 100000; spacing 500000 (100 ps per 10 000 points): 5e-9 x c / 1.5.
    EXPECT_EQ(r.refractiveIndex, 1.5f);
    EXPECT_EQ(r.sampleSpacing, static_cast<float>(static_cast<double>(static_cast<float>(5e-9)) * 299792458.0 / 1.5));
    EXPECT_NEAR(r.sampleSpacing, 0.99931, 1e-5);
    EXPECT_EQ(r.samplingFrequencyMHz, 100.0f);
    EXPECT_EQ(r.fibreLength, 8.0f * r.sampleSpacing);
    EXPECT_EQ(r.pulseWidthNs, 100);
    EXPECT_EQ(r.wavelengthNm, 1550) << "15505 / 10, integer division";
    EXPECT_EQ(r.backscatter, -80.0f);
    EXPECT_EQ(r.lossThreshold, 0.05f);
    EXPECT_EQ(r.reflectanceThreshold, 40.0f) << "read unsigned, never negative";
    EXPECT_EQ(r.endThreshold, 3.0f);
    EXPECT_EQ(r.rangeMetres, 2500);
    EXPECT_EQ(r.timestamp, 1700000000);
    EXPECT_EQ(r.averages, 4096);
    EXPECT_EQ(r.groupIndexRaw, 150000);
    ASSERT_EQ(r.traces.size(), 2u);
    EXPECT_EQ(r.traces[1].scaleFactor, 1470) << "the record keeps the scale factor as stored";
    EXPECT_EQ(r.traces[1].points, (std::vector<uint16_t>{1, 2, 3, 4}));
    ASSERT_EQ(r.events.size(), 2u);
    EXPECT_EQ(r.events[1].time, 49);
    EXPECT_EQ(r.events[1].code, "0F9999");
    EXPECT_EQ(r.events[1].technique, "LS");
    EXPECT_EQ(r.events[1].comment, "note");
}

TEST(SorRead, IntegerEdgesOfTheConversion)
{
    struct Case {
        const char *name;
        int16_t wavelength;
        int32_t rangeDistance;
        uint32_t timestamp;
        int32_t wantWavelength;
        int32_t wantRange;
        int64_t wantTimestamp;
    };
    const Case cases[] = {
        {"negative wavelength truncates toward zero", -15, 1, 0, -1, 100, 0},
        // Without a range distance or time the range is the fibre length: 8 samples of 0.99931 m.
        {"timestamp zero-extended", 13100, 0, 0xFFFFFFFFu, 1310, 8, 4294967295LL},
        // 3000000 x 1000 wraps in 32 bits to -1294967296, then / 10.
        {"range distance wraps in 32 bits", 0, 3000000, 1, 0, -129496729, 1},
        {"negative range distance", 0, -7, 1, 0, -700, 1},
    };
    for (const Case &c : cases) {
        SorBlocks b = sampleBlocks();
        b.fxdParams.actualWavelength = c.wavelength;
        b.fxdParams.acquisitionRangeDistance = c.rangeDistance;
        b.fxdParams.acquisitionRange = 0; // no time to compare the distance with
        b.fxdParams.timestamp = c.timestamp;
        const SorRecord r = readRecord(b);
        EXPECT_EQ(r.wavelengthNm, c.wantWavelength) << c.name;
        EXPECT_EQ(r.rangeMetres, c.wantRange) << c.name;
        EXPECT_EQ(r.timestamp, c.wantTimestamp) << c.name;
    }
}

TEST(SorRead, NoPulseEntriesKeepThePreviousValues)
{
    SorBlocks b = sampleBlocks();
    b.fxdParams.pulses.clear();
    const QByteArray file = writeSorBytes(b);
    CSorFileBase sor;
    SorRecord r;
    r.pulseWidthNs = 77;
    r.samplingFrequencyMHz = 12.5f;
    r.fibreLength = 999.0f;
    ASSERT_EQ(sor.ReadFromMemory(bytesOf(file), static_cast<size_t>(file.size()), r), SorResult::Done);
    EXPECT_EQ(r.pulseWidthNs, 77);
    EXPECT_EQ(r.samplingFrequencyMHz, 12.5f);
    EXPECT_EQ(r.fibreLength, 999.0f);
    EXPECT_EQ(r.sampleSpacing, 0.0f);
}

TEST(SorRead, ZeroGroupIndexAndSpacingDoNotFault)
{
    SorBlocks b = sampleBlocks();
    b.fxdParams.groupIndex = 0;
    b.fxdParams.pulses[0].dataSpacing = 0;
    const SorRecord r = readRecord(b);
    EXPECT_EQ(r.refractiveIndex, 0.0f);
    EXPECT_TRUE(std::isinf(r.samplingFrequencyMHz));
}

TEST(SorRead, InformationTextsOfARead)
{
    const SorRecord r = readRecord(sampleBlocks());
    const QStringList expected = {
        "Operator=Ana", "supplier=Maker", "UO=-1234", "UOD=5678", "AveragingTime=60", "GPS=48.1N 11.5E",
        "CableID=CABLE-7", "FiberID=F12", "FiberType=655", "CursorA=100", "CursorB=-200", "LocA=North hut",
        "LocB=South hut", "Comment=first shot", "Model=Mod 9", "SN=SN-42",
    };
    EXPECT_EQ(r.infoTexts, expected);

    SorBlocks sparse = sampleBlocks();
    sparse.supParams.other.clear();
    sparse.supParams.moduleId.clear();
    sparse.supParams.moduleSerial.clear();
    sparse.genParams.cableId.clear();
    sparse.genParams.fiberId.clear();
    sparse.genParams.fiberType = -2;
    sparse.fxdParams.averagingTime = 65535;
    const SorRecord s = readRecord(sparse);
    EXPECT_EQ(s.infoTexts, (QStringList{"Operator=Ana", "supplier=Maker", "UO=-1234", "UOD=5678",
                                        "AveragingTime=65535", "FiberType=-2", "CursorA=100", "CursorB=-200",
                                        "LocA=North hut", "LocB=South hut", "Comment=first shot"}));
}

TEST(SorRead, TextDecodingAndLengthLimits)
{
    SorBlocks b = sampleBlocks();
    b.genParams.operatorName = "J\xC3\xBCrgen";   // UTF-8
    b.genParams.cableId = "Caf\xE9 \x80";          // Windows-1252
    b.supParams.supplier = QByteArray(250, 's');  // too long: empty value
    // 248 ASCII bytes and a two-byte character that would end at byte 250: cut before it.
    b.genParams.comment = QByteArray(248, 'c') + "\xC3\xA9" + "tail";
    b.genParams.locationA = QByteArray(249, 'a');
    const SorRecord r = readRecord(b);
    EXPECT_TRUE(r.infoTexts.contains(QStringLiteral("Operator=J\u00FCrgen")));
    EXPECT_TRUE(r.infoTexts.contains(QStringLiteral("CableID=Caf\u00E9 \u20AC")));
    EXPECT_TRUE(r.infoTexts.contains(QStringLiteral("supplier=")));
    EXPECT_TRUE(r.infoTexts.contains(QStringLiteral("Comment=") + QString(248, QLatin1Char('c'))));
    EXPECT_TRUE(r.infoTexts.contains(QStringLiteral("LocA=") + QString(249, QLatin1Char('a'))));

    // Every byte of the local code page round-trips.
    QByteArray all;
    for (int i = 1; i < 256; ++i)
        all.append(static_cast<char>(i));
    EXPECT_EQ(infotexts::toLocal8Bit(infotexts::fromLocal8Bit(all), 1000), all);
}

// Each text field is decoded with its own encoding: the bytes C3 A9 are one character in UTF-8
// and two in Windows-1252, so a field read with the other encoding shows up here.
TEST(SorRead, EachTextFieldHasItsOwnEncoding)
{
    const QByteArray bytes = "x\xC3\xA9";
    const QString utf8 = QStringLiteral("x\u00E9");
    const QString cp1252 = QStringLiteral("x\u00C3\u00A9");
    struct Case {
        const char *key;
        QByteArray GenParams::*gen;
        QByteArray SupParams::*sup;
        const QString &expected;
    };
    const Case cases[] = {
        {"Operator", &GenParams::operatorName, nullptr, utf8},
        {"supplier", nullptr, &SupParams::supplier, utf8},
        {"GPS", nullptr, &SupParams::other, cp1252},
        {"CableID", &GenParams::cableId, nullptr, cp1252},
        {"FiberID", &GenParams::fiberId, nullptr, cp1252},
        {"LocA", &GenParams::locationA, nullptr, utf8},
        {"LocB", &GenParams::locationB, nullptr, utf8},
        {"Comment", &GenParams::comment, nullptr, utf8},
        {"Model", nullptr, &SupParams::moduleId, cp1252},
        {"SN", nullptr, &SupParams::moduleSerial, cp1252},
    };
    for (const Case &c : cases) {
        SorBlocks b = sampleBlocks();
        if (c.gen)
            b.genParams.*c.gen = bytes;
        else
            b.supParams.*c.sup = bytes;
        const SorRecord r = readRecord(b);
        const QString text = QString::fromLatin1(c.key) + QLatin1Char('=') + c.expected;
        EXPECT_TRUE(r.infoTexts.contains(text)) << c.key << " " << r.infoTexts.join(u'|').toStdString();
    }
}

TEST(SorRead, RejectionLeavesRecordAndResetsObject)
{
    CSorFileBase sor;
    SorRecord r = readRecord(sampleBlocks());
    const SorRecord before = r;
    QByteArray bad = sampleFile() + "x";
    EXPECT_EQ(sor.ReadFromMemory(bytesOf(bad), static_cast<size_t>(bad.size()), r), SorResult::NotSor);
    EXPECT_EQ(r.infoTexts, before.infoTexts);
    EXPECT_EQ(r.traces.size(), before.traces.size());
    EXPECT_EQ(sor.blocks().supParams.supplier, "Vorn-Alix");
    EXPECT_EQ(sor.blocks().map.blockCount, 8);
}

TEST(SorRead, ReadFileResults)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CSorFileBase sor;
    SorRecord r;
    EXPECT_EQ(sor.ReadFile(QString(), r), SorResult::CannotOpen);
    EXPECT_EQ(sor.ReadFile(dir.filePath("missing.sor"), r), SorResult::CannotOpen);

    // A read-only file opens: reading needs no write access.
    const QString path = dir.filePath("ro.sor");
    ASSERT_TRUE(writeFile(path, sampleFile()));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    EXPECT_EQ(sor.ReadFile(path, r), SorResult::Done);
    EXPECT_EQ(r.traces.size(), 2u);

    const QString bad = dir.filePath("bad.sor");
    ASSERT_TRUE(writeFile(bad, QByteArray("not a sor file")));
    EXPECT_EQ(sor.ReadFile(bad, r), SorResult::NotSor);
    EXPECT_EQ(sor.ReadFile(dir.path(), r), SorResult::CannotOpen) << "a folder is not a file";
    EXPECT_EQ(sor.ReadFile(QStringLiteral("/dev/zero"), r), SorResult::CannotOpen) << "a device never ends";
}

TEST(SorRead, FilesOver64MiBAreRefusedUnread)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    constexpr qint64 limit = qint64(64) * 1024 * 1024;
    // A valid file grown to the size by its last block (the checksum block, whose tail is
    // passed over); the zeros are left sparse on disk.
    auto grownFile = [&](const QString &name, qint64 size) {
        QByteArray file = sampleFile();
        const BlockSpan last = blockSpan(file, 6);
        putU32(file, last.sizeField, static_cast<uint32_t>(last.size + size - file.size()));
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(file) == file.size() && f.resize(size));
        return path;
    };
    CSorFileBase sor;
    SorRecord r;
    EXPECT_EQ(sor.ReadFile(grownFile("limit.sor", limit), r), SorResult::Done) << "64 MiB exactly is read";
    EXPECT_EQ(r.traces.size(), 2u);
    const SorRecord before = r;
    // One byte more: the directory adds up, yet the file is refused and the object reset.
    EXPECT_EQ(sor.ReadFile(grownFile("over.sor", limit + 1), r), SorResult::NotSor);
    EXPECT_EQ(r.infoTexts, before.infoTexts) << "the caller's record is left as it was";
    EXPECT_EQ(sor.blocks().supParams.supplier, "Vorn-Alix");
    // A file of 1.5 GB: refused without reading a byte of it.
    const QString huge = dir.filePath("huge.sor");
    QFile f(huge);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(qint64(1536) * 1024 * 1024));
    f.close();
    EXPECT_EQ(sor.ReadFile(huge, r), SorResult::NotSor);
}

TEST(SorRead, ClearSamplesEmptiesHeldPoints)
{
    CSorFileBase sor;
    SorRecord r;
    r.traces.resize(1);
    r.traces[0].points = {1, 2, 3};
    r.traces[0].pointCount = 3;
    sor.SaveToBytes(r);
    ASSERT_EQ(sor.blocks().dataPts.traces[0].points.size(), 3u);
    sor.ClearSamples();
    EXPECT_TRUE(sor.blocks().dataPts.traces[0].points.empty());
}

namespace {

SorRecord recordForSave(size_t points)
{
    SorRecord r;
    SorTrace t;
    t.points.assign(points, 40000);
    t.pointCount = static_cast<int32_t>(points);
    t.scaleFactor = 1000;
    r.traces.push_back(t);
    r.rangeMetres = 29950;
    r.pulseWidthNs = 1000;
    r.wavelengthNm = 1310;
    r.samplingFrequencyMHz = 100.0f;
    r.refractiveIndex = 1.4682f;
    r.backscatter = -79.35f;
    r.lossThreshold = 0.05f;
    r.reflectanceThreshold = 70.0f; // above 65.535 dB: cut to 16 bits
    r.endThreshold = 3.0f;
    r.timestamp = 0x1'2345'6789LL;
    SorEvent e;
    e.time = 1000;
    e.attenuation = 190;
    e.loss = -199;
    e.reflectance = -40000;
    e.code = "1E";
    e.technique = "LS";
    r.events.push_back(e);
    r.infoTexts = {"UO=12", "AveragingTime=70000", "CableID=C1", "FiberID=", "Operator=Bo", "FiberType=652",
                   "CursorA=50035", "CursorB=", "Comment=ignored", "LocA=ignored"};
    return r;
}

} // namespace

TEST(SorSave, RecordToBlocks)
{
    CSorFileBase sor;
    const QByteArray file = sor.SaveToBytes(recordForSave(30000));
    SorBlocks b;
    ASSERT_EQ(parseSorBytes(bytesOf(file), static_cast<size_t>(file.size()), b), SorResult::Done);
    EXPECT_EQ(blockSpan(file, 4).size, 60020) << "30000 samples give a 60020-byte DataPts";
    EXPECT_EQ(u32At(file, 6), 124u);
    EXPECT_EQ(blockSpan(file, 1).size, 26);
    EXPECT_EQ(blockSpan(file, 2).size, 92);
    EXPECT_EQ(blockSpan(file, 3).size, 34 + 43);
    EXPECT_EQ(blockSpan(file, 0).size, 33 + 2 + 2);

    const FxdParams &f = b.fxdParams;
    EXPECT_EQ(f.timestamp, 0x23456789u) << "low 32 bits";
    EXPECT_EQ(f.actualWavelength, 13100);
    ASSERT_EQ(f.pulses.size(), 1u);
    EXPECT_EQ(f.pulses[0].pulseWidth, 1000);
    EXPECT_EQ(f.pulses[0].dataSpacing, 500000);
    EXPECT_EQ(f.pulses[0].pointCount, 30000);
    EXPECT_EQ(f.groupIndex, 146820);
    EXPECT_EQ(f.backscatter, -793);
    EXPECT_EQ(f.lossThreshold, static_cast<uint16_t>(static_cast<int>(0.05f * 1000.0f)));
    EXPECT_EQ(f.reflectanceThreshold, static_cast<uint16_t>(70000 & 0xFFFF));
    EXPECT_EQ(f.endThreshold, 3000);
    EXPECT_EQ(f.acquisitionRange, static_cast<int32_t>(1e10 * static_cast<double>(1.4682f) * 30000 / 299792458.0));
    EXPECT_EQ(f.acquisitionRangeDistance, 300);
    EXPECT_EQ(f.averagingTime, static_cast<uint16_t>(70000 & 0xFFFF));
    EXPECT_EQ(f.averages, 0);
    EXPECT_EQ(b.dataPts.dataPointCount, 30000);
    EXPECT_EQ(b.genParams.nominalWavelength, 1310);
    EXPECT_EQ(b.genParams.userOffset, 12);
    EXPECT_EQ(b.genParams.cableId, "C1");
    EXPECT_EQ(b.genParams.fiberId, "");
    EXPECT_EQ(b.genParams.operatorName, "Bo");
    EXPECT_EQ(b.genParams.fiberType, 652);
    EXPECT_EQ(b.genParams.comment, "") << "texts a save does not apply are not written";
    EXPECT_EQ(b.genParams.locationA, "");
    EXPECT_EQ(b.supParams.supplier, "Vorn-Alix");
    EXPECT_EQ(b.vendor.cursorA, 50035);
    EXPECT_EQ(b.vendor.cursorB, 0) << "an empty cursor value is skipped";
    ASSERT_EQ(b.keyEvents.events.size(), 1u);
    EXPECT_EQ(b.keyEvents.events[0].number, 0);
    EXPECT_EQ(b.keyEvents.events[0].loss, -199);
    EXPECT_EQ(b.keyEvents.events[0].code, "1E0000") << "short codes are filled with '0'";
    EXPECT_EQ(b.fxdParams.distanceUnits, "km");
}

TEST(SorSave, LongTextsKeep255Bytes)
{
    SorRecord r = recordForSave(10);
    r.infoTexts = {QStringLiteral("Operator=") + QString(200, QChar(0x00FC)), // 400 bytes of UTF-8
                   QStringLiteral("CableID=") + QString(300, QLatin1Char('k'))};
    CSorFileBase sor;
    const QByteArray file = sor.SaveToBytes(r);
    SorBlocks b;
    ASSERT_EQ(parseSorBytes(bytesOf(file), static_cast<size_t>(file.size()), b), SorResult::Done);
    EXPECT_EQ(b.genParams.operatorName.size(), 254) << "cut at a character boundary";
    EXPECT_EQ(QString::fromUtf8(b.genParams.operatorName), QString(127, QChar(0x00FC)));
    EXPECT_EQ(b.genParams.cableId, QByteArray(255, 'k'));
}

TEST(SorSave, EachAppliedTextFieldHasItsOwnEncoding)
{
    SorRecord r = recordForSave(4);
    r.infoTexts = {QStringLiteral("Operator=x\u00E9"), QStringLiteral("CableID=x\u00E9\u20AC"),
                   QStringLiteral("FiberID=\u0100x")};
    CSorFileBase sor;
    const QByteArray file = sor.SaveToBytes(r);
    SorBlocks b;
    ASSERT_EQ(parseSorBytes(bytesOf(file), static_cast<size_t>(file.size()), b), SorResult::Done);
    EXPECT_EQ(b.genParams.operatorName, QByteArray("x\xC3\xA9")) << "UTF-8";
    EXPECT_EQ(b.genParams.cableId, QByteArray("x\xE9\x80")) << "Windows-1252";
    EXPECT_EQ(b.genParams.fiberId, QByteArray("?x")) << "outside the code page";
}

TEST(SorSave, SaveFileResultsAndAtomicReplace)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CSorFileBase sor;
    const SorRecord r = recordForSave(1000);
    EXPECT_EQ(sor.SaveFile(QString(), r), SorResult::CannotOpen);
    EXPECT_EQ(sor.SaveFile(dir.filePath("no/such/folder/x.sor"), r), SorResult::CannotCreate);

    const QString path = dir.filePath("out.sor");
    ASSERT_TRUE(writeFile(path, QByteArray("previous content")));
    EXPECT_EQ(sor.SaveFile(path, r), SorResult::Done);
    EXPECT_EQ(fileBytes(path), CSorFileBase().SaveToBytes(r));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.sor"}) << "no temporary left behind";
}

TEST(SorSave, FailedWriteReturns4AndKeepsTheTarget)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("keep.sor");
    const QByteArray previous = sampleFile();
    ASSERT_TRUE(writeFile(path, previous));

    // A file-size limit makes the write fail part way, as a full disk would.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    CSorFileBase sor;
    const int result = sor.SaveFile(path, recordForSave(100000));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, SorResult::CannotCreate);
    EXPECT_EQ(fileBytes(path), previous) << "the existing file is byte-identical";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.sor"});
}
