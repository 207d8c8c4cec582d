// One real instrument file read as the program reads it: the event list, the report's event
// table and A-B box, the CSV export, the link summary and the verdict all show the same numbers.

#include "config/PassThresholds.h"
#include "print/DefaultCursorPair.h"
#include "print/ReportLabels.h"
#include "print/ReportTexts.h"
#include "trace/CSorFileBase.h"
#include "trace/CumulativeLoss.h"
#include "trace/EventAnalysis.h"
#include "trace/EventListText.h"
#include "trace/EventTable.h"
#include "trace/LinkSummary.h"
#include "trace/TraceSet.h"
#include "trace/Verdict.h"
#include "testsupport/BinFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QString corpusFile(const char *name)
{
    QString source = qEnvironmentVariable("LUMIDOR_SOURCE_DIR");
    if (source.isEmpty())
        source = QStringLiteral(LUMIDOR_SOURCE_DIR_DEFAULT);
    return QDir(source).filePath(QStringLiteral("../shared/corpus/") + QString::fromLatin1(name));
}

double number(const QString &text)
{
    bool ok = false;
    const double v = text.section(QLatin1Char(' '), 0, 0).toDouble(&ok);
    EXPECT_TRUE(ok) << text.toStdString();
    return v;
}

} // namespace

// A 12 km link whose instrument stored 3.696 dB end to end and an ORL of 30.715 dB; its events
// add up to less (a loss between two events was not marked), so the stored figure decides.
TEST(SameNumbers, EveryOutputOfARealFileAgrees)
{
    const QString path = corpusFile("Fibertest20/Ok.sor");
    if (!QFile::exists(path))
        GTEST_SKIP() << "corpus not found: " << path.toStdString();
    const QM7ZZZ_Acount_Total_Loss_fn totalLoss = bindEventAnalysis(testsupport::binFolder()).totalLoss;
    ASSERT_NE(totalLoss, nullptr);
    CSorFileBase sor;
    TraceSlot slot;
    slot.loaded = 1;
    slot.fileName = QStringLiteral("Ok.sor");
    TraceData &trace = *slot.trace;
    ASSERT_TRUE(loadTraceFile(sor, path, trace, totalLoss));

    const int end = fibreEndIndex(trace);
    ASSERT_EQ(end, static_cast<int>(trace.events.size()) - 1);
    const float endTotal = trace.events[static_cast<size_t>(end)].totalLoss;
    EXPECT_FLOAT_EQ(endTotal, 3.696f) << "the instrument's end-to-end loss";

    // Event rows: the list, the report's table and the CSV export, event by event.
    const std::vector<EventRow> list = eventListRows(trace, QStringLiteral("m"), 3);
    const std::vector<ReportEventRow> report = eventRows(trace, QStringLiteral("m"), ReportLabels{});
    const std::vector<QStringList> csv = eventTableRows(path, trace);
    ASSERT_EQ(list.size(), trace.events.size() - 1);
    ASSERT_EQ(report.size(), list.size());
    ASSERT_EQ(csv.size(), list.size());
    double maxBetween = 0.0;
    for (size_t r = 0; r < list.size(); ++r) {
        const TraceEvent &e = trace.events[r + 1];
        const double total = number(list[r].columns[4]);
        EXPECT_NEAR(total, e.totalLoss, 0.0005) << "row " << r;
        EXPECT_EQ(number(report[r][4]), total) << "row " << r;
        EXPECT_EQ(number(csv[r][7]), total) << "row " << r;
        EXPECT_LE(total, endTotal + 0.5) << "no event before the end above its total";
        EXPECT_EQ(report[r][3], list[r].columns[3]) << "loss, row " << r;
        if (static_cast<int>(r + 1) < end && list[r].columns[3] != QStringLiteral("--"))
            maxBetween = std::max(maxBetween, number(list[r].columns[3]));
    }
    EXPECT_EQ(list.back().columns[3], QStringLiteral("--")) << "the end's drop into the noise is no loss";

    // The summary row, the report's link figures, the A-B box of a batch print.
    PassThresholds thresholds;
    const LinkSummary summary = summarizeTrace(path, trace, thresholds);
    const QStringList cells = summaryCells(summary);
    EXPECT_EQ(cells[summaryColumns().indexOf("total_loss_db")], QStringLiteral("3.696"));
    EXPECT_NEAR(number(cells[summaryColumns().indexOf("max_event_loss_db")]), maxBetween, 1e-9);
    EXPECT_NEAR(number(cells[summaryColumns().indexOf("attenuation_db_km")]), endTotal / (trace.events.back().distance / 1000.0f), 0.0005);
    EXPECT_EQ(cells[summaryColumns().indexOf("orl_db")], QStringLiteral("30.715"));
    const ReportValues values = reportValues(slot, PrintSettings{}, QStringLiteral("Auto"));
    EXPECT_EQ(values.totalLoss, QStringLiteral("3.696"));
    EXPECT_EQ(values.orl, QStringLiteral("30.72"));
    EXPECT_EQ(abTexts(defaultCursorPair(trace)).loss, QStringLiteral("3.696 dB"));

    // The verdict judges the same total: only the total-loss check on, either side of 3.696 dB.
    PassThresholds totalOnly;
    totalOnly.IncludeReflection = totalOnly.IncludeNonReflection = totalOnly.IncludeReturnLoss = totalOnly.IncludeAvg = false;
    totalOnly.TotalLoss = 3.70f;
    EXPECT_EQ(ComputeVerdict(&trace, totalOnly), VerdictPass);
    EXPECT_EQ(summarizeTrace(path, trace, totalOnly).verdict, VerdictPass);
    totalOnly.TotalLoss = 3.69f;
    EXPECT_EQ(ComputeVerdict(&trace, totalOnly), VerdictFail);
    EXPECT_EQ(verdictWord(summarizeTrace(path, trace, totalOnly).verdict), QStringLiteral("FAIL"));
}
