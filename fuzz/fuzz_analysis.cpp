// Feeds the event-analysis library arbitrary event lists, trace values and samples. The samples
// sit in a buffer of exactly the size each entry may read, so any read beyond it is caught.

#include "analysis/QM7ZZZ.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

template <typename T>
T take(const uint8_t *&data, size_t &size)
{
    T value{};
    const size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

bool valid(const EventList &list) { return list.count >= 0 && list.count <= EventList::capacity; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EventList list = take<EventList>(data, size);
    const auto index = take<int32_t>(data, size);
    const auto row = take<int32_t>(data, size);
    const auto pulse = take<int32_t>(data, size);
    const auto n = take<float>(data, size);
    const auto f = take<float>(data, size);
    const auto backscatter = take<float>(data, size);

    std::vector<uint16_t> samples(size / 2 + 1);
    std::memcpy(samples.data(), data, size / 2 * 2);
    const auto count = static_cast<uint32_t>(samples.size());
    // Keep the event indices within reach of a small buffer; negative ones stay negative.
    for (int32_t &i : list.index)
        i %= static_cast<int32_t>(count) + 8;

    const EventList inserted = QM7ZZZ_insertEvent(index, samples.data(), 1550, pulse, count, list, n, f, backscatter);
    if (valid(list) != valid(inserted))
        std::abort();

    // Delete and the cumulative loss are given no sample count: they may read up to the
    // largest event index, so the buffer holds exactly that many samples.
    int64_t limit = 0;
    if (valid(list))
        for (int k = 0; k < list.count; ++k)
            limit = list.index[k] + 1 > limit ? list.index[k] + 1 : limit;
    std::vector<uint16_t> exact(samples.begin(), samples.begin() + (limit < count ? limit : count));
    exact.resize(static_cast<size_t>(limit), 40000);
    const EventList deleted = QM7ZZZ_deleteEvent(row, exact.data(), 1, pulse, list, n, f, 0.0f);
    if (valid(list) != valid(deleted))
        std::abort();
    EventList totals = list;
    QM7ZZZ_Acount_Total_Loss(1550, pulse, exact.data(), &totals, n, f);

    const EventList found = QM7ZZZ_Event_Analysis(samples.data(), count, 1550, pulse, n, f, 0.05f, 65.0f, 3.0f, backscatter);
    if (!valid(found))
        std::abort();
    return 0;
}
