// The printed link summary: row texts, page count, and pages painted into an image.

#include "print/SummaryPage.h"

#include "testsupport/TraceEvents.h"
#include "testsupport/CommaDecimalLocale.h"
#include "textres/TextResources.h"
#include "testsupport/BinFolder.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

using testsupport::event;

using namespace summarypage;

LinkSummary summary(const QString &file, float spliceLoss, const PassThresholds &thresholds = PassThresholds{})
{
    TraceData t;
    t.wavelengthNm = 1310;
    t.pulseWidthNs = 30;
    t.events = {event(0.0f, 1, 'F').loss(0.3f).total(0.3f).reflectance(-50.0f), event(1000.0f, 0, 'F').loss(spliceLoss).total(0.6f),
                event(2000.0f, 1, 'E').total(0.9f).reflectance(-45.0f)};
    return summarizeTrace(file, t, thresholds);
}

// The summary's texts from the shipped text library, as the program binds them.
const SummaryLabels &labels()
{
    static const SummaryLabels loaded = [] {
        if (!loadTextLibrary(testsupport::binFolder()))
            ADD_FAILURE() << "text library not loaded from " << testsupport::binFolder().toStdString();
        return loadReportLabels(&loadText).summary;
    }();
    return loaded;
}

class SummaryPage : public testing::Test {};

TEST_F(SummaryPage, ThirtyRowsAPage)
{
    const struct {
        size_t rows;
        int pages;
    } cases[] = {{0, 1}, {1, 1}, {30, 1}, {31, 2}, {60, 2}, {61, 3}, {1000, 34}};
    for (const auto &c : cases)
        EXPECT_EQ(pageCount(c.rows), c.pages) << c.rows << " rows";
}

TEST_F(SummaryPage, RowTextsWithResultAndDashes)
{
    EXPECT_EQ(headerTexts(labels()),
              (QStringList{"File", "Wavelength (nm)", "Pulse (ns)", "Length (m)", "Events", "Total loss (dB)",
                           "Max. event loss (dB)", "Worst reflect. (dB)", "Attenuation (dB/km)", "Result"}));
    EXPECT_EQ(rowTexts(summary("/data/cable 7/F001.sor", 0.1f), labels()),
              (QStringList{"F001.sor", "1310", "30", "2000.00", "3", "0.900", "0.100", "-45.000", "0.450", "FAIL"}))
        << "the file name without its folder; the start connector's loss is no event loss; 0.45 dB/km is "
           "over the 0.4 limit at 1310 nm";
    PassThresholds loose;
    loose.AvgLoss1310 = 0.5f;
    EXPECT_EQ(rowTexts(summary("F002.sor", 0.0f, loose), labels()).last(), "Incomplete") << "an unmeasured splice loss";
    EXPECT_EQ(rowTexts(summary("F003.sor", 0.1f, loose), labels()).last(), "PASS");
    EXPECT_EQ(rowTexts(unreadableSummary("/x/broken.sor"), labels()),
              (QStringList{"broken.sor", "--", "--", "--", "--", "--", "--", "--", "--", "Unreadable"}));

    TraceData empty;
    EXPECT_EQ(rowTexts(summarizeTrace("none.sor", empty, PassThresholds{}), labels()),
              (QStringList{"none.sor", "0", "0", "--", "0", "--", "--", "--", "--", "--"}));

}

TEST_F(SummaryPage, RowTextsKeepDotsUnderACommaLocale)
{
    CommaDecimalLocale comma;
    if (!comma.active())
        GTEST_SKIP() << "no comma-decimal locale on this machine";
    EXPECT_EQ(rowTexts(summary("F001.sor", 0.1f), labels())[3], "2000.00");
}

// Paints page `page` of `rows` on a white A4-sized image at 96 dpi.
QImage paint(const std::vector<LinkSummary> &rows, int page, int *drawn)
{
    QImage image(794, 1123, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(24);
    QFont text(QStringLiteral("Arial"));
    text.setPixelSize(11);
    QFont bold = text;
    bold.setBold(true);
    *drawn = drawSummaryPage(p, QRect(40, 40, 714, 1043), title, text, bold, rows, page, labels());
    return image;
}

bool inkIn(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return true;
    return false;
}

TEST_F(SummaryPage, PagesHoldThirtyRowsAndTheLastOneTheRest)
{
    int argc = 1;
    char name[] = "summary_page_test";
    char *argv[] = {name};
    QGuiApplication app(argc, argv);

    std::vector<LinkSummary> rows;
    for (int i = 0; i < 31; ++i)
        rows.push_back(i == 30 ? unreadableSummary(QStringLiteral("last.sor")) : summary(QStringLiteral("F%1.sor").arg(i), 0.1f));

    int drawn = 0;
    const QImage first = paint(rows, 1, &drawn);
    EXPECT_EQ(drawn, 30);
    const QImage second = paint(rows, 2, &drawn);
    EXPECT_EQ(drawn, 1);
    paint(rows, 3, &drawn);
    EXPECT_EQ(drawn, 0) << "no page 3";

    // The lower part of the table: filled on the full page, blank on the page with one row.
    const QRect lowerTable(60, 700, 680, 300);
    EXPECT_TRUE(inkIn(first, lowerTable));
    EXPECT_FALSE(inkIn(second, lowerTable));
    // Both carry a title and the page number in the footer, and nothing outside the page.
    for (const QImage *page : {&first, &second}) {
        EXPECT_TRUE(inkIn(*page, QRect(300, 45, 200, 30)));
        EXPECT_TRUE(inkIn(*page, QRect(600, 1050, 150, 30)));
        EXPECT_FALSE(inkIn(*page, QRect(0, 0, 794, 38)));
        EXPECT_FALSE(inkIn(*page, QRect(0, 1086, 794, 37)));
    }
    EXPECT_NE(first, second);
}

} // namespace
