// The printed curve's path: shortened for PDF size, drawing the same pixels inside the plot.

#include "print/ReportRenderer.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

QImage drawn(const std::vector<QPoint> &points, const QRect &clip)
{
    QImage image(clip.right() + 40, clip.bottom() + 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setClipRect(clip);
    p.setPen(QPen(Qt::black, 0));
    p.drawPolyline(points.data(), static_cast<int>(points.size()));
    return image;
}

// A backscatter slope with noise, a reflection far above the window, a flat floor below it
// and noise swinging across the bottom edge.
std::vector<uint16_t> traceSamples()
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-400, 400);
    std::vector<uint16_t> s;
    for (int i = 0; i < 30000; ++i) {
        int level = 10000 + i / 2 + noise(random);
        if (i > 12000 && i < 12040)
            level = 0;
        if (i > 20000)
            level = 65535;
        if (i > 26000)
            level = 50000 + 4 * noise(random);
        s.push_back(static_cast<uint16_t>(std::clamp(level, 0, 65535)));
    }
    return s;
}

TEST(CurvePath, ShortenedPathDrawsTheSamePixels)
{
    const std::vector<uint16_t> samples = traceSamples();
    const QRect plot(20, 30, 700, 300);
    for (const int column : {1, 2}) {
        const std::vector<QPoint> reduced = reducedCurvePoints(samples.data(), samples.size(), plot, column);
        const std::vector<QPoint> shortened = clippedPath(reduced, plot);
        EXPECT_LT(shortened.size(), reduced.size() * 3 / 4) << "column " << column;
        EXPECT_EQ(drawn(shortened, plot), drawn(reduced, plot)) << "column " << column;
    }
    // Two device pixels a column draw the curve with fewer points than one.
    EXPECT_LT(reducedCurvePoints(samples.data(), samples.size(), plot, 2).size(),
              reducedCurvePoints(samples.data(), samples.size(), plot, 1).size() * 3 / 4);
}

TEST(CurvePath, ShortPathsStayAsTheyAre)
{
    const QRect clip(0, 0, 100, 100);
    EXPECT_TRUE(clippedPath({}, clip).empty());
    const std::vector<QPoint> two{{0, 10}, {50, 60}};
    EXPECT_EQ(clippedPath(two, clip), two);
    // A turn back on a horizontal line is drawn, so its middle point stays.
    const std::vector<QPoint> back{{0, 10}, {50, 10}, {20, 10}};
    EXPECT_EQ(clippedPath(back, clip), back);
}

} // namespace
