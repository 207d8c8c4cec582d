#include "batch/OverviewPoints.h"

#include <gtest/gtest.h>

namespace {

int32_t expectedY(uint16_t s, int height)
{
    const float h = static_cast<float>(height);
    return static_cast<int32_t>(h / 50000.0f * static_cast<float>(s) + (h - h * 1.3106f));
}

} // namespace

TEST(OverviewPoints, TwoPointsPerColumn)
{
    std::vector<uint16_t> samples(8000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<uint16_t>(20000 + (i * 7919) % 40000);
    const std::vector<ScreenPoint> points = overviewPoints(samples, 8000, 400, 66);
    ASSERT_EQ(points.size(), 800u);
    for (int j = 0; j < 400; ++j) {
        EXPECT_EQ(points[2 * j].x, j);
        EXPECT_EQ(points[2 * j + 1].x, j);
    }
}

TEST(OverviewPoints, MinimumAndMaximumInSampleOrder)
{
    // Column 0 covers samples 0..99, column 1 samples 100..199 (200 samples, 2 columns).
    std::vector<uint16_t> samples(200, 40000);
    samples[10] = 60000; // maximum first in column 0
    samples[50] = 20000;
    samples[120] = 25000; // minimum first in column 1
    samples[180] = 55000;
    samples[190] = 55000; // an equal maximum later: the first one counts
    const int h = 66;
    const std::vector<ScreenPoint> points = overviewPoints(samples, 200, 2, h);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0].y, expectedY(60000, h));
    EXPECT_EQ(points[1].y, expectedY(20000, h));
    EXPECT_EQ(points[2].y, expectedY(25000, h));
    EXPECT_EQ(points[3].y, expectedY(55000, h));
}

TEST(OverviewPoints, LevelScale)
{
    std::vector<uint16_t> samples(100, 65535);
    samples[0] = 15535;
    const std::vector<ScreenPoint> points = overviewPoints(samples, 100, 1, 66);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].y, 0) << "50 dB at the top";
    EXPECT_EQ(points[1].y, 66) << "0 dB at the bottom";
}

TEST(OverviewPoints, WiderRangeKeepsHighTracesInsideAndMatchesTheFrame)
{
    // Levels of 60 dB and 30 dB with the vertical extent at 75 dB.
    std::vector<uint16_t> samples(100, 65535 - 30000);
    samples[0] = 65535 - 60000;
    const std::vector<ScreenPoint> points = overviewPoints(samples, 100, 1, 100, 75);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].y, 20) << "60 dB lies inside a 75 dB panel";
    const OverviewWindow window{true, 0.0f, 100.0f, 30.0f, 75.0f, 100.0f};
    EXPECT_EQ(points[1].y, viewWindowRect(window, 100, 1, 100, 75).bottom() + 1)
        << "a level maps to the same row for the trace and for the frame";
    EXPECT_EQ(overviewPoints(samples, 100, 1, 100, 0)[1].y, overviewPoints(samples, 100, 1, 100, 50)[1].y)
        << "no range yet: the 50 dB scale";
}

TEST(OverviewPoints, NothingForShortTracesOrEmptyPanels)
{
    const std::vector<uint16_t> samples(99, 30000);
    EXPECT_TRUE(overviewPoints(samples, 99, 100, 50).empty());
    const std::vector<uint16_t> enough(1000, 30000);
    EXPECT_TRUE(overviewPoints(enough, 1000, 0, 50).empty());
    EXPECT_TRUE(overviewPoints(enough, 1000, 100, 0).empty());
}

TEST(OverviewPoints, CountBeyondTheSamplesIsNotRead)
{
    // A count that claims more samples than are held uses only those held.
    const std::vector<uint16_t> samples(150, 30000);
    const std::vector<ScreenPoint> points = overviewPoints(samples, 100000, 50, 66);
    ASSERT_EQ(points.size(), 100u);
    for (const ScreenPoint &p : points)
        EXPECT_EQ(p.y, expectedY(30000, 66));
}

TEST(OverviewPoints, MoreColumnsThanSamples)
{
    std::vector<uint16_t> samples(100);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<uint16_t>(20000 + 400 * i);
    const std::vector<ScreenPoint> points = overviewPoints(samples, 100, 400, 66);
    ASSERT_EQ(points.size(), 800u);
    for (const ScreenPoint &p : points) {
        EXPECT_GE(p.y, expectedY(20000, 66));
        EXPECT_LE(p.y, expectedY(20000 + 400 * 99, 66));
    }
    EXPECT_EQ(points.back().y, expectedY(20000 + 400 * 99, 66)) << "the last column ends on the last sample";
}

TEST(OverviewPoints, ViewWindowRectangle)
{
    OverviewWindow window{true, 0.0f, 5000.0f, 0.0f, 25.0f, 10000.0f};
    EXPECT_EQ(viewWindowRect(window, 1000, 190, 66, 50), QRect(0, 33, 95, 33));

    window.xMin = 2500.0f;
    EXPECT_EQ(viewWindowRect(window, 1000, 190, 66, 0), QRect(47, 0, 48, 66)) << "no range: full height";

    EXPECT_TRUE(viewWindowRect(window, 99, 190, 66, 50).isNull()) << "fewer than 100 samples";
    window.valid = false;
    EXPECT_TRUE(viewWindowRect(window, 1000, 190, 66, 50).isNull()) << "no current curve";
    window.valid = true;
    window.length = 0.0f;
    EXPECT_TRUE(viewWindowRect(window, 1000, 190, 66, 50).isNull()) << "a curve without length";
}
