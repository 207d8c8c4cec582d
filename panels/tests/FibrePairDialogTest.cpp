// The Bidirectional and Wavelengths windows on generated traces of one fibre, and the batch
// print's pairing of bidirectional pages.

#include "panels/CDlgFibrePair.h"
#include "panels/MessageBox.h"
#include "testsupport/TestApp.h"
#include "textres/TextResources.h"
#include "trace/TraceSet.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Ev {
    float distance; // m
    float loss;     // dB
    float reflectance;
};

// A 20 km fibre between North and South: a splice that gains 0.12 dB seen from North and
// loses 0.52 dB from South, a connector, and a 1550 nm bend at 16 km; the backscatter falls
// 0.2 dB/km and steps down by each event's loss.
TraceData direction(int wavelength, bool fromNorth)
{
    const float bend = wavelength > 1400 ? 0.70f : 0.05f;
    const std::vector<Ev> events =
        fromNorth ? std::vector<Ev>{{0.0f, 0.0f, -45.0f}, {9000.0f, -0.12f, 0.0f}, {12000.0f, 0.35f, -50.0f}, {16000.0f, bend, 0.0f}}
                  : std::vector<Ev>{{0.0f, 0.0f, -45.0f}, {4000.0f, bend, 0.0f}, {8000.0f, 0.33f, -47.0f}, {11000.0f, 0.52f, 0.0f}};
    TraceData t;
    t.wavelengthNm = wavelength;
    t.pulseWidthNs = 100;
    t.refractiveIndex = 1.4682f;
    t.sampleSpacing = 1.25f;
    t.sampleCount = 20000;
    t.fibreLength = 25000.0f;
    for (uint32_t k = 0; k < t.sampleCount; ++k) {
        const float d = sampleDistance(k, t.sampleSpacing);
        double level = 42.0 - 0.0002 * d;
        for (const Ev &e : events)
            level -= d > e.distance ? e.loss : 0.0f;
        if (d > 20000.0f)
            level = 12.0 + (k % 7) * 0.3;
        t.samples.push_back(static_cast<uint16_t>(65535 - static_cast<int>(level * 1000.0)));
    }
    for (const Ev &e : events) {
        TraceEvent x;
        x.distance = e.distance;
        x.index = static_cast<int32_t>(e.distance / t.sampleSpacing);
        x.loss = e.loss;
        x.reflectance = e.reflectance;
        x.typeDigit = e.reflectance != 0.0f ? 1 : 0;
        x.codeLetter = 'F';
        t.events.push_back(x);
    }
    TraceEvent end;
    end.distance = 20000.0f;
    end.index = 16000;
    end.codeLetter = 'E';
    end.typeDigit = 1;
    end.reflectance = -14.0f;
    end.totalLoss = fromNorth ? 4.9f : 5.3f;
    t.events.push_back(end);
    t.cableId = QStringLiteral("CBL-0042");
    t.fiberId = QStringLiteral("F012");
    t.locationA = QString::fromLatin1(fromNorth ? "North" : "South");
    t.locationB = QString::fromLatin1(fromNorth ? "South" : "North");
    return t;
}

class FibrePairDialog : public testing::Test {
protected:
    QTemporaryDir dir;
    TraceSet traces;
    ReportEnvironment env;

    void SetUp() override
    {
        testApp();
        loadTextLibrary(QString::fromLocal8Bit(qgetenv("LUMIDOR_BIN_DIR")));
        env.labels = loadReportLabels(loadText);
        env.fontTable = startupReportFontTable();
        // Slot 0: 1550 from North (current), 1: 1310 from North, 2: 1550 from South.
        const std::pair<int, bool> files[] = {{1550, true}, {1310, true}, {1550, false}};
        for (int i = 0; i < 3; ++i) {
            const QString path = dir.filePath(QStringLiteral("f%1.sor").arg(i));
            TraceSlot &slot = traces.slots[static_cast<size_t>(i)];
            *slot.trace = direction(files[i].first, files[i].second);
            slot.loaded = 1;
            slot.filePath = path;
            slot.fileName = QStringLiteral("f%1.sor").arg(i);
        }
        traces.loadedCount = 3;
        traces.currentSlot = 0;
    }

    // Saves a picture of the window when LUMIDOR_SHOT_DIR names a folder (for a look by eye).
    static void shoot(QWidget &w, const char *name)
    {
        const QString folder = qEnvironmentVariable("LUMIDOR_SHOT_DIR");
        if (!folder.isEmpty())
            w.grab().save(folder + QLatin1Char('/') + QString::fromLatin1(name));
    }
};

TEST_F(FibrePairDialog, BidirectionalWindowFindsTheOtherDirectionAndShowsTheMeans)
{
    EXPECT_EQ(CDlgFibrePair::bestSecondSlot(PairPageKind::Bidirectional, traces), 2);
    CDlgFibrePair dialog(PairPageKind::Bidirectional, traces, env, &loadText);
    dialog.show();
    EXPECT_EQ(dialog.secondSlot(), 2);
    const auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("pairEvents"));
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->horizontalHeaderItem(4)->text(), QStringLiteral("Mean loss (dB)"));
    EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("-0.120"));
    EXPECT_EQ(table->item(0, 3)->text(), QStringLiteral("0.520"));
    EXPECT_EQ(table->item(0, 4)->text(), QStringLiteral("0.200"));
    EXPECT_EQ(table->item(1, 5)->text(), QStringLiteral("-47.000"));
    EXPECT_TRUE(dialog.findChild<QLabel *>(QStringLiteral("pairTotals"))->text().contains(QStringLiteral("Mean total loss: 5.100 dB")));
    shoot(dialog, "bidirectional-window.png");

    const QString pdf = dir.filePath("pair.pdf");
    EXPECT_TRUE(dialog.exportPdfTo(pdf));
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().count("/Type /Page\n"), 1);
}

TEST_F(FibrePairDialog, WavelengthsWindowMarksTheBend)
{
    EXPECT_EQ(CDlgFibrePair::bestSecondSlot(PairPageKind::Wavelengths, traces), 1);
    CDlgFibrePair dialog(PairPageKind::Wavelengths, traces, env, &loadText);
    dialog.show();
    const PairPageContent &c = dialog.content();
    ASSERT_EQ(c.rows.size(), 3u);
    EXPECT_EQ(c.columns[2], QStringLiteral("Loss 1310 nm (dB)"));
    EXPECT_EQ(c.marked, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(c.rows[2][4], QStringLiteral("0.650"));
    EXPECT_EQ(c.rows[2][5], QStringLiteral("Macrobend"));
    shoot(dialog, "wavelengths-window.png");

    // Choosing the other direction at one wavelength: refused, nothing in the table.
    dialog.setSecondSlot(2);
    EXPECT_TRUE(dialog.content().refused);
    EXPECT_FALSE(dialog.findChild<QLabel *>(QStringLiteral("pairProblem"))->text().isEmpty());
    EXPECT_EQ(dialog.findChild<QTableWidget *>(QStringLiteral("pairEvents"))->rowCount(), 0);
}

TEST_F(FibrePairDialog, BatchPairsTheTwoDirectionsAndKeepsTheRest)
{
    PrintJob job = batchPrintJob(QStringLiteral("1"), {&traces.slots[1], &traces.slots[2], &traces.slots[0]});
    pairBidirectionalSlots(job);
    ASSERT_EQ(job.pairPages.size(), 1u);
    // The job's first file (slot 1) was launched at North: North is the cable's A end.
    EXPECT_EQ(job.pairPages[0].first, &traces.slots[0]);
    EXPECT_EQ(job.pairPages[0].second, &traces.slots[2]);
    EXPECT_EQ(job.slots, (std::vector<const TraceSlot *>{&traces.slots[1]}));
    EXPECT_EQ(job.count, 1);
    EXPECT_EQ(pageCount(job), 2);
}

} // namespace
