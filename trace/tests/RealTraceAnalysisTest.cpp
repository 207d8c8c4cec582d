// The automatic analysis on real instrument traces of the shared corpus, held against the events
// each instrument stored in the same file. Skipped when the corpus is not there.

#include "analysis/QM7ZZZ.h"
#include "trace/CSorFileBase.h"
#include "trace/LinkSummary.h"
#include "trace/TraceAnalysis.h"
#include "trace/TraceLoader.h"

#include <QDir>
#include <QDirIterator>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

QString corpusFolder()
{
    QString source = qEnvironmentVariable("LUMIDOR_SOURCE_DIR");
    if (source.isEmpty())
        source = QStringLiteral(LUMIDOR_SOURCE_DIR_DEFAULT);
    return QDir(source).filePath(QStringLiteral("../shared/corpus"));
}

std::optional<TraceData> load(const QString &path)
{
    CSorFileBase sor;
    TraceData trace;
    if (!loadTraceFile(sor, path, trace, &QM7ZZZ_Acount_Total_Loss))
        return std::nullopt;
    return trace;
}

// Two events are the same when this close: the pulse's length and two samples, at least 10 m.
double tolerance(const TraceData &t)
{
    return std::max(10.0, 0.1 * t.pulseWidthNs + 2.0 * t.sampleSpacing);
}

TraceData analysed(const TraceData &stored)
{
    TraceData t = stored;
    EXPECT_TRUE(analyzeTrace(t, &QM7ZZZ_Event_Analysis, {}));
    return t;
}

std::optional<float> endDistance(const TraceData &t)
{
    for (const TraceEvent &e : t.events)
        if (e.codeLetter == 'E')
            return e.distance;
    return std::nullopt;
}

// Traces that each show one thing an analysis of real traces must get right, with where the
// instrument found the fibre end.
struct EndCase {
    const char *file;
    const char *shows;
};

const EndCase endCases[] = {
    {"otdr-suite/BARTUL001_1550.sor", "a strong end reflection with a long recovery of the receiver"},
    {"otdr-suite/ELMMIL0001_1550.sor", "a reflection a kilometre before the end"},
    {"Fibertest20/CriticalLnode2.sor", "a break with a reflection, light past it"},
    {"Fibertest20/Ok.sor", "a spiky noise floor far past the end"},
    {"Ravskij__otdr-parser/RFG1310НМ_1_.sor", "the end reflection's echo at twice its distance"},
    {"otdrs/example4-exfo-ftb4ftbx730c-mfdgainer-1550nm.sor", "a launch fibre the events are measured from"},
    {"otdr-suite/MILELM0001_1550.sor", "70 km with a 500 ns pulse"},
    {"otdr-suite/KANLAN150_1550.sor", "a connector a kilometre before the end under a 2500 ns pulse"},
    {"otdr-suite/LANKAN150_1550.sor", "a faint reflection a kilometre before the end under a 2500 ns pulse"},
    {"pyOTDR/demo_ab.sor", "an end reflection whose tail falls into the noise"},
    {"Fibertest20/base1625.sor", "a saturated launch reflection far longer than its 25 ns pulse"},
    {"otdrparser/1310_0001.sor", "the end reflection's echo a little off twice its distance"},
    {"otdrs/example2-exfo-maxtester730c.sor", "reflections from past the end rising out of the noise kilometres on"},
    {"Ravskij__otdr-parser/RFG1310НМ_2.sor", "a steep tail after the end reflection, broken into steps"},
    {"Fibertest20/NoFiber.sor", "no fibre connected: the launch's own tail falls into the noise"},
    {"Fibertest20/DoubleMinorNode3.sor", "an end reflection the scan first saw ahead of its foot"},
    {"Fibertest20/CriticalRnode5-MinorLnode3-MinorCnode3.sor", "an end reflection the scan placed at its fall"},
};

TEST(RealTraceAnalysis, FindsTheFibreEndWhereTheInstrumentDid)
{
    if (!QDir(corpusFolder()).exists())
        GTEST_SKIP() << "no corpus at " << corpusFolder().toStdString();
    for (const EndCase &c : endCases) {
        const auto stored = load(QDir(corpusFolder()).filePath(QString::fromUtf8(c.file)));
        ASSERT_TRUE(stored) << c.file;
        const auto expected = endDistance(*stored);
        ASSERT_TRUE(expected) << c.file;
        const TraceData found = analysed(*stored);
        const auto end = endDistance(found);
        ASSERT_TRUE(end) << c.file << ": " << c.shows;
        EXPECT_NEAR(*end, *expected, tolerance(*stored)) << c.file << ": " << c.shows;
        // Nothing is reported past the end.
        EXPECT_EQ(found.events.back().codeLetter, 'E') << c.file;
    }
}

// Events that each show one thing the analysis must find where the instrument did.
TEST(RealTraceAnalysis, FindsTheEventsWhereTheInstrumentDid)
{
    if (!QDir(corpusFolder()).exists())
        GTEST_SKIP() << "no corpus at " << corpusFolder().toStdString();
    const struct {
        const char *file;
        int event; // index in the stored list, 0 the start
        const char *shows;
    } cases[] = {
        {"otdr-suite/LANKAN439_1550.sor", 1, "the connector at the end of a 1 km launch fibre under a 2500 ns pulse"},
        {"otdr-suite/NORSEA109_1550.sor", 1, "the connector at the end of a 1 km launch fibre under a 2500 ns pulse"},
        {"otdr-suite/HOWLAN192_1550.sor", 9, "a 0.09 dB splice at 86 km, its ramp a pulse long"},
        {"otdrparser/1310_0045.sor", 1, "a splice on a smoothed trace, its ramp longer than the pulse"},
        {"j-otdr/test.sor", 6, "a 0.14 dB splice on a clean 4000 ns trace, events a few kilometres apart"},
    };
    for (const auto &c : cases) {
        const auto stored = load(QDir(corpusFolder()).filePath(QString::fromUtf8(c.file)));
        ASSERT_TRUE(stored) << c.file;
        ASSERT_LT(static_cast<size_t>(c.event), stored->events.size()) << c.file;
        const double at = stored->events[static_cast<size_t>(c.event)].distance;
        const TraceData found = analysed(*stored);
        EXPECT_TRUE(std::any_of(found.events.begin() + 1, found.events.end(),
                                [&](const TraceEvent &e) { return std::abs(e.distance - at) <= tolerance(*stored); }))
            << c.file << " at " << at << " m: " << c.shows;
    }
}

// Over the whole corpus, with each file's own thresholds: how many of the instrument's events
// (other than those a user placed, code letter A) are found, how many found ones the instrument
// did not report, and how often the fibre end agrees. The floors are the figures reached; a
// change that loses ground fails here.
TEST(RealTraceAnalysis, AgreesWithTheInstrumentsOverTheCorpus)
{
    if (!QDir(corpusFolder()).exists())
        GTEST_SKIP() << "no corpus at " << corpusFolder().toStdString();
    int matched = 0;
    int missed = 0;
    int extra = 0;
    int ends = 0;
    int endsFound = 0;
    int losses = 0;
    int lossesClose = 0;
    QDirIterator it(corpusFolder(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.endsWith(QLatin1String(".sor"), Qt::CaseInsensitive))
            continue;
        const auto stored = load(path);
        if (!stored || stored->events.size() < 2)
            continue;
        const TraceData found = analysed(*stored);
        const double tol = tolerance(*stored);
        std::vector<bool> used(found.events.size(), false);
        // Row 0 (the start) is not compared, as the event list does not show it.
        for (size_t k = 1; k < stored->events.size(); ++k) {
            const TraceEvent &e = stored->events[k];
            std::optional<size_t> best;
            for (size_t j = 1; j < found.events.size(); ++j) {
                const double d = std::abs(found.events[j].distance - e.distance);
                if (!used[j] && d <= tol && (!best || d < std::abs(found.events[*best].distance - e.distance)))
                    best = j;
            }
            if (!best) {
                missed += e.codeLetter != 'A';
                continue;
            }
            used[*best] = true;
            matched += e.codeLetter != 'A';
            if (e.codeLetter != 'E' && k + 1 < stored->events.size() && e.loss != 0.0f && std::abs(e.loss) < 5.0f &&
                *best + 1 < found.events.size() && found.events[*best].loss != 0.0f) {
                ++losses;
                lossesClose += std::abs(e.loss - found.events[*best].loss) <= 0.05f;
            }
        }
        extra += static_cast<int>(std::count(used.begin() + 1, used.end(), false));
        if (const auto expected = endDistance(*stored)) {
            ++ends;
            const auto end = endDistance(found);
            endsFound += end && std::abs(*end - *expected) <= tol;
        }
    }
    ASSERT_GT(matched + missed, 1000) << "the corpus holds fewer events than expected";
    const double recall = matched / static_cast<double>(matched + missed);
    const double precision = matched / static_cast<double>(matched + extra);
    EXPECT_GE(recall, 0.895);
    EXPECT_GE(precision, 0.82);
    EXPECT_GE(endsFound, ends * 93 / 100) << endsFound << " of " << ends;
    EXPECT_GE(lossesClose, losses * 9 / 10) << lossesClose << " of " << losses;
    std::printf("recall %.4f, precision %.4f, ends %d/%d, losses within 0.05 dB %d/%d\n", recall, precision, endsFound,
                ends, lossesClose, losses);
}

// Files whose samples start before the front panel their event times count from: the front panel's
// offset (FxdParams) places their events on the trace, where the analysis finds them too, and a
// save keeps them there.
TEST(RealTraceAnalysis, EventsCountFromTheFrontPanelWhereTheTraceShowsIt)
{
    if (!QDir(corpusFolder()).exists())
        GTEST_SKIP() << "no corpus at " << corpusFolder().toStdString();
    const struct {
        const char *file;
        const char *shows;
    } cases[] = {
        {"otdrparser/issue14.sor", "526 samples before the front panel, more than FxdParams counts"},
        {"otdrparser/issue15b.sor", "526 samples before the front panel, more than FxdParams counts"},
        {"otdrparser/1310_0001.sor", "a front panel 100 ns into the samples"},
        {"otdrs/example3-anritsu-accessmastermt9085.sor", "a front panel 50 ns into the samples"},
    };
    for (const auto &c : cases) {
        const QString path = QDir(corpusFolder()).filePath(QString::fromUtf8(c.file));
        const auto stored = load(path);
        ASSERT_TRUE(stored) << c.file;
        ASSERT_GT(stored->frontPanelOffset, 0) << c.file;
        const double frontPanelM = stored->frontPanelOffset * 1e-10 * 299792458.0 / stored->refractiveIndex;
        EXPECT_NEAR(stored->eventTimeOrigin, frontPanelM, 0.01 * frontPanelM) << c.file << ": " << c.shows;
        // Placed from the first sample, hardly any of them lie where the analysis finds events.
        const TraceData found = analysed(*stored);
        int near = 0;
        for (size_t k = 1; k < stored->events.size(); ++k)
            near += std::any_of(found.events.begin() + 1, found.events.end(), [&](const TraceEvent &e) {
                return std::abs(e.distance - stored->events[k].distance) <= tolerance(*stored);
            });
        EXPECT_GE(2 * near, static_cast<int>(stored->events.size()) - 1) << c.file << ": " << c.shows;

        // Saved and read back, the events stay where they were.
        CSorFileBase sor;
        SorRecord record;
        traceToRecord(*stored, record);
        const QByteArray bytes = sor.SaveToBytes(record);
        SorRecord back;
        ASSERT_EQ(sor.ReadFromMemory(reinterpret_cast<const uint8_t *>(bytes.constData()), static_cast<size_t>(bytes.size()), back), 1);
        TraceData again;
        loadTrace(back, again, &QM7ZZZ_Acount_Total_Loss);
        ASSERT_EQ(again.events.size(), stored->events.size()) << c.file;
        for (size_t k = 0; k < again.events.size(); ++k)
            EXPECT_EQ(again.events[k].distance, stored->events[k].distance) << c.file << " event " << k;
    }
}

} // namespace
