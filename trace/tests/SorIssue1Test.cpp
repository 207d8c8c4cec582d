// Files of issue 1 of the trace format, built in memory: the reader, the record they give, their
// bounds, and their rewrite as issue 2.

#include "trace/CSorFileBase.h"
#include "trace/SorBlocks.h"
#include "trace/SorEditing.h"
#include "trace/TraceLoader.h"
#include "trace/tests/SorTestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace sortest;

namespace {

SorRecord readRecord(const QByteArray &file, int expected = SorResult::Done)
{
    CSorFileBase sor;
    SorRecord record;
    EXPECT_EQ(sor.ReadFromMemory(bytesOf(file), static_cast<size_t>(file.size()), record), expected);
    return record;
}

std::vector<Issue1Block> without(std::vector<Issue1Block> blocks, const QByteArray &name)
{
    blocks.erase(std::remove_if(blocks.begin(), blocks.end(), [&](const Issue1Block &b) { return b.name == name; }),
                 blocks.end());
    return blocks;
}

} // namespace

TEST(SorIssue1, EveryFieldReadsIntoTheIssue2Images)
{
    const QByteArray file = issue1File(issue1Blocks());
    SorBlocks b;
    ASSERT_EQ(parseSorBytes(bytesOf(file), static_cast<size_t>(file.size()), b), SorResult::Done);
    EXPECT_EQ(b.map.issue, 1);
    EXPECT_EQ(b.map.revision, 100);
    EXPECT_EQ(b.map.entries.size(), 7u);

    EXPECT_EQ(b.genParams.cableId, "CABLE-1");
    EXPECT_EQ(b.genParams.fiberId, "007");
    EXPECT_EQ(b.genParams.nominalWavelength, 1310);
    EXPECT_EQ(b.genParams.locationA, "Hut A");
    EXPECT_EQ(b.genParams.cableCode, "CC-9");
    EXPECT_EQ(b.genParams.userOffset, 1470);
    EXPECT_EQ(b.genParams.operatorName, "SUZY");
    EXPECT_EQ(b.genParams.comment, "issue one");
    EXPECT_EQ(b.genParams.fiberType, 0);
    EXPECT_EQ(b.supParams.supplier, "Noyes");
    EXPECT_EQ(b.supParams.softwareRevision, "0.0.14");

    const FxdParams &f = b.fxdParams;
    EXPECT_EQ(f.timestamp, 1150538471u);
    EXPECT_EQ(f.distanceUnits, "mt");
    EXPECT_EQ(f.actualWavelength, 13100);
    EXPECT_EQ(f.acquisitionOffset, -25);
    ASSERT_EQ(f.pulses.size(), 1u);
    EXPECT_EQ(f.pulses[0].pulseWidth, 100);
    EXPECT_EQ(f.pulses[0].dataSpacing, 250000);
    EXPECT_EQ(f.pulses[0].pointCount, 200);
    EXPECT_EQ(f.groupIndex, 150000);
    EXPECT_EQ(f.backscatter, 800);
    EXPECT_EQ(f.averages, 6656);
    EXPECT_EQ(f.acquisitionRange, 400000);
    EXPECT_EQ(f.frontPanelOffset, 7);
    EXPECT_EQ(f.noiseFloorLevel, 65000);
    EXPECT_EQ(f.noiseFloorScale, 1000);
    EXPECT_EQ(f.powerOffsetFirstPoint, 3);
    EXPECT_EQ(f.lossThreshold, 50);
    EXPECT_EQ(f.reflectanceThreshold, 65000);
    EXPECT_EQ(f.endThreshold, 6000);

    ASSERT_EQ(b.keyEvents.events.size(), 3u);
    EXPECT_EQ(b.keyEvents.events[1].number, 2);
    EXPECT_EQ(b.keyEvents.events[1].time, 2000);
    EXPECT_EQ(b.keyEvents.events[1].attenuation, 330);
    EXPECT_EQ(b.keyEvents.events[1].loss, 791);
    EXPECT_EQ(b.keyEvents.events[1].reflectance, -38454);
    EXPECT_EQ(b.keyEvents.events[1].code, "1F9999");
    EXPECT_EQ(b.keyEvents.events[1].technique, "LS");
    EXPECT_EQ(b.keyEvents.events[0].comment, "Link Start");
    EXPECT_EQ(b.keyEvents.events[2].comment, "end");
    EXPECT_EQ(b.keyEvents.endToEndLoss, 2564);
    EXPECT_EQ(b.keyEvents.endToEndMarkers[1], 4475);
    EXPECT_EQ(b.keyEvents.returnLoss, 30279);
    EXPECT_EQ(b.keyEvents.returnLossMarkers[1], 4475);

    ASSERT_EQ(b.dataPts.traces.size(), 1u);
    EXPECT_EQ(b.dataPts.traces[0].points, issue1Samples(200));

    const ChecksumCheck check = checkSorChecksum(bytesOf(file), static_cast<size_t>(file.size()));
    EXPECT_TRUE(check.matches());
    EXPECT_EQ(b.checksum, check.stored);
}

TEST(SorIssue1, RecordAndTraceAsForIssue2)
{
    const SorRecord r = readRecord(issue1File(issue1Blocks()));
    EXPECT_EQ(r.wavelengthNm, 1310);
    EXPECT_EQ(r.pulseWidthNs, 100);
    EXPECT_NEAR(r.sampleSpacing, 0.4997, 0.0001); // 2.5 ns at n = 1.5
    EXPECT_EQ(r.rangeMetres, 7994);               // 400000 x 100 ps at n = 1.5
    ASSERT_EQ(r.events.size(), 3u);
    EXPECT_EQ(r.events[2].code, "1E9999");
    EXPECT_TRUE(r.infoTexts.contains(QStringLiteral("CableID=CABLE-1")));
    EXPECT_TRUE(r.infoTexts.contains(QStringLiteral("Operator=SUZY")));

    TraceData trace;
    loadTrace(r, trace, nullptr);
    EXPECT_EQ(trace.sampleCount, 200u);
    ASSERT_EQ(trace.events.size(), 3u);
    EXPECT_NEAR(trace.events[1].distance, 39.97, 0.01); // 200 ns at n = 1.5
    EXPECT_NEAR(trace.events[1].index, 79, 1);
    EXPECT_FLOAT_EQ(trace.events[1].loss, 0.791f);
    EXPECT_EQ(trace.cableId, QStringLiteral("CABLE-1"));
}

// Some instruments store the wavelength in whole nm; both read as the same 1310 nm.
TEST(SorIssue1, WavelengthInWholeOrTenthsOfNm)
{
    for (uint16_t stored : {uint16_t(1310), uint16_t(13100)}) {
        std::vector<Issue1Block> blocks = issue1Blocks();
        blocks[2].body = issue1FxdParams(200, stored);
        const QByteArray file = issue1File(blocks);
        SorBlocks b;
        ASSERT_EQ(parseSorBytes(bytesOf(file), static_cast<size_t>(file.size()), b), SorResult::Done);
        EXPECT_EQ(b.fxdParams.actualWavelength, 13100) << stored;
        EXPECT_EQ(readRecord(file).wavelengthNm, 1310) << stored;
    }
}

// Block order varies between instruments, and some write no KeyEvents block.
TEST(SorIssue1, BlockOrderAndAbsentBlocks)
{
    const std::vector<Issue1Block> usual = issue1Blocks();
    const auto reordered = [&](std::initializer_list<int> order) {
        std::vector<Issue1Block> out;
        for (int i : order)
            out.push_back(usual[static_cast<size_t>(i)]);
        return out;
    };
    struct Case {
        const char *name;
        std::vector<Issue1Block> blocks;
        size_t events;
    } cases[] = {
        {"usual", usual, 3},
        {"data first", reordered({3, 0, 1, 2, 4, 5, 6}), 3},
        {"events before params", reordered({4, 5, 2, 1, 0, 3, 6}), 3},
        {"no key events", without(usual, "KeyEvents"), 0},
        {"no key events, no checksum", without(without(usual, "KeyEvents"), "Cksum"), 0},
    };
    for (const Case &c : cases) {
        const SorRecord r = readRecord(issue1File(c.blocks));
        EXPECT_EQ(r.events.size(), c.events) << c.name;
        ASSERT_EQ(r.traces.size(), 1u) << c.name;
        EXPECT_EQ(r.traces[0].points, issue1Samples(200)) << c.name;
        EXPECT_EQ(r.pulseWidthNs, 100) << c.name;
        EXPECT_EQ(r.wavelengthNm, 1310) << c.name;
        TraceData trace;
        loadTrace(r, trace, nullptr);
        EXPECT_EQ(trace.sampleCount, 200u) << c.name;
    }
}

// A block cut short (its directory size agreeing) keeps the fields that fit; a file cut short
// (the directory promising more than there is) is refused; neither reads outside the bytes.
TEST(SorIssue1, TruncatedBlocksAndFiles)
{
    const std::vector<Issue1Block> usual = issue1Blocks(20);
    for (size_t index : {size_t(0), size_t(2), size_t(3), size_t(4)}) {
        const QByteArray full = usual[index].body;
        for (qsizetype n = 0; n <= full.size(); ++n) {
            std::vector<Issue1Block> blocks = usual;
            blocks[index].body = full.left(n);
            if (n == 0 && blocks[index].name == "Cksum")
                continue;
            CSorFileBase sor;
            SorRecord r;
            const QByteArray file = issue1File(blocks);
            ASSERT_EQ(sor.ReadFromMemory(bytesOf(file), static_cast<size_t>(file.size()), r), SorResult::Done)
                << usual[index].name.constData() << " cut to " << n;
        }
    }

    // KeyEvents cut inside its second event: the first one stays.
    std::vector<Issue1Block> blocks = usual;
    blocks[4].body = blocks[4].body.left(2 + 22 + 11 + 10);
    EXPECT_EQ(readRecord(issue1File(blocks)).events.size(), 1u);
    // DataPts cut inside its points: the points that are there.
    blocks = usual;
    blocks[3].body = blocks[3].body.left(12 + 2 * 7 + 1);
    const SorRecord cut = readRecord(issue1File(blocks));
    ASSERT_EQ(cut.traces.size(), 1u);
    EXPECT_EQ(cut.traces[0].points.size(), 7u);

    const QByteArray file = issue1File(usual);
    for (qsizetype n = 0; n < file.size(); ++n)
        readRecord(file.left(n), SorResult::NotSor);
}

TEST(SorIssue1, OnlyMapRevisions100To199AreIssue1)
{
    QByteArray file = issue1File(issue1Blocks());
    for (uint16_t revision : {uint16_t(99), uint16_t(200), uint16_t(0), uint16_t(0x614D)}) {
        putU16(file, 0, revision);
        readRecord(file, SorResult::NotSor);
    }
    putU16(file, 0, 199);
    readRecord(file);
    EXPECT_EQ(sorLayoutIssue(bytesOf(file), 2), 1);
    EXPECT_EQ(sorLayoutIssue(bytesOf(file), 1), 0);
    const QByteArray two = sampleFile();
    EXPECT_EQ(sorLayoutIssue(bytesOf(two), static_cast<size_t>(two.size())), 2);
}

// Editing the fibre information rewrites the file as issue 2 with every block it had.
TEST(SorIssue1, FibreInformationEditWritesIssue2KeepingEveryBlock)
{
    const std::vector<Issue1Block> blocks = issue1Blocks();
    const QByteArray in = issue1File(blocks);
    QByteArray out;
    ASSERT_EQ(rewriteFibreInfoBytes(in, QStringLiteral("NEW CABLE"), QStringLiteral("F-2"), 655,
                                    QStringLiteral("Zoë"), out),
              SorResult::Done);
    ASSERT_EQ(sorLayoutIssue(bytesOf(out), static_cast<size_t>(out.size())), 2);
    EXPECT_TRUE(checkSorChecksum(bytesOf(out), static_cast<size_t>(out.size())).matches());

    SorBlocks before;
    SorBlocks after;
    ASSERT_EQ(parseSorBytes(bytesOf(in), static_cast<size_t>(in.size()), before), SorResult::Done);
    ASSERT_EQ(parseSorBytes(bytesOf(out), static_cast<size_t>(out.size()), after), SorResult::Done);
    EXPECT_EQ(after.genParams.cableId, "NEW CABLE");
    EXPECT_EQ(after.genParams.fiberId, "F-2");
    EXPECT_EQ(after.genParams.fiberType, 655);
    EXPECT_EQ(after.genParams.operatorName, QStringLiteral("Zoë").toUtf8());
    EXPECT_EQ(after.genParams.comment, before.genParams.comment);
    EXPECT_EQ(after.genParams.userOffset, before.genParams.userOffset);
    EXPECT_EQ(after.supParams.supplier, before.supParams.supplier);
    EXPECT_EQ(after.fxdParams.actualWavelength, before.fxdParams.actualWavelength);
    EXPECT_EQ(after.fxdParams.acquisitionRange, before.fxdParams.acquisitionRange);
    EXPECT_EQ(after.fxdParams.endThreshold, before.fxdParams.endThreshold);
    ASSERT_EQ(after.keyEvents.events.size(), before.keyEvents.events.size());
    for (size_t i = 0; i < after.keyEvents.events.size(); ++i) {
        EXPECT_EQ(after.keyEvents.events[i].time, before.keyEvents.events[i].time);
        EXPECT_EQ(after.keyEvents.events[i].comment, before.keyEvents.events[i].comment);
    }
    EXPECT_EQ(after.keyEvents.returnLoss, before.keyEvents.returnLoss);
    EXPECT_EQ(after.dataPts.traces[0].points, before.dataPts.traces[0].points);

    // The directory names every block of the original in its order, the checksum last; the
    // vendor block's bytes follow its name unchanged.
    std::vector<QByteArray> names;
    for (const SorMapEntry &e : after.map.entries)
        names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<QByteArray>{"GenParams", "SupParams", "FxdParams", "DataPts", "KeyEvents",
                                              "Noyes2", "Cksum"}));
    EXPECT_EQ(after.map.entries[5].revision, 202);
    EXPECT_EQ(after.map.entries[5].size, 7u + 16u);
    const QByteArray vendor = QByteArray("Noyes2", 7) + blocks[5].body;
    EXPECT_TRUE(out.contains(vendor));
}

// As for issue 2, a file without GenParams has no fibre information to edit.
TEST(SorIssue1, EditWithoutGenParamsIsRefused)
{
    std::vector<Issue1Block> blocks = issue1Blocks();
    blocks[0].name = "GenHarams"; // selects no known block
    const QByteArray in = issue1File(blocks);
    readRecord(in);
    QByteArray out("untouched");
    EXPECT_EQ(rewriteFibreInfoBytes(in, QStringLiteral("C"), QStringLiteral("F"), 652, QStringLiteral("O"), out),
              SorResult::NotSor);
    EXPECT_EQ(out, "untouched");
}

TEST(SorIssue1, EditOfAnIssue1FileOnDiskReplacesIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = QDir(dir.path()).filePath(QStringLiteral("old.sor"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(issue1File(issue1Blocks()));
    f.close();
    EXPECT_EQ(sorFileIssue(path), 1);
    ASSERT_EQ(rewriteFibreInfo(path, QStringLiteral("C"), QStringLiteral("F"), 652, QStringLiteral("Op")),
              SorResult::Done);
    EXPECT_EQ(sorFileIssue(path), 2);
    CSorFileBase sor;
    SorRecord r;
    ASSERT_EQ(sor.ReadFile(path, r), SorResult::Done);
    EXPECT_EQ(r.events.size(), 3u);
    EXPECT_TRUE(r.infoTexts.contains(QStringLiteral("CableID=C")));
    EXPECT_EQ(sorFileIssue(QDir(dir.path()).filePath(QStringLiteral("absent.sor"))), 0);
}
