// Report printing: one full report of the 256,000-point sample to a PDF, 200 traces (the three
// samples in turn) at eight a page to a PDF, and the curve of the long sample drawn with every
// sample against the per-column reduction. The baseline is reading and loading the long sample,
// measured in the same run; the PDF size is reported as a counter.

#include "print/DefaultCursorPair.h"
#include "print/ReportRenderer.h"
#include "textres/TextResources.h"
#include "trace/CSorFileBase.h"
#include "trace/TraceLoader.h"
#include "trace/TraceSet.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

QString sampleDir()
{
    const QByteArray dir = qgetenv("LUMIDOR_SOURCE_DIR");
    return QString::fromLocal8Bit(dir.isEmpty() ? QByteArray(LUMIDOR_SOURCE_DIR_DEFAULT) : dir) + QStringLiteral("/samples/");
}

const char *const sampleNames[] = {"patch-2km-1310.sor", "link-40km-1550.sor", "long-120km-1550.sor"};

bool loadSlot(const QString &path, TraceSlot &slot)
{
    CSorFileBase sor;
    SorRecord record;
    if (sor.ReadFile(path, record) != SorResult::Done || record.traces.empty())
        return false;
    loadTrace(std::move(record), *slot.trace, nullptr);
    slot.loaded = 1;
    slot.fileName = QFileInfo(path).fileName();
    const CursorPair c = defaultCursorPair(*slot.trace);
    slot.cursorADistance = c.aDistance;
    slot.cursorALevel = c.aLevel;
    slot.cursorBDistance = c.bDistance;
    slot.cursorBLevel = c.bLevel;
    return true;
}

ReportEnvironment benchEnvironment()
{
    ReportEnvironment env;
    env.labels = loadReportLabels([](int id) { return QStringLiteral("Label %1").arg(id); });
    env.fontTable = startupReportFontTable();
    env.settings.selfDefine = false;
    env.gridVisible = true;
    env.gridColour = 7890010;
    return env;
}

PrintJob jobOf(const std::vector<std::unique_ptr<TraceSlot>> &slots, const QString &printType)
{
    std::vector<const TraceSlot *> borrowed;
    for (const auto &s : slots)
        borrowed.push_back(s.get());
    return batchPrintJob(printType, std::move(borrowed));
}

void BM_Baseline_ReadLongSample(benchmark::State &state)
{
    const QString path = sampleDir() + QLatin1String(sampleNames[2]);
    for (auto _ : state) {
        TraceSlot slot;
        benchmark::DoNotOptimize(loadSlot(path, slot));
    }
}
BENCHMARK(BM_Baseline_ReadLongSample)->Unit(benchmark::kMillisecond);

void BM_FullReportLongSamplePdf(benchmark::State &state)
{
    std::vector<std::unique_ptr<TraceSlot>> slots;
    slots.push_back(std::make_unique<TraceSlot>());
    if (!loadSlot(sampleDir() + QLatin1String(sampleNames[2]), *slots[0])) {
        state.SkipWithError("sample not readable");
        return;
    }
    const ReportEnvironment env = benchEnvironment();
    const PrintJob job = jobOf(slots, QStringLiteral("0"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("one.pdf"));
    for (auto _ : state)
        benchmark::DoNotOptimize(writeReportPdf(path, job, env));
    state.counters["pdf_bytes"] = static_cast<double>(QFileInfo(path).size());
}
BENCHMARK(BM_FullReportLongSamplePdf)->Unit(benchmark::kMillisecond);

void BM_TwoHundredTracesEightAPagePdf(benchmark::State &state)
{
    const ReportEnvironment env = benchEnvironment();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("batch.pdf"));
    for (auto _ : state) {
        std::vector<std::unique_ptr<TraceSlot>> slots;
        for (int i = 0; i < 200; ++i) {
            slots.push_back(std::make_unique<TraceSlot>());
            loadSlot(sampleDir() + QLatin1String(sampleNames[i % 3]), *slots.back());
        }
        benchmark::DoNotOptimize(writeReportPdf(path, jobOf(slots, QStringLiteral("4")), env));
    }
    state.counters["pdf_bytes"] = static_cast<double>(QFileInfo(path).size());
}
BENCHMARK(BM_TwoHundredTracesEightAPagePdf)->Unit(benchmark::kMillisecond)->Iterations(3);

// The curve of the long sample in a full report's plot at 600 dpi, on an image.
void curveOnImage(benchmark::State &state, bool reduced)
{
    TraceSlot slot;
    if (!loadSlot(sampleDir() + QLatin1String(sampleNames[2]), slot)) {
        state.SkipWithError("sample not readable");
        return;
    }
    const TraceData &t = *slot.trace;
    const QRect q(300, 300, 4000, 1800);
    QImage image(4700, 2500, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter p(&image);
        p.setPen(QPen(Qt::black, 0));
        const std::vector<QPoint> points = reduced ? reducedCurvePoints(t.samples.data(), t.sampleCount, q)
                                                   : curvePoints(t.samples.data(), t.sampleCount, q);
        p.drawPolyline(points.data(), static_cast<int>(points.size()));
        state.counters["points"] = static_cast<double>(points.size());
    }
}
void BM_CurveEverySample(benchmark::State &state) { curveOnImage(state, false); }
void BM_CurveReduced(benchmark::State &state) { curveOnImage(state, true); }
BENCHMARK(BM_CurveEverySample)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurveReduced)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
