// sortool dump and resave, run as the executable they are.

#include "trace/CSorFileBase.h"
#include "trace/tests/SorTestFiles.h"
#include "testsupport/SortoolRun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace sortest;

namespace {

using testsupport::ToolRun;

ToolRun run(const QStringList &args) { return testsupport::runSortool(args); }

class Sortool : public testing::Test {
protected:
    QTemporaryDir dir;
    QString good;
    QString bad;

    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(testsupport::sortoolPath())) << testsupport::sortoolPath().toStdString();
        good = dir.filePath("good.sor");
        bad = dir.filePath("bad.sor");
        QFile g(good);
        ASSERT_TRUE(g.open(QIODevice::WriteOnly));
        g.write(sampleFile());
        QFile b(bad);
        ASSERT_TRUE(b.open(QIODevice::WriteOnly));
        b.write(sampleFile() + "!");
    }
};

} // namespace

TEST_F(Sortool, DumpOneFile)
{
    const ToolRun r = run({"dump", "--no-analysis", good});
    ASSERT_EQ(r.exitCode, 0);
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(r.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    EXPECT_EQ(o.value("file").toString(), good);
    EXPECT_EQ(o.value("result").toInt(), 1);
    EXPECT_TRUE(o.value("checksumMatches").toBool());

    const QJsonObject record = o.value("record").toObject();
    EXPECT_EQ(record.value("wavelengthNm").toInt(), 1550);
    EXPECT_EQ(record.value("refractiveIndex").toDouble(), 1.5);
    EXPECT_EQ(record.value("groupIndexRaw").toInt(), 150000);
    EXPECT_EQ(record.value("timestamp").toInteger(), 1700000000);
    const QJsonArray traces = record.value("traces").toArray();
    ASSERT_EQ(traces.size(), 2);
    EXPECT_EQ(traces[1].toObject().value("scaleFactor").toInt(), 1470);
    EXPECT_FALSE(traces[0].toObject().contains("points")) << "points only with --points";
    const QJsonObject event = record.value("events").toArray()[1].toObject();
    EXPECT_EQ(event.value("code").toString(), "0F9999");
    EXPECT_EQ(event.value("comment").toString(), "note");
    EXPECT_EQ(record.value("infoTexts").toArray()[0].toString(), "Operator=Ana");

    const QJsonObject trace = o.value("trace").toObject();
    EXPECT_EQ(trace.value("sampleCount").toInt(), 8);
    EXPECT_EQ(trace.value("cableId").toString(), "CABLE-7");
    EXPECT_EQ(trace.value("colour").toInteger(), 0xFF0000);
    EXPECT_FALSE(trace.contains("samples"));
    const QJsonArray events = trace.value("events").toArray();
    ASSERT_EQ(events.size(), 2);
    EXPECT_EQ(events[0].toObject().value("codeLetter").toString(), "F");
    EXPECT_EQ(static_cast<float>(events[0].toObject().value("loss").toDouble()), -0.12f)
        << "floats print with enough digits to round-trip";
}

TEST_F(Sortool, DumpSeveralFilesAndPoints)
{
    const ToolRun r = run({"dump", "--points", "--no-analysis", good, bad, dir.filePath("missing.sor")});
    EXPECT_EQ(r.exitCode, 1) << "not every file gave 1";
    const QJsonArray all = QJsonDocument::fromJson(r.out).array();
    ASSERT_EQ(all.size(), 3);
    const QJsonArray points =
        all[0].toObject().value("record").toObject().value("traces").toArray()[0].toObject().value("points").toArray();
    ASSERT_EQ(points.size(), 8);
    EXPECT_EQ(points[1].toInt(), 60000);
    EXPECT_EQ(all[1].toObject().value("result").toInt(), 5);
    EXPECT_FALSE(all[1].toObject().contains("record"));
    EXPECT_EQ(all[2].toObject().value("result").toInt(), 2);
}

TEST_F(Sortool, ResaveWritesWhatTheSaveCommandWrites)
{
    const QString out = dir.filePath("out.sor");
    ASSERT_EQ(run({"resave", "--no-analysis", good, out}).exitCode, 0);
    const ToolRun r = run({"dump", "--no-analysis", out});
    ASSERT_EQ(r.exitCode, 0);
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    EXPECT_TRUE(o.value("checksumMatches").toBool());
    const QJsonObject record = o.value("record").toObject();
    EXPECT_EQ(record.value("traces").toArray().size(), 1);
    EXPECT_EQ(record.value("groupIndexRaw").toInt(), 150000);
    const QJsonArray texts = record.value("infoTexts").toArray();
    EXPECT_TRUE(texts.contains(QJsonValue("CursorA=100"))) << "the trace's own cursor values";
    EXPECT_TRUE(texts.contains(QJsonValue("supplier=Vorn-Alix")));

    EXPECT_EQ(run({"resave", "--no-analysis", bad, dir.filePath("x.sor")}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("x.sor")));
}

// A file as other instruments write it: comments that hold words, "not measured" markers, the
// acquisition range as a time only, the wavelength in whole nm.
TEST_F(Sortool, DumpShowsFilesOfOtherInstrumentsAsATechnicianReadsThem)
{
    SorBlocks b = sampleBlocks();
    b.fxdParams.pulses = {{100, 500000, 1000}};
    b.fxdParams.actualWavelength = 1310;
    b.fxdParams.acquisitionRangeDistance = 0;
    b.fxdParams.acquisitionRange = 125086; // 2500 m at n = 1.5, within 3 times the 999 m acquired
    SorTrace t;
    t.scaleFactor = 1000;
    for (int i = 0; i < 1000; ++i)
        t.points.push_back(static_cast<uint16_t>(20000 + 30 * i)); // a fibre, falling 0.03 dB a sample
    t.pointCount = 1000;
    b.dataPts.traces = {t};
    b.keyEvents.events[0].comment = " ";
    b.keyEvents.events[1].time = 5000; // about 100 m, sample 99
    b.keyEvents.events[1].comment = "Fin de fibre";
    b.keyEvents.events[1].loss = 32767;
    b.keyEvents.events[1].reflectance = INT32_MIN;
    b.keyEvents.endToEndLoss = 0; // no end-to-end loss stored: the totals are the library's alone
    b.keyEvents.returnLoss = 27345;
    const QString path = dir.filePath("other.sor");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(writeSorBytes(b));
    f.close();

    for (const bool library : {true, false}) {
        const ToolRun r = run(library ? QStringList{"dump", path} : QStringList{"dump", "--no-analysis", path});
        ASSERT_EQ(r.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        const QJsonObject trace = o.value("trace").toObject();
        EXPECT_EQ(trace.value("rangeMetres").toInt(), 2500) << library;
        EXPECT_EQ(trace.value("wavelengthNm").toInt(), 1310) << library;
        EXPECT_NEAR(trace.value("orlDb").toDouble(), 27.345, 1e-4) << library;
        EXPECT_TRUE(trace.value("endToEndLossDb").isNull()) << library;
        const QJsonObject last = trace.value("events").toArray()[1].toObject();
        EXPECT_EQ(last.value("loss").toDouble(), 0.0) << library;
        EXPECT_EQ(last.value("reflectance").toDouble(), 0.0) << library;
        if (library)
            EXPECT_NE(last.value("totalLoss").toDouble(), 0.0) << "the library computed it";
        else
            EXPECT_EQ(last.value("totalLoss").toDouble(), 0.0);
        // The record keeps the values as stored.
        EXPECT_EQ(o.value("record").toObject().value("events").toArray()[1].toObject().value("reflectance").toInteger(),
                  INT32_MIN);
    }
}
