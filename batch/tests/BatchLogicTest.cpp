#include "batch/BatchFiles.h"
#include "batch/BatchThumbnailLogic.h"
#include "batch/CMyBtnPrintType.h"
#include "batch/PrintLayout.h"
#include "testsupport/TestApp.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

// --- cursor store -------------------------------------------------------------------------

TEST(CursorStore, ReplacesByExactPathAndRemovesTheFirstMatch)
{
    CursorStore store;
    store.store("/d/a.sor", {1, 0, 2, 0.5f});
    store.store("/d/b.sor", {3, 0, 4, 0.5f});
    store.store("/d/a.sor", {5, 0, 6, 0.7f});
    store.store("/d/A.sor", {7, 0, 8, 0.9f}); // another path: letter case counts
    ASSERT_EQ(store.entries().size(), 3u);
    ASSERT_NE(store.find("/d/a.sor"), nullptr);
    EXPECT_FLOAT_EQ(store.find("/d/a.sor")->aDistance, 5.0f);
    EXPECT_EQ(store.entries()[0].path, "/d/a.sor"); // replaced in place, order kept
    EXPECT_TRUE(store.remove("/d/a.sor"));
    EXPECT_EQ(store.find("/d/a.sor"), nullptr);
    EXPECT_NE(store.find("/d/A.sor"), nullptr);
    EXPECT_FALSE(store.remove("/d/a.sor"));
}

// --- marks and hit test -------------------------------------------------------------------

TEST(ThumbnailMarks, MarkAtDistanceZeroIsDrawnTwoPixelsInside)
{
    const QRect client(0, 0, 290, 174);
    EXPECT_EQ(markX(client, 0.0f, 1000.0f), 2);
    EXPECT_EQ(markX(QRect(10, 0, 290, 174), 0.0f, 1000.0f), 12);
    EXPECT_EQ(markX(client, 500.0f, 1000.0f), 145);
    EXPECT_EQ(markX(client, 1000.0f, 1000.0f), 290);
}

struct HitCase {
    const char *name;
    int x;
    float a;
    float b;
    int expected;
};

void PrintTo(const HitCase &c, std::ostream *os) { *os << c.name; }

class ThumbnailHitTest : public testing::TestWithParam<HitCase> {};

TEST_P(ThumbnailHitTest, PicksTheMarkUnderTheMouse)
{
    const HitCase &c = GetParam();
    // 200 pixels for 2000 m: one pixel is 10 m.
    EXPECT_EQ(hitMark(QRect(0, 0, 200, 100), c.x, c.a, c.b, 2000.0f), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ThumbnailHitTest,
                         testing::Values(HitCase{"nothing_near", 100, 200.0f, 1800.0f, 0},
                                         HitCase{"a_within_five_pixels", 25, 200.0f, 1800.0f, 1},
                                         HitCase{"six_pixels_is_a_miss", 26, 200.0f, 1800.0f, 0},
                                         HitCase{"b_hit", 178, 200.0f, 1800.0f, 2},
                                         HitCase{"same_spot_picks_a", 50, 500.0f, 500.0f, 1},
                                         HitCase{"b_nearer_wins", 53, 500.0f, 540.0f, 2},
                                         HitCase{"mark_at_zero_hit_at_its_unshifted_x", 0, 0.0f, 1800.0f, 1},
                                         HitCase{"mark_past_the_end_is_not_hit", 200, 2100.0f, 1800.0f, 0},
                                         HitCase{"negative_distance_is_not_hit", 0, -5.0f, 1800.0f, 0}),
                         [](const testing::TestParamInfo<HitCase> &info) { return std::string(info.param.name); });

TEST(ThumbnailMarks, DragDistanceMapsBackToTheSameColumn)
{
    const QRect client(0, 0, 290, 174);
    for (int x : {0, 1, 57, 144, 289}) {
        const float d = dragDistance(client, x, 12345.0f);
        EXPECT_EQ(markHitX(client, d, 12345.0f), x) << x;
    }
}

// --- A-B texts ----------------------------------------------------------------------------

struct AbCase {
    const char *name;
    CursorPair pair;
    QStringList expected;
};

void PrintTo(const AbCase &c, std::ostream *os) { *os << c.name; }

class AbTexts : public testing::TestWithParam<AbCase> {};

TEST_P(AbTexts, FormatsDistanceLossAndSlope)
{
    EXPECT_EQ(thumbnailAbTexts(GetParam().pair), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AbTexts,
    testing::Values(AbCase{"metres", {100, 0, 2100, 0.5f}, {"A-B:", "2000.00 m", "0.500 dB", "0.250 dB/km"}},
                    AbCase{"kilometres_past_10000_m", {0, 1, 12000, 4}, {"A-B:", "12.000 Km", "3.000 dB", "0.250 dB/km"}},
                    AbCase{"exactly_10000_m_stays_metres", {0, 0, 10000, 1}, {"A-B:", "10000.00 m", "1.000 dB", "0.100 dB/km"}},
                    AbCase{"b_before_a", {2100, 0.5f, 100, 0}, {"A-B:", "2000.00 m", "0.500 dB", "0.250 dB/km"}},
                    AbCase{"no_loss", {0, 2, 500, 2}, {"A-B:", "500.00 m", "--", "--"}},
                    AbCase{"same_place", {300, 0, 300, 1}, {"A-B:", "0.00 m", "1.000 dB", "--"}}),
    [](const testing::TestParamInfo<AbCase> &info) { return std::string(info.param.name); });

// --- curve ---------------------------------------------------------------------------------

std::vector<uint16_t> noisyTrace(uint32_t n, uint32_t seed)
{
    std::vector<uint16_t> raw(n);
    uint32_t noise = seed;
    for (uint32_t i = 0; i < n; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double level = 40.0 - 30.0 * i / n + ((noise >> 8) % 4000) / 1000.0 - (i % 997 == 0 ? 8.0 : 0.0);
        raw[i] = static_cast<uint16_t>(65535 - level * 1000);
    }
    return raw;
}

QImage drawn(const QRect &client, const std::vector<QPoint> &points)
{
    QImage image(client.left() + client.width() + 4, client.top() + client.height() + 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(QColor(0x00, 0xA2, 0xE8), 0));
    if (!points.empty())
        p.drawPolyline(points.data(), static_cast<int>(points.size()));
    return image;
}

struct CurveCase {
    const char *name;
    QRect client;
    uint32_t samples;
};

void PrintTo(const CurveCase &c, std::ostream *os) { *os << c.name; }

class ReducedCurve : public testing::TestWithParam<CurveCase> {};

TEST_P(ReducedCurve, DrawsTheSamePixelsAsEveryPoint)
{
    const CurveCase &c = GetParam();
    const std::vector<uint16_t> raw = noisyTrace(c.samples, c.samples);
    const std::vector<QPoint> full = fullCurve(c.client, raw);
    const std::vector<QPoint> reduced = reducedCurve(c.client, raw);
    ASSERT_EQ(full.size(), c.samples);
    EXPECT_LE(reduced.size(), static_cast<size_t>(4 * c.client.width() + 4));
    EXPECT_EQ(drawn(c.client, reduced), drawn(c.client, full));
}

INSTANTIATE_TEST_SUITE_P(Cases, ReducedCurve,
                         testing::Values(CurveCase{"long_trace", QRect(0, 0, 290, 174), 64000},
                                         CurveCase{"odd_ratio_offset_rect", QRect(7, 3, 193, 116), 12345},
                                         CurveCase{"fewer_samples_than_columns", QRect(0, 0, 290, 174), 150},
                                         CurveCase{"just_one_hundred", QRect(0, 0, 290, 174), 100}),
                         [](const testing::TestParamInfo<CurveCase> &info) { return std::string(info.param.name); });

TEST(ReducedCurveLimits, FewerThanOneHundredSamplesDrawNothing)
{
    EXPECT_TRUE(reducedCurve(QRect(0, 0, 290, 174), noisyTrace(99, 1)).empty());
    EXPECT_TRUE(fullCurve(QRect(0, 0, 290, 174), noisyTrace(99, 1)).empty());
}

TEST(ReducedCurveLimits, FiftyDecibelWindowOverTheHeight)
{
    // Raw 65535 (0 dB) sits at bottom - 1.3106 h + 1.3107 h, just at the bottom; 15535 (50 dB)
    // one tenth of a percent below the top.
    const QRect client(0, 0, 200, 100);
    EXPECT_EQ(curvePoint(client, 0, 100, 65535).y(), 100);
    EXPECT_EQ(curvePoint(client, 50, 100, 15535).y(), 0);
    EXPECT_EQ(curvePoint(client, 50, 100, 15535).x(), 100);
}

// --- print type and page layout -----------------------------------------------------------

QString englishText(int id)
{
    static const std::map<int, QString> texts{{108, "One per page"}, {109, "Two per page"}, {110, "Four per page"},
                                              {111, "Six per page"}, {112, "Eight per page"}};
    auto it = texts.find(id);
    return it == texts.end() ? QString() : it->second;
}

TEST(PrintType, EachEntryTextSelectsItsDigitAndOthersNone)
{
    const struct {
        const char *text;
        std::optional<int> expected;
    } cases[] = {{"One per page", 0},     {"Two per page", 1},         {"Four per page", 2}, {"Six per page", 3},
                 {"Eight per page", 4},   {"eight per page", std::nullopt}, {"", std::nullopt},
                 {"Four per page ", std::nullopt}};
    for (const auto &c : cases)
        EXPECT_EQ(printTypeForText(c.text, englishText), c.expected) << c.text;
    EXPECT_EQ(printTypeForText("", TextLookup()), 0) << "without texts every entry is empty";
}

TEST(PageLayout, CellsForEachValue)
{
    const QRect client(0, 0, 250, 176); // A: (10, 10) 230 x 156; columns 112 wide, 6 apart
    const struct {
        int layout;
        std::vector<QRect> cells;
    } cases[] = {
        {0, {QRect(10, 10, 230, 156)}},
        {1, {QRect(10, 10, 112, 156), QRect(128, 10, 112, 156)}},
        {2, {QRect(10, 10, 112, 75), QRect(10, 91, 112, 75), QRect(128, 10, 112, 75), QRect(128, 91, 112, 75)}},
        {3,
         {QRect(10, 10, 112, 48), QRect(10, 64, 112, 48), QRect(10, 118, 112, 48), QRect(128, 10, 112, 48),
          QRect(128, 64, 112, 48), QRect(128, 118, 112, 48)}},
        {4,
         {QRect(10, 10, 112, 34), QRect(10, 50, 112, 34), QRect(10, 90, 112, 34), QRect(10, 130, 112, 34),
          QRect(128, 10, 112, 34), QRect(128, 50, 112, 34), QRect(128, 90, 112, 34), QRect(128, 130, 112, 34)}},
        {5, {}},
        {-1, {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(layoutCells(client, c.layout), c.cells) << c.layout;
}

TEST(PageLayout, PictureOutlinesEveryCellAndTheBorder)
{
    testApp();
    CMyBtnPrintType picture;
    picture.resize(250, 176);
    for (int layout = 0; layout <= 4; ++layout) {
        picture.setLayout(layout);
        const QImage image = picture.grab().toImage();
        const QColor black(Qt::black);
        EXPECT_EQ(image.pixelColor(0, 0), black);
        EXPECT_EQ(image.pixelColor(249, 175), black);
        EXPECT_EQ(image.pixelColor(5, 5), QColor::fromRgb(CMyButton::faceColour));
        for (const QRect &cell : layoutCells(picture.rect(), layout)) {
            EXPECT_EQ(image.pixelColor(cell.topLeft()), black) << layout;
            EXPECT_EQ(image.pixelColor(cell.bottomRight()), black) << layout;
            EXPECT_EQ(image.pixelColor(cell.center()), QColor::fromRgb(CMyButton::faceColour)) << layout;
        }
    }
}

// --- folder listing and the selected list -------------------------------------------------

TEST(FolderListing, ExtensionInAnyCase)
{
    const struct {
        const char *name;
        bool sor;
    } cases[] = {{"trace.sor", true},  {"trace.SOR", true},     {"a.b.Sor", true}, {"trace.sor.bak", false},
                 {"tracesor", false},  {"trace.so", false},     {".sor", true},    {"x.sorx", false},
                 {"a.sor.", false},    {"site.2.A.SOR", true}};
    for (const auto &c : cases)
        EXPECT_EQ(hasSorExtension(c.name), c.sor) << c.name;
}

TEST(FolderListing, ListsSorFilesWithSizeAndDateButNotFoldersOrOtherFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto write = [&](const QString &name, int bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(bytes, 'x'));
    };
    write("b.SOR", 2048);
    write("a.sor", 1536);
    write("c.sor.bak", 10);
    write("notes.txt", 10);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.sor"));
    const std::vector<FolderFile> files = listSorFiles(dir.path() + "/");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].name, "a.sor");
    EXPECT_EQ(files[0].sizeKb, "1.50");
    EXPECT_EQ(files[1].name, "b.SOR");
    EXPECT_EQ(files[1].sizeKb, "2.00");
    EXPECT_EQ(files[1].date.size(), 19);
    EXPECT_TRUE(QDateTime::fromString(files[1].date, "yyyy-MM-dd HH:mm:ss").isValid());
    EXPECT_TRUE(listSorFiles(dir.path() + "/missing/").empty());
    EXPECT_TRUE(listSorFiles(QString()).empty());
}

TEST(SelectedList, AddingTwiceKeepsOneRowAndTheSameNameFromAnotherFolderAddsOne)
{
    std::vector<SelectedFile> list;
    EXPECT_EQ(addSelectedFiles(list, {{"a.sor", "/x"}, {"b.sor", "/x"}}), 2);
    EXPECT_EQ(addSelectedFiles(list, {{"a.sor", "/x"}, {"b.sor", "/x"}}), 0);
    EXPECT_EQ(addSelectedFiles(list, {{"a.sor", "/y"}, {"A.sor", "/x"}}), 2);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[2].path(), "/y/a.sor");
}

} // namespace
