// SOR reading, loading and saving on the 256,000-point sample, against a plain copy of the same
// bytes measured in the same run.
#include "trace/CSorFileBase.h"
#include "trace/TraceData.h"
#include "trace/TraceLoader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

// A record of 256,000 points, for when the sample file is not there.
SorRecord syntheticRecord()
{
    SorRecord r;
    SorTrace t;
    t.pointCount = 256000;
    t.points.resize(256000);
    for (size_t i = 0; i < t.points.size(); ++i)
        t.points[i] = static_cast<uint16_t>(20000 + (i * 37) % 30000);
    r.traces.push_back(std::move(t));
    r.refractiveIndex = 1.4682f;
    r.samplingFrequencyMHz = 12.5f;
    r.pulseWidthNs = 10000;
    r.wavelengthNm = 1550;
    for (int i = 0; i < 12; ++i) {
        SorEvent e;
        e.time = 50000 * (i + 1);
        e.code = "0F9999";
        e.technique = "LS";
        r.events.push_back(e);
    }
    return r;
}

const QByteArray &sampleBytes()
{
    static const QByteArray bytes = [] {
        QString source = qEnvironmentVariable("LUMIDOR_SOURCE_DIR");
        if (source.isEmpty())
            source = QStringLiteral(LUMIDOR_SOURCE_DIR_DEFAULT);
        QFile file(QDir(source).filePath(QStringLiteral("samples/long-120km-1550.sor")));
        if (file.open(QIODevice::ReadOnly))
            return file.readAll();
        return CSorFileBase().SaveToBytes(syntheticRecord());
    }();
    return bytes;
}

const uint8_t *data() { return reinterpret_cast<const uint8_t *>(sampleBytes().constData()); }
size_t size() { return static_cast<size_t>(sampleBytes().size()); }

void BM_Memcpy(benchmark::State &state)
{
    std::vector<uint8_t> target(size());
    for (auto _ : state) {
        std::memcpy(target.data(), data(), size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size()));
}
BENCHMARK(BM_Memcpy);

// Read from memory, convert into the record, load into a trace (no event library).
void BM_ReadConvertLoad(benchmark::State &state)
{
    CSorFileBase sor;
    TraceData trace;
    for (auto _ : state) {
        SorRecord record;
        if (sor.ReadFromMemory(data(), size(), record) != SorResult::Done)
            state.SkipWithError("sample not readable");
        loadTrace(std::move(record), trace, nullptr);
        benchmark::DoNotOptimize(trace.samples.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size()));
    state.counters["points"] = static_cast<double>(trace.sampleCount);
}
BENCHMARK(BM_ReadConvertLoad);

// Trace to record and the bytes of the saved file (what Save file writes before its fsync).
void BM_SaveToBytes(benchmark::State &state)
{
    CSorFileBase sor;
    SorRecord record;
    sor.ReadFromMemory(data(), size(), record);
    TraceData trace;
    loadTrace(std::move(record), trace, nullptr);
    size_t written = 0;
    SorRecord forSave; // reused, as the program reuses its current record
    for (auto _ : state) {
        traceToRecord(trace, forSave);
        const QByteArray bytes = sor.SaveToBytes(forSave);
        written = static_cast<size_t>(bytes.size());
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
}
BENCHMARK(BM_SaveToBytes);

// The same, written to a file in the temporary folder without the final fsync.
void BM_SaveToFileNoSync(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.sor"));
    CSorFileBase sor;
    SorRecord record;
    sor.ReadFromMemory(data(), size(), record);
    TraceData trace;
    loadTrace(std::move(record), trace, nullptr);
    size_t written = 0;
    SorRecord forSave;
    for (auto _ : state) {
        traceToRecord(trace, forSave);
        const QByteArray bytes = sor.SaveToBytes(forSave);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            state.SkipWithError("cannot write");
        written = static_cast<size_t>(bytes.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
}
BENCHMARK(BM_SaveToFileNoSync);

} // namespace

BENCHMARK_MAIN();
