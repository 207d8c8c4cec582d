#include "view/COtdrTrace.h"
#include "view/TraceExport.h"

#include "testsupport/CommaDecimalLocale.h"

#include <QApplication>
#include <QList>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

void ensureApp()
{
    static int argc = 1;
    static char name[] = "view_tests";
    static char *argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

// A falling trace: raw samples 5000 + 7 i, i.e. levels 60.535 dB less 0.007 dB a sample.
TraceCurve fallingCurve(int n, float spacing, float userOffset)
{
    TraceCurve c;
    c.sampleCount = n;
    c.spacing = spacing;
    c.length = spacing * static_cast<float>(n);
    c.userOffset = userOffset;
    for (int i = 0; i < n; ++i)
        c.levels.push_back(static_cast<float>((65535.0 - (5000 + 7 * i)) / 1000.0 - 30.0));
    c.markers = {{0, 0.0f}, {n / 2, spacing * static_cast<float>(n / 2)}};
    return c;
}

QList<QByteArray> rowsOf(const QByteArray &csv)
{
    QList<QByteArray> rows = csv.split('\n');
    if (!rows.isEmpty() && rows.back().isEmpty())
        rows.removeLast();
    return rows;
}

} // namespace

// One row per sample, the spacing between rows and the level steps as the samples have them,
// the user offset taken off, full stops whatever the locale.
TEST(TracePointsCsv, OneRowPerSampleAsTheViewDrawsIt)
{
    CommaDecimalLocale comma;
    const TraceCurve curve = fallingCurve(1000, 2.5f, 100.0f);
    const QList<QByteArray> rows = rowsOf(tracePointsCsv(curve));
    ASSERT_EQ(rows.size(), 1001);
    EXPECT_EQ(rows[0], "distance_km,level_db");
    EXPECT_EQ(rows[1], "-0.100000,30.535");
    EXPECT_EQ(rows[41], "0.000000,30.255");
    EXPECT_EQ(rows[1000], "2.397500,23.542");
    for (int i = 2; i <= 1000; ++i) {
        const QList<QByteArray> now = rows[i].split(',');
        const QList<QByteArray> before = rows[i - 1].split(',');
        ASSERT_EQ(now.size(), 2);
        EXPECT_NEAR(now[0].toDouble() - before[0].toDouble(), 0.0025, 1e-6) << i;
        EXPECT_NEAR(before[1].toDouble() - now[1].toDouble(), 0.007, 1e-6) << i;
    }
}

TEST(TracePointsCsv, CountFollowsTheDrawnSamples)
{
    TraceCurve curve = fallingCurve(10, 1.0f, 0.0f);
    curve.sampleCount = 4; // fewer samples drawn than levels held
    EXPECT_EQ(rowsOf(tracePointsCsv(curve)).size(), 5);
    curve.sampleCount = 50; // never more rows than levels
    EXPECT_EQ(rowsOf(tracePointsCsv(curve)).size(), 11);
    EXPECT_EQ(tracePointsCsv(TraceCurve{}), "distance_km,level_db\n");
}

// The picture at the view's own size is what the view paints; larger sizes lay the same
// window out on more pixels.
TEST(TracePicture, IsTheViewAsShownAndScales)
{
    ensureApp();
    COtdrTrace view;
    ViewSettings settings;
    settings.colors.trace = {0x0000FF, 0x00FF00, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000};
    settings.colors.background = 0x202020;
    settings.colors.grid = 0x808080;
    settings.colors.eventMarks = 0xFF00FF;
    settings.colors.cursor = 0xFFFF00;
    settings.grid = true;
    view.setViewSettings(settings);
    view.resize(700, 450);
    view.AddCurve(fallingCurve(2000, 2.0f, 0.0f));
    view.setCursorsVisible(true);
    view.state().mousePoint = QPoint(5000, 5000); // no drag arrows beside a cursor

    const QImage shown = view.renderToImage();
    const QImage picture = renderTracePicture(view.state(), view.viewSettings(), 0, shown.size());
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture == shown);

    const QImage twice = renderTracePicture(view.state(), view.viewSettings(), 0, shown.size() * 2);
    ASSERT_EQ(twice.size(), shown.size() * 2);
    const QColor currentCurve(225, 225, 0); // the selected trace's colour
    std::vector<int> columns;
    for (int x = 0; x < twice.width(); ++x) {
        for (int y = 0; y < twice.height(); ++y) {
            if (twice.pixelColor(x, y) == currentCurve) {
                columns.push_back(x);
                break;
            }
        }
    }
    // The curve runs across the whole plot, as in the view.
    EXPECT_GT(columns.size(), static_cast<size_t>(twice.width() * 9 / 10));
    EXPECT_EQ(view.state().clientRect.size(), shown.size()) << "the view itself is left as it was";
    EXPECT_TRUE(renderTracePicture(view.state(), settings, 0, QSize(0, 10)).isNull());
}
