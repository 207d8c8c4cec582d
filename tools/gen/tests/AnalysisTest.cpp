#include "analysis/QM7ZZZ.h"
#include "tools/gen/TraceGenerator.h"
#include "trace/TraceData.h"
#include "trace/TraceLoader.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

// ---------------------------------------------------------------- hand-made traces

constexpr float groupIndex = 1.5f;
constexpr float frequencyMHz = 100.0f;      // spacing 0.999308 m
constexpr int32_t pulseNs = 30;             // 3 samples
const double spacingM = 299792458.0 / (1.5 * 100e6) / 2.0;

uint16_t rawOf(double levelDb) { return static_cast<uint16_t>(std::lround(65535.0 - levelDb * 1000.0)); }

// A noise-free fibre at 40 dB falling `slope` dB per sample, with steps of `loss` dB taking
// `pulse` samples to fall, starting at each step index.
std::vector<uint16_t> fibre(int count, double slope, const std::vector<std::pair<int, double>> &steps, int pulse = 3)
{
    std::vector<uint16_t> raw(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        double level = 40.0 - slope * i;
        for (const auto &[at, loss] : steps)
            level -= loss * std::clamp((i - at + 1) / static_cast<double>(pulse), 0.0, 1.0);
        raw[static_cast<size_t>(i)] = rawOf(level);
    }
    return raw;
}

EventList listOf(const std::vector<int> &indices, const std::vector<char> &letters = {})
{
    EventList list = resetEventList();
    list.count = static_cast<int32_t>(indices.size());
    for (size_t i = 0; i < indices.size(); ++i) {
        list.index[i] = indices[i];
        list.codeLetter[i] = i < letters.size() ? letters[i] : 'F';
    }
    return list;
}

bool sameBytes(const EventList &a, const EventList &b) { return std::memcmp(&a, &b, sizeof a) == 0; }

EventList insertAt(int32_t index, const std::vector<uint16_t> &raw, const EventList &list, float backscatter = -81.0f)
{
    return QM7ZZZ_insertEvent(index, raw.data(), 1550, pulseNs, static_cast<uint32_t>(raw.size()), list,
                              groupIndex, frequencyMHz, backscatter);
}

TEST(AnalysisInsert, MeasuresStepLossAndSlopeOnCleanFibre)
{
    const double slope = 0.0002; // dB per sample: 0.2001 dB/km at this spacing
    const auto raw = fibre(4000, slope, {{1500, 0.35}, {3000, 0.8}});
    const EventList before = listOf({0, 3000}, {'S', 'F'});
    const EventList after = insertAt(1500, raw, before);

    ASSERT_EQ(after.count, 3);
    EXPECT_EQ(after.index[1], 1500);
    EXPECT_EQ(after.codeLetter[1], 'A');
    EXPECT_EQ(after.typeDigit[1], 0);
    EXPECT_EQ(after.reflectance[1], 0.0f);
    EXPECT_NEAR(after.loss[1], 0.35, 0.002);
    const double dbPerKm = slope / spacingM * 1000.0;
    EXPECT_NEAR(after.attenuation[1], dbPerKm, 0.002);
    // The event after it lost half its section and is measured again on the rest.
    EXPECT_EQ(after.index[2], 3000);
    EXPECT_NEAR(after.loss[2], 0.8, 0.002);
    EXPECT_NEAR(after.attenuation[2], dbPerKm, 0.002);
    // Cumulative: fibre up to each event plus the losses before it; the last event, with no
    // event marked E, is the fibre end, whose own loss is no loss of the link.
    EXPECT_NEAR(after.totalLoss[1], dbPerKm * 1501 * spacingM / 1000.0 + 0.35, 0.005);
    EXPECT_NEAR(after.totalLoss[2], dbPerKm * 3001 * spacingM / 1000.0 + 0.35, 0.005);
}

TEST(AnalysisInsert, KeepsDistanceOrderWhereverTheEventGoes)
{
    const auto raw = fibre(3000, 0.0001, {{700, 0.2}, {1400, 0.2}, {2100, 0.2}});
    const EventList list = listOf({0, 1400, 2500}, {'S', 'F', 'E'});
    for (int32_t at : {700, 2100, 2800}) {
        const EventList out = insertAt(at, raw, list);
        ASSERT_EQ(out.count, 4) << at;
        for (int i = 1; i < out.count; ++i)
            EXPECT_LT(out.index[i - 1], out.index[i]) << at;
        int added = 0;
        for (int i = 0; i < out.count; ++i)
            added += out.codeLetter[i] == 'A' && out.index[i] == at;
        EXPECT_EQ(added, 1) << at;
    }
}

TEST(AnalysisInsert, ReflectivePeakGivesReflectance)
{
    // A 3-sample plateau 4 dB above the backscatter and no loss across it.
    auto raw = fibre(3000, 0.0001, {});
    for (int i = 1200; i < 1203; ++i)
        raw[static_cast<size_t>(i)] = rawOf(40.0 - 0.0001 * i + 4.0);
    const EventList out = insertAt(1200, raw, listOf({0}, {'S'}), -80.0f);
    ASSERT_EQ(out.count, 2);
    EXPECT_EQ(out.typeDigit[1], 1);
    const double expected = -80.0 + 10.0 * std::log10(30.0) + 10.0 * std::log10(std::pow(10.0, 4.0 / 5.0) - 1.0);
    EXPECT_NEAR(out.reflectance[1], expected, 0.05);
    EXPECT_NEAR(out.loss[1], 0.0, 0.002);
}

TEST(AnalysisInsert, MissingBackscatterTakesTypicalValue)
{
    auto raw = fibre(3000, 0.0001, {});
    for (int i = 1200; i < 1203; ++i)
        raw[static_cast<size_t>(i)] = rawOf(40.0 - 0.0001 * i + 4.0);
    const EventList withZero = insertAt(1200, raw, listOf({0}, {'S'}), 0.0f);
    const EventList withTypical = insertAt(1200, raw, listOf({0}, {'S'}), -81.5f);
    EXPECT_TRUE(std::isfinite(withZero.reflectance[1]));
    EXPECT_FLOAT_EQ(withZero.reflectance[1], withTypical.reflectance[1]);
}

// Every argument the library cannot trust returns the list as it came.
TEST(AnalysisInsert, UnusableArgumentsReturnListUnchanged)
{
    const auto raw = fibre(2000, 0.0001, {{1000, 0.3}});
    const EventList list = listOf({0, 1500}, {'S', 'E'});
    EventList full = listOf(std::vector<int>(100, 0));
    for (int i = 0; i < 100; ++i)
        full.index[i] = i * 10;
    EventList negative = list;
    negative.count = -1;
    EventList oversized = list;
    oversized.count = 101;
    const uint32_t n = static_cast<uint32_t>(raw.size());
    struct Case {
        const char *name;
        EventList in;
        EventList out;
    } cases[] = {
        {"null samples", list, QM7ZZZ_insertEvent(1000, nullptr, 1550, pulseNs, n, list, groupIndex, frequencyMHz, -81)},
        {"index negative", list, QM7ZZZ_insertEvent(-1, raw.data(), 1550, pulseNs, n, list, groupIndex, frequencyMHz, -81)},
        {"index at count", list, QM7ZZZ_insertEvent(2000, raw.data(), 1550, pulseNs, n, list, groupIndex, frequencyMHz, -81)},
        {"index beyond count", list, QM7ZZZ_insertEvent(100000, raw.data(), 1550, pulseNs, n, list, groupIndex, frequencyMHz, -81)},
        {"n zero", list, QM7ZZZ_insertEvent(1000, raw.data(), 1550, pulseNs, n, list, 0.0f, frequencyMHz, -81)},
        {"n negative", list, QM7ZZZ_insertEvent(1000, raw.data(), 1550, pulseNs, n, list, -1.5f, frequencyMHz, -81)},
        {"f zero", list, QM7ZZZ_insertEvent(1000, raw.data(), 1550, pulseNs, n, list, groupIndex, 0.0f, -81)},
        {"f not a number", list, QM7ZZZ_insertEvent(1000, raw.data(), 1550, pulseNs, n, list, groupIndex, NAN, -81)},
        {"count negative", negative, QM7ZZZ_insertEvent(1000, raw.data(), 1550, pulseNs, n, negative, groupIndex, frequencyMHz, -81)},
        {"count above 100", oversized, QM7ZZZ_insertEvent(1000, raw.data(), 1550, pulseNs, n, oversized, groupIndex, frequencyMHz, -81)},
        {"list full", full, QM7ZZZ_insertEvent(1005, raw.data(), 1550, pulseNs, n, full, groupIndex, frequencyMHz, -81)},
        {"event already there", list, QM7ZZZ_insertEvent(1500, raw.data(), 1550, pulseNs, n, list, groupIndex, frequencyMHz, -81)},
    };
    for (const Case &c : cases)
        EXPECT_TRUE(sameBytes(c.in, c.out)) << c.name;
}

// ---------------------------------------------------------------- samples that end at a wall

// Samples placed so that the first byte after them is an inaccessible page: reading one sample
// too far ends the test with a fault.
class GuardedSamples {
public:
    explicit GuardedSamples(const std::vector<uint16_t> &values)
    {
        page_ = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        const size_t bytes = values.size() * sizeof(uint16_t);
        dataPages_ = (bytes + page_ - 1) / page_ + 1;
        base_ = static_cast<char *>(mmap(nullptr, (dataPages_ + 1) * page_, PROT_READ | PROT_WRITE,
                                         MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        mprotect(base_ + dataPages_ * page_, page_, PROT_NONE);
        data_ = reinterpret_cast<uint16_t *>(base_ + dataPages_ * page_ - bytes);
        std::memcpy(data_, values.data(), bytes);
    }
    ~GuardedSamples() { munmap(base_, (dataPages_ + 1) * page_); }
    GuardedSamples(const GuardedSamples &) = delete;
    GuardedSamples &operator=(const GuardedSamples &) = delete;
    const uint16_t *data() const { return data_; }

private:
    size_t page_ = 0;
    size_t dataPages_ = 0;
    char *base_ = nullptr;
    uint16_t *data_ = nullptr;
};

TEST(AnalysisDelete, RowNumbersCountFromTheEventAfterTheStart)
{
    const auto raw = fibre(4000, 0.0002, {{1000, 0.3}, {2000, 0.5}, {3000, 0.4}});
    const EventList list = listOf({0, 1000, 2000, 3000}, {'S', 'F', 'F', 'E'});
    // Row 1 is the event at 2000: it goes. The event at 1000 keeps its loss (measured next to
    // it), while the end's section now holds the unmarked step, which tilts its slope.
    const EventList out = QM7ZZZ_deleteEvent(1, raw.data(), 1, pulseNs, list, groupIndex, frequencyMHz, 0.0f);
    ASSERT_EQ(out.count, 3);
    EXPECT_EQ(out.index[0], 0);
    EXPECT_EQ(out.index[1], 1000);
    EXPECT_EQ(out.index[2], 3000);
    EXPECT_EQ(out.codeLetter[2], 'E');
    EXPECT_NEAR(out.loss[1], 0.3, 0.002);
    // The section 1000..3000 now holds the 0.5 dB step: its fitted slope rises.
    EXPECT_GT(out.attenuation[2], 0.0002 / spacingM * 1000.0 + 0.1);
    EXPECT_EQ(out.index[3], 0);
    EXPECT_NEAR(out.totalLoss[2], out.totalLoss[1] + out.attenuation[2] * 2000 * spacingM / 1000.0 + out.loss[2], 0.002);
}

TEST(AnalysisDelete, OutOfRangeRowsReturnListUnchanged)
{
    const auto raw = fibre(4000, 0.0002, {{1000, 0.3}});
    const EventList list = listOf({0, 1000, 3000}, {'S', 'F', 'E'});
    for (int32_t row : {-1, 2, 3, 1000}) {
        const EventList out = QM7ZZZ_deleteEvent(row, raw.data(), 1, pulseNs, list, groupIndex, frequencyMHz, 0.0f);
        EXPECT_TRUE(sameBytes(out, list)) << row;
    }
    EXPECT_TRUE(sameBytes(QM7ZZZ_deleteEvent(0, nullptr, 1, pulseNs, list, groupIndex, frequencyMHz, 0.0f), list));
    EXPECT_TRUE(sameBytes(QM7ZZZ_deleteEvent(0, raw.data(), 1, pulseNs, list, 0.0f, frequencyMHz, 0.0f), list));
    EXPECT_TRUE(sameBytes(QM7ZZZ_deleteEvent(0, raw.data(), 1, pulseNs, list, groupIndex, -5.0f, 0.0f), list));
}

TEST(AnalysisDelete, ReadsNoSampleBeyondTheLastEvent)
{
    // The samples end right after the last event's index; the page after them is unreadable.
    const auto raw = fibre(3001, 0.0002, {{1000, 0.3}, {2000, 0.5}});
    const GuardedSamples guarded(raw);
    const EventList list = listOf({0, 1000, 2000, 3000}, {'S', 'F', 'F', 'F'});
    for (int32_t row : {0, 1, 2}) {
        const EventList out = QM7ZZZ_deleteEvent(row, guarded.data(), 1, pulseNs, list, groupIndex, frequencyMHz, 0.0f);
        EXPECT_EQ(out.count, 3) << row;
    }
    EventList totals = list;
    QM7ZZZ_Acount_Total_Loss(1550, pulseNs, guarded.data(), &totals, groupIndex, frequencyMHz);
    EXPECT_GT(totals.totalLoss[3], 0.5f);
}

TEST(AnalysisInsert, ReadsNoSampleBeyondTheCount)
{
    const auto raw = fibre(3000, 0.0002, {{1000, 0.3}, {2999, 0.5}});
    const GuardedSamples guarded(raw);
    const EventList list = listOf({0, 1000}, {'S', 'F'});
    for (int32_t at : {2990, 2999}) {
        const EventList out = QM7ZZZ_insertEvent(at, guarded.data(), 1550, pulseNs, 3000, list, groupIndex, frequencyMHz, -81);
        EXPECT_EQ(out.count, 3) << at;
    }
}

// ---------------------------------------------------------------- cumulative loss

TEST(AnalysisTotalLoss, FibreLossOfSectionsPlusEventLosses)
{
    EventList list = listOf({0, 999, 2999}, {'S', 'F', 'E'});
    list.loss[0] = 0.1f;
    list.loss[1] = 0.25f;
    list.loss[2] = 0.5f;
    list.attenuation[1] = 0.2f;
    list.attenuation[2] = 0.3f;
    QM7ZZZ_Acount_Total_Loss(1550, pulseNs, nullptr, &list, groupIndex, frequencyMHz);
    const double km = spacingM / 1000.0;
    EXPECT_NEAR(list.totalLoss[0], 0.1, 1e-6);
    EXPECT_NEAR(list.totalLoss[1], 0.1 + 0.2 * 999 * km + 0.25, 1e-5);
    // The end's 0.5 dB is the drop into the noise, not a loss of the link.
    EXPECT_NEAR(list.totalLoss[2], 0.1 + 0.2 * 999 * km + 0.25 + 0.3 * 2000 * km, 1e-5);
}

// Which stored losses count, on a 3 km fibre at 0.2 dB/km with a 0.3 dB splice at 1 km: the
// fibre end's total is 0.6 + 0.3 dB whatever the instrument stored at the start and the end.
TEST(AnalysisTotalLoss, LevelsStoredAsLossesAreNoLossOfTheLink)
{
    struct Case {
        const char *name;
        std::vector<int> indices;
        std::vector<char> letters;
        std::vector<float> losses;
        double endTotal;
    };
    const double fibre = 0.2 * 3000 * spacingM / 1000.0;
    const Case cases[] = {
        {"launch level at the start", {0, 1000, 3000}, {'F', 'A', 'E'}, {-13.946f, 0.3f, 24.997f}, fibre + 0.3},
        {"positive launch level, twice", {0, 5, 1000, 3000}, {'F', 'F', 'A', 'E'}, {24.6f, 24.6f, 0.3f, 0.0f}, fibre + 0.3},
        {"start connector counts", {0, 1000, 3000}, {'F', 'A', 'E'}, {0.8f, 0.3f, 20.0f}, fibre + 0.3 + 0.8},
        {"no E: the last event ends the fibre", {0, 1000, 3000}, {'F', 'A', 'D'}, {-21.9f, 0.3f, -26.9f}, fibre + 0.3},
        {"a large loss in the middle counts", {0, 1000, 3000}, {'F', 'A', 'E'}, {0.0f, 5.664f, 23.5f}, fibre + 5.664},
        {"a gain of more than 5 dB is a level", {0, 1000, 2000, 3000}, {'F', 'A', 'A', 'E'}, {0.0f, 0.3f, -12.0f, 3.0f}, fibre + 0.3},
        {"a small gain counts", {0, 1000, 2000, 3000}, {'F', 'A', 'A', 'E'}, {0.0f, 0.3f, -0.1f, 3.0f}, fibre + 0.2},
    };
    for (const Case &c : cases) {
        EventList list = listOf(c.indices, c.letters);
        for (size_t i = 0; i < c.losses.size(); ++i) {
            list.loss[i] = c.losses[i];
            list.attenuation[i] = i == 0 ? 0.0f : 0.2f;
        }
        QM7ZZZ_Acount_Total_Loss(1550, pulseNs, nullptr, &list, groupIndex, frequencyMHz);
        EXPECT_NEAR(list.totalLoss[list.count - 1], c.endTotal, 1e-4) << c.name;
        for (int i = 0; i < list.count; ++i)
            EXPECT_LE(list.totalLoss[i], c.endTotal + 0.5) << c.name << " event " << i;
    }
}

TEST(AnalysisTotalLoss, EventsPastTheFibreEndKeepItsTotal)
{
    // A reflection after the end (a ghost or a second fibre in the noise) adds nothing.
    EventList list = listOf({0, 1000, 2000, 3000}, {'F', 'E', 'F', 'F'});
    list.loss[0] = 0.8f;
    list.loss[2] = 0.4f;
    list.loss[3] = 0.4f;
    for (int i = 1; i < 4; ++i)
        list.attenuation[i] = 0.39f;
    QM7ZZZ_Acount_Total_Loss(1550, pulseNs, nullptr, &list, groupIndex, frequencyMHz);
    EXPECT_NEAR(list.totalLoss[1], 0.8 + 0.39 * 1000 * spacingM / 1000.0, 1e-5);
    EXPECT_EQ(list.totalLoss[2], list.totalLoss[1]);
    EXPECT_EQ(list.totalLoss[3], list.totalLoss[1]);
}

TEST(AnalysisTotalLoss, MissingAttenuationIsMeasuredFromTheSamples)
{
    const double slope = 0.0002;
    const auto raw = fibre(3001, slope, {{1000, 0.3}});
    EventList list = listOf({0, 1000, 3000}, {'S', 'F', 'E'});
    list.loss[1] = 0.3f;
    QM7ZZZ_Acount_Total_Loss(1550, pulseNs, raw.data(), &list, groupIndex, frequencyMHz);
    EXPECT_NEAR(list.totalLoss[2], slope * 3000 + 0.3, 0.01);
}

TEST(AnalysisTotalLoss, UnusableArgumentsLeaveTheListAlone)
{
    EventList list = listOf({0, 1000}, {'S', 'E'});
    list.loss[1] = 1.0f;
    const EventList copy = list;
    QM7ZZZ_Acount_Total_Loss(1550, pulseNs, nullptr, nullptr, groupIndex, frequencyMHz);
    QM7ZZZ_Acount_Total_Loss(1550, pulseNs, nullptr, &list, 0.0f, frequencyMHz);
    QM7ZZZ_Acount_Total_Loss(1550, pulseNs, nullptr, &list, groupIndex, 0.0f);
    EXPECT_TRUE(sameBytes(list, copy));
    list.count = 500;
    const EventList huge = list;
    QM7ZZZ_Acount_Total_Loss(1550, pulseNs, nullptr, &list, groupIndex, frequencyMHz);
    EXPECT_TRUE(sameBytes(list, huge));
}

TEST(AnalysisVersion, ReportsOnePointZero)
{
    EXPECT_EQ(QM7ZZZ_algorithm_Version(), 10000);
}

// ---------------------------------------------------------------- generated traces

// A trace from the generator, loaded as the program loads a file.
struct Generated {
    gen::Trace trace;
    TraceData data;
};

Generated generated(const gen::Options &options)
{
    Generated g{gen::generate(options), {}};
    loadTrace(g.trace.record, g.data, &QM7ZZZ_Acount_Total_Loss);
    eventsToEventList(g.data);
    return g;
}

gen::Options linkOptions()
{
    gen::Options o;
    o.wavelengthNm = 1550;
    o.pulseWidthNs = 100;
    o.pointCount = 32000;
    o.backscatterDb = -81.0;
    o.events = {
        {gen::EventKind::Splice, 4000.0, 0.10, 0.0},
        {gen::EventKind::Connector, 9000.0, 0.50, -45.0},
        {gen::EventKind::Splice, 15000.0, 0.30, 0.0},
        {gen::EventKind::Connector, 21000.0, 0.25, -55.0},
        {gen::EventKind::Splice, 26000.0, 0.15, 0.0},
        {gen::EventKind::End, 30000.0, 0.0, -40.0}, // below the receiver's saturation
    };
    return o;
}

double pulseLengthM(const TraceData &t) { return 299792458.0 * t.pulseWidthNs * 1e-9 / (2.0 * t.refractiveIndex); }

double trueTotalAt(const gen::Trace &t, size_t k, double attenuation)
{
    double total = attenuation * t.truth[k].distanceM / 1000.0;
    for (size_t i = 0; i <= k; ++i)
        total += t.truth[i].lossDb;
    return total;
}

TEST(AnalysisAccuracy, DeletedEventMeasuresBackWhenAddedAgain)
{
    struct Config {
        int wavelengthNm;
        int pulseWidthNs;
        uint32_t seed;
    } configs[] = {{1550, 100, 1}, {1550, 100, 2}, {1550, 1000, 3}, {1310, 300, 4}, {1625, 300, 5}};
    for (const Config &config : configs) {
        gen::Options o = linkOptions();
        o.wavelengthNm = config.wavelengthNm;
        o.pulseWidthNs = config.pulseWidthNs;
        o.attenuationDbPerKm = gen::typicalAttenuationDbPerKm(config.wavelengthNm);
        o.backscatterDb = gen::typicalBackscatterDb(config.wavelengthNm);
        o.seed = config.seed;
        const uint32_t seed = config.seed;
        const Generated g = generated(o);
        const TraceData &t = g.data;
        ASSERT_EQ(t.eventList.count, 6);
        for (int row = 0; row + 1 < 5; ++row) {
            const int k = row + 1; // the generated file has no start event: entry 0 is the first splice
            const EventList removed = QM7ZZZ_deleteEvent(row, t.samples.data(), 1, t.pulseWidthNs, t.eventList,
                                                         t.refractiveIndex, t.samplingFrequencyMHz, 0.0f);
            ASSERT_EQ(removed.count, 5);
            const EventList back = QM7ZZZ_insertEvent(t.eventList.index[k], t.samples.data(), t.wavelengthNm,
                                                      t.pulseWidthNs, t.sampleCount, removed, t.refractiveIndex,
                                                      t.samplingFrequencyMHz, t.backscatter);
            ASSERT_EQ(back.count, 6);
            const gen::PlannedEvent &truth = g.trace.truth[static_cast<size_t>(k)];
            EXPECT_NEAR(back.loss[k], truth.lossDb, 0.05) << "seed " << seed << " event " << k;
            EXPECT_EQ(back.typeDigit[k], truth.kind == gen::EventKind::Connector ? 1 : 0) << k;
            if (truth.kind == gen::EventKind::Connector) {
                EXPECT_NEAR(back.reflectance[k], truth.reflectanceDb, 2.0) << "seed " << seed << " event " << k;
            }
            EXPECT_NEAR(back.attenuation[k], o.attenuationDbPerKm, 0.02) << k;
            // Neighbours measured again from the trace agree with the truth too.
            EXPECT_NEAR(back.loss[k - 1], g.trace.truth[static_cast<size_t>(k - 1)].lossDb, 0.05) << k;
            EXPECT_NEAR(back.loss[k + 1], g.trace.truth[static_cast<size_t>(k + 1)].lossDb, 0.05) << k;
            EXPECT_NEAR(back.totalLoss[5], trueTotalAt(g.trace, 5, o.attenuationDbPerKm), 0.1) << k;
        }
    }
}

// A cursor is rarely on the exact sample: up to a pulse length either side of the event the
// lines still come from clean backscatter.
TEST(AnalysisAccuracy, CursorOffByUpToAPulseLength)
{
    const Generated g = generated(linkOptions());
    const TraceData &t = g.data;
    const double pulse = t.pulseWidthNs * t.samplingFrequencyMHz / 1000.0; // samples
    for (int k : {1, 2}) { // a connector and a splice
        const EventList removed = QM7ZZZ_deleteEvent(k - 1, t.samples.data(), 1, t.pulseWidthNs, t.eventList,
                                                     t.refractiveIndex, t.samplingFrequencyMHz, 0.0f);
        const gen::PlannedEvent &truth = g.trace.truth[static_cast<size_t>(k)];
        for (double offset : {-1.0, -0.5, 0.5, 1.0}) {
            const auto at = t.eventList.index[k] + static_cast<int32_t>(std::lround(offset * pulse));
            const EventList back = QM7ZZZ_insertEvent(at, t.samples.data(), t.wavelengthNm, t.pulseWidthNs,
                                                      t.sampleCount, removed, t.refractiveIndex,
                                                      t.samplingFrequencyMHz, t.backscatter);
            ASSERT_EQ(back.index[k], at);
            EXPECT_NEAR(back.loss[k], truth.lossDb, 0.05) << "event " << k << " offset " << offset;
            if (truth.kind == gen::EventKind::Connector) {
                EXPECT_NEAR(back.reflectance[k], truth.reflectanceDb, 2.0) << "offset " << offset;
            }
        }
    }
}

// A splice closer behind a connector than the connector's dead zone cannot be measured on its
// own: the connector takes the loss of both and the splice 0, so the cumulative loss stays
// right. Further apart each gets its own.
TEST(AnalysisAccuracy, EventsInsideADeadZoneShareOneLoss)
{
    struct Case {
        double pulsesApart;
        double connectorLoss;
        double spliceLoss;
    } cases[] = {{2.0, 0.8, 0.0}, {4.0, 0.8, 0.0}, {10.0, 0.5, 0.3}};
    for (const Case &c : cases) {
        gen::Options o;
        o.pointCount = 32000;
        const double pulseM = 299792458.0 * o.pulseWidthNs * 1e-9 / (2.0 * o.groupIndex);
        o.events = {{gen::EventKind::Connector, 9000.0, 0.5, -45.0},
                    {gen::EventKind::Splice, 9000.0 + c.pulsesApart * pulseM, 0.3, 0.0},
                    {gen::EventKind::End, 20000.0, 0.0, -40.0}};
        const Generated g = generated(o);
        const TraceData &t = g.data;
        ASSERT_EQ(t.eventList.count, 3);
        for (int k : {0, 1}) {
            // Entry 0 cannot be deleted through the library; take it out by hand.
            EventList without = t.eventList;
            for (int i = k; i + 1 < without.count; ++i) {
                without.index[i] = without.index[i + 1];
                without.typeDigit[i] = without.typeDigit[i + 1];
                without.reflectance[i] = without.reflectance[i + 1];
                without.loss[i] = without.loss[i + 1];
                without.attenuation[i] = without.attenuation[i + 1];
                without.codeLetter[i] = without.codeLetter[i + 1];
            }
            without.count = 2;
            const EventList back = QM7ZZZ_insertEvent(t.eventList.index[k], t.samples.data(), t.wavelengthNm,
                                                      t.pulseWidthNs, t.sampleCount, without, t.refractiveIndex,
                                                      t.samplingFrequencyMHz, t.backscatter);
            ASSERT_EQ(back.count, 3);
            EXPECT_NEAR(back.loss[0], c.connectorLoss, 0.05) << c.pulsesApart << " pulses, added " << k;
            EXPECT_NEAR(back.loss[1], c.spliceLoss, 0.05) << c.pulsesApart << " pulses, added " << k;
            EXPECT_NEAR(back.totalLoss[2], 0.19 * 20.0 + 0.8, 0.1) << c.pulsesApart << " pulses, added " << k;
        }
    }
}

TEST(AnalysisAccuracy, CumulativeLossOfALoadedFile)
{
    const Generated g = generated(linkOptions());
    ASSERT_EQ(g.data.events.size(), 6u);
    for (size_t k = 0; k < 6; ++k)
        EXPECT_NEAR(g.data.events[k].totalLoss, trueTotalAt(g.trace, k, 0.19), 0.1) << k;
}

TEST(AnalysisDetection, FindsEveryPlannedEvent)
{
    for (uint32_t seed : {1u, 2u}) {
        gen::Options o = linkOptions();
        o.seed = seed;
        const Generated g = generated(o);
        const TraceData &t = g.data;
        const EventList found = QM7ZZZ_Event_Analysis(t.samples.data(), t.sampleCount, t.wavelengthNm, t.pulseWidthNs,
                                                      t.refractiveIndex, t.samplingFrequencyMHz, t.lossThreshold,
                                                      t.reflectanceThreshold, t.endThreshold, t.backscatter);
        const double spacing = t.sampleSpacing;
        ASSERT_EQ(found.count, 1 + static_cast<int>(g.trace.truth.size())) << "seed " << seed;
        EXPECT_EQ(found.codeLetter[0], 'S');
        EXPECT_EQ(found.index[0], 0);
        for (size_t k = 0; k < g.trace.truth.size(); ++k) {
            const gen::PlannedEvent &truth = g.trace.truth[k];
            const int i = static_cast<int>(k) + 1;
            const double distance = (found.index[i] + 1) * spacing;
            EXPECT_NEAR(distance, truth.distanceM, pulseLengthM(t)) << "seed " << seed << " event " << k;
            EXPECT_EQ(found.typeDigit[i], truth.kind == gen::EventKind::Splice ? 0 : 1) << k;
            if (truth.kind == gen::EventKind::End) {
                EXPECT_EQ(found.codeLetter[i], 'E');
            } else {
                EXPECT_EQ(found.codeLetter[i], 'F');
                EXPECT_NEAR(found.loss[i], truth.lossDb, 0.05) << "seed " << seed << " event " << k;
            }
            if (truth.kind != gen::EventKind::Splice) {
                EXPECT_NEAR(found.reflectance[i], truth.reflectanceDb, 2.0) << "seed " << seed << " event " << k;
            }
        }
        EXPECT_NEAR(found.totalLoss[found.count - 1], trueTotalAt(g.trace, g.trace.truth.size() - 1, 0.19), 0.1);
    }
}

// A long pulse draws a splice as a ramp a pulse long (250 m at 2500 ns), which noise makes
// hard to see start: the splice is placed from the ramp's middle, within a fifth of a pulse,
// where its foot would wander by a pulse or more.
TEST(AnalysisDetection, SplicesUnderALongPulseLieWhereTheRampBegins)
{
    for (uint32_t seed : {1u, 2u, 3u}) {
        gen::Options o;
        o.pulseWidthNs = 2500;
        o.pointCount = 16000;
        o.noiseFloorDb = 16;
        o.averages = 100;
        o.seed = seed;
        o.events = {{gen::EventKind::Splice, 20000.0, 0.15, 0.0},
                    {gen::EventKind::Splice, 35000.0, 0.30, 0.0},
                    {gen::EventKind::Splice, 50000.0, -0.12, 0.0},
                    {gen::EventKind::End, 70000.0, 0.0, -40.0}};
        const Generated g = generated(o);
        const TraceData &t = g.data;
        const EventList found = QM7ZZZ_Event_Analysis(t.samples.data(), t.sampleCount, t.wavelengthNm, t.pulseWidthNs,
                                                      t.refractiveIndex, t.samplingFrequencyMHz, t.lossThreshold,
                                                      t.reflectanceThreshold, t.endThreshold, t.backscatter);
        ASSERT_EQ(found.count, 1 + static_cast<int>(g.trace.truth.size())) << "seed " << seed;
        for (size_t k = 0; k + 1 < g.trace.truth.size(); ++k) {
            const int i = static_cast<int>(k) + 1;
            const double distance = (found.index[i] + 1) * t.sampleSpacing;
            EXPECT_NEAR(distance, g.trace.truth[k].distanceM, 0.2 * pulseLengthM(t)) << "seed " << seed << " splice " << k;
            EXPECT_NEAR(found.loss[i], g.trace.truth[k].lossDb, 0.05) << "seed " << seed << " splice " << k;
        }
    }
}

// The loss threshold decides which splices count: 0.1 and 0.3 dB steps on a fibre that runs
// past the end of the trace (no fall into noise, so no end event).
TEST(AnalysisDetection, LossThresholdAndNoEndWithoutNoise)
{
    const auto raw = fibre(6000, 0.0002, {{2000, 0.1}, {4000, 0.3}});
    struct Case {
        float threshold;
        std::vector<int> expected; // event indices after the start
    } cases[] = {{0.05f, {2000, 4000}}, {0.2f, {4000}}, {0.5f, {}}};
    for (const Case &c : cases) {
        const EventList found = QM7ZZZ_Event_Analysis(raw.data(), 6000, 1550, pulseNs, groupIndex, frequencyMHz,
                                                      c.threshold, 65.0f, 3.0f, -81.0f);
        // No fall into the noise, so no end: the last sample is where the acquisition ran out (O).
        ASSERT_EQ(found.count, 2 + static_cast<int>(c.expected.size())) << c.threshold;
        for (size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_NEAR(found.index[i + 1], c.expected[i], 3) << c.threshold;
            EXPECT_EQ(found.codeLetter[i + 1], 'F');
        }
        EXPECT_EQ(found.index[found.count - 1], 5999) << c.threshold;
        EXPECT_EQ(found.codeLetter[found.count - 1], 'O') << c.threshold;
    }
}

TEST(AnalysisDetection, UnusableArgumentsGiveAnEmptyList)
{
    const auto raw = fibre(2000, 0.0001, {{1000, 0.3}});
    EXPECT_EQ(QM7ZZZ_Event_Analysis(nullptr, 2000, 1550, pulseNs, groupIndex, frequencyMHz, 0, 0, 0, 0).count, 0);
    EXPECT_EQ(QM7ZZZ_Event_Analysis(raw.data(), 0, 1550, pulseNs, groupIndex, frequencyMHz, 0, 0, 0, 0).count, 0);
    EXPECT_EQ(QM7ZZZ_Event_Analysis(raw.data(), 2000, 1550, pulseNs, 0.0f, frequencyMHz, 0, 0, 0, 0).count, 0);
    EXPECT_EQ(QM7ZZZ_Event_Analysis(raw.data(), 2000, 1550, pulseNs, groupIndex, -1.0f, 0, 0, 0, 0).count, 0);
    // A trace too short for any window still gives the start event and nothing more.
    const EventList tiny = QM7ZZZ_Event_Analysis(raw.data(), 5, 1550, pulseNs, groupIndex, frequencyMHz, 0, 0, 0, 0);
    EXPECT_EQ(tiny.count, 1);
}

} // namespace
