#include "trace/SorBlocks.h"
#include "trace/tests/SorTestFiles.h"

#include <gtest/gtest.h>

using namespace sortest;

namespace {

SorBlocks parsed(const QByteArray &file, int expected = SorResult::Done)
{
    SorBlocks out;
    EXPECT_EQ(parseSorBytes(bytesOf(file), static_cast<size_t>(file.size()), out), expected);
    return out;
}

} // namespace

TEST(SorBlocks, EveryFieldSurvivesWriteAndParse)
{
    const SorBlocks in = sampleBlocks();
    const SorBlocks out = parsed(writeSorBytes(in));

    const GenParams &g = out.genParams;
    EXPECT_EQ(g.languageCode, "EN");
    EXPECT_EQ(g.cableId, "CABLE-7");
    EXPECT_EQ(g.fiberId, "F12");
    EXPECT_EQ(g.fiberType, 655);
    EXPECT_EQ(g.nominalWavelength, 1550);
    EXPECT_EQ(g.locationA, "North hut");
    EXPECT_EQ(g.locationB, "South hut");
    EXPECT_EQ(g.cableCode, "CC");
    EXPECT_EQ(g.currentDataFlag, "BC");
    EXPECT_EQ(g.userOffset, -1234);
    EXPECT_EQ(g.userOffsetDistance, 5678);
    EXPECT_EQ(g.operatorName, "Ana");
    EXPECT_EQ(g.comment, "first shot");

    const SupParams &s = out.supParams;
    EXPECT_EQ(s.supplier, "Maker");
    EXPECT_EQ(s.mainframeId, "MF");
    EXPECT_EQ(s.mainframeSerial, "MF-1");
    EXPECT_EQ(s.moduleId, "Mod 9");
    EXPECT_EQ(s.moduleSerial, "SN-42");
    EXPECT_EQ(s.softwareRevision, "1.2");
    EXPECT_EQ(s.other, "48.1N 11.5E");

    const FxdParams &f = out.fxdParams;
    const FxdParams &fi = in.fxdParams;
    EXPECT_EQ(f.timestamp, fi.timestamp);
    EXPECT_EQ(f.distanceUnits, "mt");
    EXPECT_EQ(f.actualWavelength, 15505);
    EXPECT_EQ(f.acquisitionOffset, -11);
    EXPECT_EQ(f.acquisitionOffsetDistance, -12);
    ASSERT_EQ(f.pulses.size(), 2u);
    EXPECT_EQ(f.pulses[1].pulseWidth, 300);
    EXPECT_EQ(f.pulses[1].dataSpacing, 1000000);
    EXPECT_EQ(f.pulses[1].pointCount, 16);
    EXPECT_EQ(f.groupIndex, 150000);
    EXPECT_EQ(f.backscatter, -800);
    EXPECT_EQ(f.averages, 4096);
    EXPECT_EQ(f.averagingTime, 60);
    EXPECT_EQ(f.acquisitionRange, 125086);
    EXPECT_EQ(f.acquisitionRangeDistance, 25);
    EXPECT_EQ(f.frontPanelOffset, 3);
    EXPECT_EQ(f.noiseFloorLevel, 65000);
    EXPECT_EQ(f.noiseFloorScale, 1000);
    EXPECT_EQ(f.powerOffsetFirstPoint, 9);
    EXPECT_EQ(f.lossThreshold, 50);
    EXPECT_EQ(f.reflectanceThreshold, 40000);
    EXPECT_EQ(f.endThreshold, 3000);
    EXPECT_EQ(f.traceType, "ST");
    EXPECT_EQ(f.window[0], 1);
    EXPECT_EQ(f.window[3], 4);

    ASSERT_EQ(out.keyEvents.events.size(), 2u);
    const KeyEvent &e = out.keyEvents.events[1];
    EXPECT_EQ(e.number, 2);
    EXPECT_EQ(e.time, 49);
    EXPECT_EQ(e.attenuation, 190);
    EXPECT_EQ(e.loss, 250);
    EXPECT_EQ(e.code, "0F9999");
    EXPECT_EQ(e.technique, "LS");
    EXPECT_EQ(e.markers[4], 99);
    EXPECT_EQ(e.comment, "note");
    EXPECT_EQ(out.keyEvents.events[0].reflectance, -45000);
    EXPECT_EQ(out.keyEvents.endToEndLoss, 5);
    EXPECT_EQ(out.keyEvents.returnLoss, 33);

    EXPECT_EQ(out.dataPts.dataPointCount, 12);
    ASSERT_EQ(out.dataPts.traces.size(), 2u) << "both traces, in file order";
    EXPECT_EQ(out.dataPts.traces[0].points, in.dataPts.traces[0].points);
    EXPECT_EQ(out.dataPts.traces[1].scaleFactor, 1470);
    EXPECT_EQ(out.dataPts.traces[1].points, in.dataPts.traces[1].points);

    EXPECT_EQ(out.vendor.cursorA, 100);
    EXPECT_EQ(out.vendor.cursorB, -200);
    EXPECT_EQ(out.map.blockCount, 8);
}

TEST(SorBlocks, WrittenSizesAndOffsets)
{
    const SorBlocks in = sampleBlocks();
    const QByteArray file = writeSorBytes(in);
    const GenParams &g = in.genParams;
    const SupParams &s = in.supParams;
    struct Case { int block; qsizetype size; };
    const Case cases[] = {
        {0, 33 + g.cableId.size() + g.fiberId.size() + g.locationA.size() + g.locationB.size() + g.cableCode.size() +
                g.operatorName.size() + g.comment.size()},
        {1, 17 + s.supplier.size() + s.mainframeId.size() + s.mainframeSerial.size() + s.moduleId.size() +
                s.moduleSerial.size() + s.softwareRevision.size() + s.other.size()},
        {2, 82 + 10 * 2},
        {3, 34 + 43 + (43 + 4)},
        {4, 14 + (6 + 2 * 8) + (6 + 2 * 4)},
        {5, 24},
        {6, 8},
    };
    qsizetype total = u32At(file, 6);
    EXPECT_EQ(total, 124) << "Map of the eight default blocks";
    for (const Case &c : cases) {
        const BlockSpan span = blockSpan(file, c.block);
        EXPECT_EQ(span.size, c.size) << "block " << c.block;
        total += span.size;
    }
    EXPECT_EQ(total, file.size());

    // FxdParams with N = 2 places the group index at offset 48.
    const BlockSpan fxd = blockSpan(file, 2);
    EXPECT_EQ(i32At(file, fxd.offset + 48), 150000);
    EXPECT_EQ(file.mid(fxd.offset, 10), QByteArray("FxdParams", 10));
}

TEST(SorBlocks, FixedWidthFieldsAreFilledWithZeroDigitOrCut)
{
    SorBlocks b = defaultSorBlocks();
    b.genParams.languageCode = "E";
    b.genParams.currentDataFlag = "XYZ";
    const QByteArray body = writeGenParams(b.genParams);
    EXPECT_EQ(body.mid(10, 2), "E0");
    EXPECT_EQ(body.mid(10 + 2 + 1 + 1 + 4 + 1 + 1 + 1, 2), "XY");
}

TEST(SorBlocks, EmptyKeyEventsBlockIs34Bytes)
{
    KeyEvents k;
    const QByteArray body = writeKeyEvents(k);
    EXPECT_EQ(body.size(), 34);
    KeyEvents back;
    back.events.resize(3);
    readKeyEvents(bytesOf(body), static_cast<size_t>(body.size()), back);
    EXPECT_TRUE(back.events.empty());
}

TEST(SorBlocks, TextsWithEmbeddedZeroStayInStep)
{
    SorBlocks b = sampleBlocks();
    b.genParams.cableId = QByteArray("AB\0CD", 5);
    const SorBlocks out = parsed(writeSorBytes(b));
    EXPECT_EQ(out.genParams.cableId, "AB");
    EXPECT_EQ(out.genParams.fiberId, "F12");
}

TEST(SorContainer, RejectsWhatIsNotAWholeSorFile)
{
    const QByteArray good = sampleFile();
    QByteArray noMap = good;
    noMap[0] = 'm';
    QByteArray bigMapSize = good;
    putU32(bigMapSize, 6, u32At(good, 6) + 1);
    // Sizes whose 32-bit sum wraps around to the file length.
    const BlockSpan gen = blockSpan(good, 0);
    QByteArray wrapped2 = good;
    putU32(wrapped2, gen.sizeField, 0xFFFFFFFFu);
    putU32(wrapped2, blockSpan(good, 1).sizeField, static_cast<uint32_t>(blockSpan(good, 1).size + gen.size + 1));
    QByteArray hugeCount = good.left(12);
    putU16(hugeCount, 10, 0xFFFF);

    struct Case { const char *name; QByteArray bytes; };
    const Case cases[] = {
        {"one byte appended", good + QByteArray(1, '\0')},
        {"last byte missing", good.left(good.size() - 1)},
        {"no Map name", noMap},
        {"Map size one too large", bigMapSize},
        {"block sizes wrap in 32 bits", wrapped2},
        {"directory longer than the bytes", hugeCount},
        {"three bytes", QByteArray("Map")},
        {"empty", QByteArray()},
    };
    for (const Case &c : cases) {
        SorBlocks blocks = sampleBlocks();
        blocks.genParams.operatorName = "kept";
        EXPECT_EQ(parseSorBytes(bytesOf(c.bytes), static_cast<size_t>(c.bytes.size()), blocks), SorResult::NotSor)
            << c.name;
        EXPECT_EQ(blocks.genParams.operatorName, "kept") << c.name << ": a rejection leaves the images alone";
    }
}

TEST(SorContainer, MapOnlyFileIsAcceptedWithoutTraces)
{
    QByteArray map("Map\0", 4);
    map.append(QByteArray(8, '\0'));
    putU16(map, 4, 200);
    putU32(map, 6, 12);
    putU16(map, 10, 1);
    SorBlocks blocks = sampleBlocks();
    EXPECT_EQ(parseSorBytes(bytesOf(map), static_cast<size_t>(map.size()), blocks), SorResult::Done);
    EXPECT_TRUE(blocks.dataPts.traces.empty());
    EXPECT_TRUE(blocks.keyEvents.events.empty()) << "images of absent blocks do not keep an earlier file's values";
    EXPECT_TRUE(blocks.supParams.supplier.isEmpty());
}

// Renames directory entry `index` to `name` and shifts the Map and its size accordingly.
static QByteArray renameEntry(const QByteArray &file, int index, const QByteArray &name)
{
    ByteCursor c(bytesOf(file), static_cast<size_t>(file.size()));
    c.skip(12);
    for (int i = 0; i < index; ++i) {
        c.text();
        c.skip(6);
    }
    const qsizetype at = static_cast<qsizetype>(c.position());
    const QByteArray old = c.text();
    QByteArray out = file.left(at) + name + file.mid(at + old.size());
    putU32(out, 6, static_cast<uint32_t>(u32At(file, 6) + name.size() - old.size()));
    return out;
}

TEST(SorContainer, DirectoryNamesSelectParsersByLeadingPart)
{
    const QByteArray good = sampleFile();
    struct Case { const char *entry; bool parsedAsDataPts; };
    const Case cases[] = {{"DataPts", true}, {"Data", true}, {"DataPtsX", false}, {"dataPts", false}};
    for (const Case &c : cases) {
        const SorBlocks out = parsed(renameEntry(good, 4, c.entry));
        EXPECT_EQ(out.dataPts.traces.size(), c.parsedAsDataPts ? 2u : 0u) << c.entry;
    }
    // The empty name selects GenParams; a LnkParams entry is passed over.
    EXPECT_EQ(parsed(renameEntry(good, 0, "")).genParams.cableId, "CABLE-7");
    EXPECT_EQ(parsed(renameEntry(good, 0, "LnkParams")).genParams.cableId, "");
    // A block type that occurs twice: the later block wins.
    const SorBlocks twice = parsed(renameEntry(good, 1, "Gen"));
    EXPECT_EQ(twice.genParams.languageCode, "Su") << "SupParams bytes parsed as GenParams replace the first";
    EXPECT_EQ(twice.genParams.cableId, "pParams");
    EXPECT_TRUE(twice.supParams.supplier.isEmpty());
}

TEST(SorContainer, VendorBlockOnlyWithRevision501AndChecksumNeverChecked)
{
    QByteArray file = sampleFile();
    EXPECT_EQ(parsed(file).vendor.cursorA, 100);

    QByteArray other = file;
    ByteCursor c(bytesOf(file), static_cast<size_t>(file.size()));
    c.skip(12);
    for (int i = 0; i < 5; ++i) {
        c.text();
        c.skip(6);
    }
    c.text();
    putU16(other, static_cast<qsizetype>(c.position()), 200);
    const SorBlocks out = parsed(other);
    EXPECT_EQ(out.vendor.cursorA, 0);
    EXPECT_EQ(out.vendor.cursorB, 0);

    QByteArray badSum = file;
    badSum[file.size() - 1] = static_cast<char>(badSum[file.size() - 1] ^ 0x5A);
    EXPECT_EQ(parsed(badSum).dataPts.traces.size(), 2u) << "a wrong checksum is read like any other";
    EXPECT_FALSE(checkSorChecksum(bytesOf(badSum), static_cast<size_t>(badSum.size())).matches());
}

TEST(SorContainer, SavedChecksumIsCrc16CcittFalse)
{
    EXPECT_EQ(crc16CcittFalse(reinterpret_cast<const uint8_t *>("123456789"), 9), 0x29B1);
    // Every length around the eight-byte steps agrees with the bit-by-bit definition.
    std::vector<uint8_t> bytes(50);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 151 + 7);
    for (size_t n = 0; n <= bytes.size(); ++n) {
        uint16_t crc = 0xFFFF;
        for (size_t i = 0; i < n; ++i) {
            crc = static_cast<uint16_t>(crc ^ (bytes[i] << 8));
            for (int k = 0; k < 8; ++k)
                crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        }
        EXPECT_EQ(crc16CcittFalse(bytes.data(), n), crc) << n;
    }
    const QByteArray file = sampleFile();
    const uint16_t stored = u16At(file, file.size() - 2);
    EXPECT_EQ(stored, crc16CcittFalse(bytesOf(file), static_cast<size_t>(file.size() - 2)));
    EXPECT_EQ(parsed(file).checksum, stored);
    const ChecksumCheck check = checkSorChecksum(bytesOf(file), static_cast<size_t>(file.size()));
    EXPECT_TRUE(check.present);
    EXPECT_TRUE(check.matches());
}

TEST(SorContainer, BlockWithoutItsNameIsReadFromItsFirstByte)
{
    const QByteArray good = sampleFile();
    const BlockSpan data = blockSpan(good, 4);
    const QByteArray nameless = replaceBlock(good, 4, good.mid(data.offset + 8, data.size - 8));
    const SorBlocks out = parsed(nameless);
    ASSERT_EQ(out.dataPts.traces.size(), 2u);
    EXPECT_EQ(out.dataPts.dataPointCount, 12);
    EXPECT_EQ(out.dataPts.traces[0].points, sampleBlocks().dataPts.traces[0].points);

    const BlockSpan fxd = blockSpan(good, 2);
    const SorBlocks fxdOut = parsed(replaceBlock(good, 2, good.mid(fxd.offset + 10, fxd.size - 10)));
    EXPECT_EQ(fxdOut.fxdParams.groupIndex, 150000);
    EXPECT_EQ(fxdOut.fxdParams.actualWavelength, 15505);
}

// Counts and sizes that lie: the reader keeps what fits and never reads outside the bytes
// (ASan in the fuzz build checks the latter; here the results are checked).
TEST(SorBlockBounds, CountsThatLieYieldWhatFits)
{
    const QByteArray good = sampleFile();
    const BlockSpan key = blockSpan(good, 3);
    const BlockSpan data = blockSpan(good, 4);
    const BlockSpan fxd = blockSpan(good, 2);

    QByteArray manyEvents = good;
    putU16(manyEvents, key.offset + 10, 60000);
    EXPECT_EQ(parsed(manyEvents).keyEvents.events.size(), 2u);

    QByteArray manyTraces = good;
    putU16(manyTraces, data.offset + 12, 65535);
    EXPECT_EQ(parsed(manyTraces).dataPts.traces.size(), 2u);

    QByteArray manyPoints = good;
    putU32(manyPoints, data.offset + 14, 0x7FFFFFFF);
    const SorBlocks pts = parsed(manyPoints);
    ASSERT_FALSE(pts.dataPts.traces.empty());
    // All bytes after the first trace header are taken as its points: (size - 20) / 2.
    EXPECT_EQ(pts.dataPts.traces[0].points.size(), static_cast<size_t>((data.size - 20) / 2));
    EXPECT_EQ(pts.dataPts.traces[0].pointCount, static_cast<int32_t>(pts.dataPts.traces[0].points.size()));

    QByteArray negativePoints = good;
    putU32(negativePoints, data.offset + 14, 0x80000000u);
    EXPECT_TRUE(parsed(negativePoints).dataPts.traces[0].points.empty());

    QByteArray manyPulses = good;
    putU16(manyPulses, fxd.offset + 26, 65535);
    EXPECT_EQ(parsed(manyPulses).fxdParams.pulses.size(), static_cast<size_t>((fxd.size - 28) / 10));
}

TEST(SorBlockBounds, ShortBlocksAndUnterminatedTexts)
{
    const QByteArray good = sampleFile();
    // Every standard block cut to every length from 0 up to its full size still parses; the
    // fields that fit keep their values.
    for (int block = 0; block < 7; ++block) {
        const BlockSpan span = blockSpan(good, block);
        for (qsizetype len = 0; len <= span.size; ++len) {
            const QByteArray cut = replaceBlock(good, block, good.mid(span.offset, len));
            SorBlocks out;
            ASSERT_EQ(parseSorBytes(bytesOf(cut), static_cast<size_t>(cut.size()), out), SorResult::Done)
                << block << " " << len;
        }
    }
    const BlockSpan gen = blockSpan(good, 0);
    // GenParams cut inside the cable ID: the ID ends at the block's end, later fields are empty.
    const SorBlocks cut = parsed(replaceBlock(good, 0, good.mid(gen.offset, 15)));
    EXPECT_EQ(cut.genParams.cableId, "CAB");
    EXPECT_TRUE(cut.genParams.fiberId.isEmpty());
    EXPECT_EQ(cut.genParams.userOffset, 0);
    // A cut DataPts keeps the points that fit.
    const BlockSpan data = blockSpan(good, 4);
    const SorBlocks cutData = parsed(replaceBlock(good, 4, good.mid(data.offset, 20 + 2 * 3 + 1)));
    ASSERT_EQ(cutData.dataPts.traces.size(), 1u);
    EXPECT_EQ(cutData.dataPts.traces[0].points, (std::vector<uint16_t>{65535, 60000, 50000}));
}

TEST(SorBlockBounds, LongTextKeeps1000BytesAndFollowingFieldsStayInStep)
{
    SorBlocks b = sampleBlocks();
    b.genParams.cableId = QByteArray(1500, 'x');
    const SorBlocks out = parsed(writeSorBytes(b));
    EXPECT_EQ(out.genParams.cableId, QByteArray(1000, 'x'));
    EXPECT_EQ(out.genParams.fiberId, "F12");
    EXPECT_EQ(out.genParams.userOffset, -1234);
    EXPECT_EQ(out.genParams.comment, "first shot");
}

TEST(SorBlocks, DefaultContent)
{
    const SorBlocks b = defaultSorBlocks();
    EXPECT_EQ(b.map.blockCount, 8);
    ASSERT_EQ(b.map.entries.size(), 7u);
    EXPECT_EQ(b.map.entries[5].name, "VornAlixSpecial");
    EXPECT_EQ(b.map.entries[5].revision, 501);
    EXPECT_EQ(b.genParams.languageCode, "CH");
    EXPECT_EQ(b.genParams.currentDataFlag, "BC");
    EXPECT_EQ(b.supParams.supplier, "Vorn-Alix");
    EXPECT_EQ(b.fxdParams.distanceUnits, "km");
    EXPECT_EQ(b.fxdParams.traceType, "ST");
    EXPECT_EQ(b.fxdParams.pulses.size(), 1u);
    ASSERT_EQ(b.dataPts.traces.size(), 1u);
    EXPECT_EQ(b.dataPts.traces[0].scaleFactor, 1000);
}
