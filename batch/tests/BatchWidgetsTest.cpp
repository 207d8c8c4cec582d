#include "batch/CDlgThumbnail.h"
#include "testsupport/TestApp.h"
#include "trace/TraceData.h"

#include <gtest/gtest.h>

namespace {

// A falling trace of n samples from 40 dB to 10 dB.
TraceData fallingTrace(uint32_t n)
{
    TraceData t;
    t.samples.resize(n);
    for (uint32_t i = 0; i < n; ++i)
        t.samples[i] = static_cast<uint16_t>(65535 - 40000 + 30000.0 * i / n);
    t.sampleCount = n;
    t.colour = 0x0000FF; // red
    return t;
}

bool hasColour(const QImage &image, const QColor &colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

} // namespace

TEST(OverviewPanel, DrawsTheTraceAndTheViewWindow)
{
    testApp();
    CDlgThumbnail panel;
    panel.resize(190, 66);
    panel.setBackground(0x400000); // dark blue
    const TraceData trace = fallingTrace(8000);
    panel.setTrace(&trace);
    EXPECT_EQ(panel.points().size(), 380u);
    panel.setVerticalRange(50);
    panel.setViewWindow({true, 0.0f, 5000.0f, 0.0f, 25.0f, 10000.0f});

    const QImage shot = panel.grab().toImage();
    EXPECT_EQ(shot.pixelColor(100, 20), QColor(0, 0, 0x40)) << "background";
    EXPECT_TRUE(hasColour(shot, Qt::red)) << "the trace";
    EXPECT_EQ(shot.pixelColor(0, 50), QColor(0, 0xFF, 0)) << "left edge of the view window";
    EXPECT_EQ(shot.pixelColor(94, 50), QColor(0, 0xFF, 0)) << "right edge of the view window";
    EXPECT_EQ(shot.pixelColor(0, 10), QColor(Qt::black)) << "border while a trace is shown";
}

TEST(OverviewPanel, NoTraceShowsOnlyTheBackground)
{
    testApp();
    CDlgThumbnail panel;
    panel.resize(190, 66);
    panel.setBackground(0x400000);
    panel.setViewWindow({true, 0.0f, 5000.0f, 0.0f, 25.0f, 10000.0f});
    const TraceData trace = fallingTrace(8000);
    panel.setTrace(&trace);
    panel.setTrace(nullptr);
    EXPECT_TRUE(panel.points().empty());
    const QImage shot = panel.grab().toImage();
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            ASSERT_EQ(shot.pixelColor(x, y), QColor(0, 0, 0x40)) << x << "," << y;
}

TEST(OverviewPanel, ResizingRebuildsThePoints)
{
    testApp();
    CDlgThumbnail panel;
    panel.resize(190, 66);
    const TraceData trace = fallingTrace(8000);
    panel.setTrace(&trace);
    ASSERT_EQ(panel.points().size(), 380u);
    panel.resize(400, 66);
    panel.grab();
    EXPECT_EQ(panel.points().size(), 800u) << "one pair per pixel column of the new width";
}
