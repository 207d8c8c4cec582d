// Reads arbitrary bytes as a SOR file, loads the record into a trace, saves the trace to memory
// and checks that the saved bytes read back with the same samples.
#include "trace/CSorFileBase.h"
#include "trace/TraceData.h"
#include "trace/TraceLoader.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Stands in for the event library: reads the sample at every event index, so an index outside
// the samples shows up under AddressSanitizer.
void touchingTotalLoss(int32_t, int32_t, const uint16_t *samples, EventList *list, float, float)
{
    float sum = 0.0f;
    for (int i = 0; i < list->count; ++i) {
        sum += static_cast<float>(samples[list->index[i]]) / 1000.0f;
        list->totalLoss[i] = sum;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CSorFileBase sor;
    SorRecord record;
    if (sor.ReadFromMemory(data, size, record) != SorResult::Done)
        return 0;
    checkSorChecksum(data, size);
    maximumLevel(record);

    TraceData trace;
    loadTrace(record, trace, touchingTotalLoss);
    eventsToEventList(trace);
    check(viewLevels(record, trace.sampleCount).size() == trace.sampleCount);
    recordUserOffset(record);

    SorRecord forSave;
    traceToRecord(trace, forSave);
    const QByteArray saved = sor.SaveToBytes(forSave);
    SorRecord back;
    check(sor.ReadFromMemory(reinterpret_cast<const uint8_t *>(saved.constData()), static_cast<size_t>(saved.size()),
                             back) == SorResult::Done);
    check(back.traces.size() == 1 && back.traces[0].points == trace.samples);
    check(back.events.size() == trace.events.size());
    return 0;
}
