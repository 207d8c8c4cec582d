// Speed of the event-analysis library on a 256,000-point trace, against one plain pass over the
// samples measured in the same run.

#include "analysis/QM7ZZZ.h"
#include "tools/gen/TraceGenerator.h"
#include "trace/TraceData.h"
#include "trace/TraceLoader.h"

#include <benchmark/benchmark.h>

#include <numeric>

namespace {

// A 120 km link at 1550 nm, 256,000 points; `sparse` keeps only the end, so that every fit
// spans the whole fibre (the slowest case for an insert).
const TraceData &link(bool sparse)
{
    static const auto make = [](bool onlyEnd) {
        gen::Options o;
        o.pointCount = 256000;
        o.pulseWidthNs = 1000;
        o.noiseFloorDb = 40.0;
        if (!onlyEnd) {
            for (int km = 10; km < 120; km += 10)
                o.events.push_back({km % 30 == 0 ? gen::EventKind::Connector : gen::EventKind::Splice, km * 1000.0,
                                    0.2, -50.0});
        }
        o.events.push_back({gen::EventKind::End, 120000.0, 0.0, -40.0});
        TraceData t;
        loadTrace(gen::generate(o).record, t, &QM7ZZZ_Acount_Total_Loss);
        eventsToEventList(t);
        return t;
    };
    static const TraceData withEvents = make(false);
    static const TraceData endOnly = make(true);
    return sparse ? endOnly : withEvents;
}

void BM_BaselineSumSamples(benchmark::State &state)
{
    const TraceData &t = link(false);
    for (auto _ : state) {
        const uint64_t sum = std::accumulate(t.samples.begin(), t.samples.end(), uint64_t{0});
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_BaselineSumSamples)->Unit(benchmark::kMicrosecond);

void BM_InsertEvent(benchmark::State &state)
{
    const TraceData &t = link(state.range(0) != 0);
    const int32_t at = static_cast<int32_t>(t.sampleCount / 2 + 123);
    for (auto _ : state) {
        const EventList out = QM7ZZZ_insertEvent(at, t.samples.data(), t.wavelengthNm, t.pulseWidthNs, t.sampleCount,
                                                 t.eventList, t.refractiveIndex, t.samplingFrequencyMHz, t.backscatter);
        benchmark::DoNotOptimize(out.count);
    }
}
BENCHMARK(BM_InsertEvent)->Arg(0)->Arg(1)->ArgName("endOnly")->Unit(benchmark::kMicrosecond);

void BM_DeleteEvent(benchmark::State &state)
{
    const TraceData &t = link(false);
    for (auto _ : state) {
        const EventList out = QM7ZZZ_deleteEvent(5, t.samples.data(), 1, t.pulseWidthNs, t.eventList,
                                                 t.refractiveIndex, t.samplingFrequencyMHz, 0.0f);
        benchmark::DoNotOptimize(out.count);
    }
}
BENCHMARK(BM_DeleteEvent)->Unit(benchmark::kMicrosecond);

void BM_TotalLoss(benchmark::State &state)
{
    const TraceData &t = link(false);
    for (auto _ : state) {
        EventList list = t.eventList;
        QM7ZZZ_Acount_Total_Loss(t.wavelengthNm, t.pulseWidthNs, t.samples.data(), &list, t.refractiveIndex,
                                 t.samplingFrequencyMHz);
        benchmark::DoNotOptimize(list.totalLoss[0]);
    }
}
BENCHMARK(BM_TotalLoss)->Unit(benchmark::kMicrosecond);

void BM_EventAnalysis(benchmark::State &state)
{
    const TraceData &t = link(false);
    for (auto _ : state) {
        const EventList out = QM7ZZZ_Event_Analysis(t.samples.data(), t.sampleCount, t.wavelengthNm, t.pulseWidthNs,
                                                    t.refractiveIndex, t.samplingFrequencyMHz, t.lossThreshold,
                                                    t.reflectanceThreshold, t.endThreshold, t.backscatter);
        benchmark::DoNotOptimize(out.count);
    }
}
BENCHMARK(BM_EventAnalysis)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
