#include "print/PrintJob.h"
#include "print/ReportFontTable.h"
#include "print/ReportRenderer.h"
#include "print/ReportTexts.h"

#include "trace/TraceSet.h"

#include <gtest/gtest.h>

namespace {

struct PageCase {
    const char *name;
    QString printType;
    int count;
    int perPage;
    int pages;
    QPageLayout::Orientation orientation;
};

void PrintTo(const PageCase &c, std::ostream *os)
{
    *os << c.name;
}

class PageCount : public testing::TestWithParam<PageCase> {};

TEST_P(PageCount, FollowsThePrintType)
{
    const PageCase &c = GetParam();
    PrintJob job;
    job.printType = c.printType;
    job.count = c.count;
    EXPECT_EQ(tracesPerPage(c.printType), c.perPage);
    EXPECT_EQ(pageCount(job), c.pages);
    EXPECT_EQ(pageOrientation(c.printType), c.orientation);
}

INSTANTIATE_TEST_SUITE_P(PrintTypes, PageCount,
                         testing::Values(PageCase{"one_three_traces", "0", 3, 1, 3, QPageLayout::Portrait},
                                         PageCase{"two_three_traces", "1", 3, 2, 2, QPageLayout::Landscape},
                                         PageCase{"four_exact", "2", 8, 4, 2, QPageLayout::Portrait},
                                         PageCase{"six_seven", "3", 7, 6, 2, QPageLayout::Landscape},
                                         PageCase{"eight_nine", "4", 9, 8, 2, QPageLayout::Landscape},
                                         PageCase{"eight_none", "4", 0, 8, 0, QPageLayout::Landscape},
                                         PageCase{"unknown_type", "7", 2, 1, 2, QPageLayout::Landscape},
                                         PageCase{"not_a_number", "x", 2, 1, 2, QPageLayout::Portrait}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(PageCount, PowerMeterRowsThirtyAPageWhateverTheType)
{
    PrintJob job;
    job.printType = "4";
    job.count = 50;
    job.powerMeterMode = 1;
    for (const auto &[rows, pages] : {std::pair{0, 0}, {1, 1}, {30, 1}, {31, 2}, {60, 2}, {61, 3}}) {
        job.powerMeterRows.assign(static_cast<size_t>(rows), OpmRecord{});
        EXPECT_EQ(pageCount(job), pages) << rows << " rows";
    }
}

TEST(PageCount, SummaryPagesComeBeforeTheReports)
{
    const struct {
        size_t rows;
        const char *printType;
        int count;
        int summaryPages;
        int pages;
    } cases[] = {
        {0, "0", 3, 0, 3},  {1, "0", 3, 1, 4},  {30, "0", 3, 1, 4}, {31, "0", 3, 2, 5},
        {1, "4", 9, 1, 3},  {31, "4", 9, 2, 4}, {31, "2", 0, 2, 2}, {61, "1", 61, 3, 34},
    };
    for (const auto &c : cases) {
        PrintJob job;
        job.printType = c.printType;
        job.count = c.count;
        job.summaryRows.assign(c.rows, unreadableSummary("x.sor"));
        EXPECT_EQ(summaryPageCount(job), c.summaryPages) << c.rows << " rows, type " << c.printType;
        EXPECT_EQ(pageCount(job), c.pages) << c.rows << " rows, type " << c.printType;
    }

    // The power-meter table prints alone.
    PrintJob meter;
    meter.powerMeterMode = 1;
    meter.powerMeterRows.assign(31, OpmRecord{});
    meter.summaryRows.assign(5, unreadableSummary("x.sor"));
    EXPECT_EQ(summaryPageCount(meter), 0);
    EXPECT_EQ(pageCount(meter), 2);
}

TEST(CellRect, LayoutsSplitThePage)
{
    EXPECT_EQ(cellRect(1, 0, 755, 1000), QRect(0, 0, 755, 1000));
    // Two a page: halves of W * 0.5 truncated.
    EXPECT_EQ(cellRect(2, 0, 1061, 700), QRect(0, 0, 530, 700));
    EXPECT_EQ(cellRect(2, 1, 1061, 700), QRect(530, 0, 530, 700));
    // Four a page: 2 x 2, bottom row moved down by H / 2.
    EXPECT_EQ(cellRect(4, 1, 755, 1001), QRect(377, 0, 378, 500));
    EXPECT_EQ(cellRect(4, 2, 755, 1001), QRect(0, 500, 377, 500));
    // Six a page: three columns of W / 3 as a float.
    EXPECT_EQ(cellRect(6, 1, 1000, 700), QRect(333, 0, 333, 350));
    EXPECT_EQ(cellRect(6, 5, 1000, 700), QRect(666, 350, 334, 350));
    // Eight a page: four columns; the cells tile the page without gaps.
    int right = 0;
    for (int i = 0; i < 4; ++i) {
        const QRect r = cellRect(8, i, 1061, 700);
        EXPECT_EQ(r.left(), right);
        right = r.left() + r.width();
        EXPECT_EQ(cellRect(8, i + 4, 1061, 700), r.translated(0, 350));
    }
    EXPECT_EQ(right, 1061);
}

TEST(PageGeometry, LogicalPageIsScreenPixelsOfThePaper)
{
    const PageGeometry g = pageGeometry(200, 287, 4724, 6780, 600, 600);
    EXPECT_EQ(g.logicalWidth, 755);
    EXPECT_EQ(g.logicalHeight, 1084);
    EXPECT_FLOAT_EQ(g.scaleX, 6.25f);
    EXPECT_FLOAT_EQ(g.scaleY, 6.25f);
}

TEST(ReportFonts, SizesFollowTheTableColumnAndScale)
{
    const ReportFontTable table = startupReportFontTable();
    EXPECT_EQ(table.face, QStringLiteral("宋体"));
    const ReportFonts one = reportFonts(table, 1, 6.25f);
    EXPECT_EQ(one.title.pixelSize(), 16);    // 12 pt at 96 dpi
    EXPECT_EQ(one.text.pixelSize(), 12);     // 9 pt
    EXPECT_EQ(one.textBold.weight(), QFont::Bold);
    EXPECT_EQ(one.plotLabel.pixelSize(), 58); // 7 x 6.25 x 96 / 72
    EXPECT_EQ(one.plotText.pixelSize(), 75);  // 12 x 6.25
    EXPECT_EQ(one.verdict.pixelSize(), 150);  // 24 x 6.25
    EXPECT_EQ(one.plotLabel.family(), QStringLiteral("Times New Roman"));
    const ReportFonts eight = reportFonts(table, 8, 6.25f);
    EXPECT_EQ(eight.text.pixelSize(), 7);     // 5 pt
    EXPECT_EQ(eight.verdict.pixelSize(), 75); // 12 x 6.25
    // 3, 5 and 7 a page use the first column.
    EXPECT_EQ(reportFonts(table, 3, 1.0f).text.pixelSize(), one.text.pixelSize());
    EXPECT_EQ(ReportFontTable{}.sizes[1][0], 12);
}

TEST(MainWindowPrintJob, TakesTheLoadedSlotsInOrder)
{
    TraceSet traces;
    traces.loadedCount = 3;
    const CursorPair cursors{100.0f, 1.0f, 900.0f, 3.5f};
    const PrintJob job = mainWindowPrintJob(traces, cursors);
    EXPECT_EQ(job.printType, QStringLiteral("0"));
    EXPECT_EQ(job.batchFlag, 0);
    ASSERT_EQ(job.count, 3);
    ASSERT_EQ(job.slots.size(), 3u);
    EXPECT_EQ(job.slots[2], &traces.slots[2]);
    EXPECT_FLOAT_EQ(job.viewCursors.bLevel, 3.5f);
    EXPECT_EQ(pageCount(job), 3);
}

// A loaded trace of `count` samples 1 m apart, its level falling `stepRaw` / 1000 dB a metre,
// with a start event and a fibre end at `endIndex` whose cumulative loss is `total`.
void fill(TraceSlot &slot, uint32_t count, uint16_t firstRaw, uint16_t stepRaw, int32_t endIndex, float total)
{
    TraceData &t = *slot.trace;
    slot.loaded = 1;
    t.sampleCount = count;
    t.sampleSpacing = 1.0f;
    t.samples.resize(count);
    for (uint32_t i = 0; i < count; ++i)
        t.samples[i] = static_cast<uint16_t>(firstRaw + stepRaw * i);
    TraceEvent start;
    start.distance = 1.0f;
    start.codeLetter = 'F';
    TraceEvent end;
    end.index = endIndex;
    end.distance = static_cast<float>(endIndex + 1);
    end.codeLetter = 'E';
    end.totalLoss = total;
    t.events = {start, end};
}

// Two traces in the preview, a 60 km one current and a 3.7 km one: each page prints the view's
// cursor distances with its own trace's levels; a cursor past the short trace gives that
// trace's default pair, not the long trace's 49 km.
TEST(MainWindowPrintJob, EachPageTakesTheViewDistancesWithItsOwnLevels)
{
    TraceSet traces;
    traces.loadedCount = 2;
    traces.currentSlot = 0;
    fill(traces.slots[0], 60000, 10000, 1, 59000, 12.0f);
    fill(traces.slots[1], 3700, 30000, 2, 3600, 1.5f);
    const auto pageTexts = [](const PrintJob &job, const TraceSlot &slot) { return abTexts(reportCursors(job, slot)); };

    const CursorPair far{1000.0f, 54.5f, 50000.0f, 5.5f}; // as the view read them off the 60 km curve
    const PrintJob job = mainWindowPrintJob(traces, far);
    const AbTexts current = pageTexts(job, traces.slots[0]);
    EXPECT_EQ(current.distance, abTexts(far).distance) << "the current trace's page prints what the view shows";
    EXPECT_EQ(current.loss, abTexts(far).loss);
    EXPECT_EQ(current.distance, "49.000 Km");
    const AbTexts other = pageTexts(job, traces.slots[1]);
    EXPECT_EQ(other.distance, "3600.00 m") << "the short trace's default pair: first event to its end";
    EXPECT_EQ(other.loss, "1.500 dB");

    // Both cursors on the short trace: its own levels, the sample after each distance as the
    // view reads them (1000 m: raw 32000, 2000 m: raw 34000).
    const PrintJob near = mainWindowPrintJob(traces, {1000.0f, 55.535f, 2000.0f, 54.535f});
    EXPECT_EQ(pageTexts(near, traces.slots[1]).distance, "1000.00 m");
    EXPECT_EQ(pageTexts(near, traces.slots[1]).loss, "2.000 dB");
    EXPECT_EQ(pageTexts(near, traces.slots[0]).loss, "1.000 dB") << "the view's own levels on its page";

    // A batch job keeps each slot's own cursors.
    traces.slots[1].cursorADistance = 10.0f;
    traces.slots[1].cursorBDistance = 20.0f;
    EXPECT_EQ(pageTexts(batchPrintJob("0", {&traces.slots[1]}), traces.slots[1]).distance, "10.00 m");
}

} // namespace
