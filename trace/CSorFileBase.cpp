#include "trace/CSorFileBase.h"

#include "trace/AtomicWrite.h"
#include "trace/InfoTexts.h"
#include "trace/SorMath.h"
#include "trace/TraceData.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <cmath>
#include <cstdlib>

Q_LOGGING_CATEGORY(lcSor, "lumidor.sor")

using sormath::truncToInt32;

namespace {

constexpr qint64 maxSorFileBytes = qint64(64) * 1024 * 1024;

// Whole metres of a distance, 0 for one that is not a finite positive 32-bit value.
int32_t wholeMetres(double metres)
{
    if (!(metres > 0.0 && metres < 2147483647.0))
        return 0;
    return static_cast<int32_t>(std::lround(metres));
}

// The acquisition range as a distance, from its time (100 ps units) and the group index; 0 when
// the file gives no time.
int32_t rangeFromTime(const FxdParams &f)
{
    const double n = f.groupIndex / 100000.0;
    if (f.acquisitionRange <= 0 || !(n > 0.0))
        return 0;
    return wholeMetres(f.acquisitionRange * speedOfLight / (n * tenToTheTenth()));
}

// The test range of a file. The acquisition range distance counts in units of 100 m. Many
// instruments leave it 0 and store only the time; others fill it in a unit of their own (often
// one of 0.1 m, which reads as thousands of kilometres). The distance is taken when it agrees
// with the time to within a tenth or 100 m; otherwise the time decides, and with neither the
// range is the fibre length.
int32_t testRangeMetres(const FxdParams &f, float fibreLength)
{
    const int32_t fromTime = rangeFromTime(f);
    if (f.acquisitionRangeDistance != 0) {
        const int32_t fromDistance = sormath::wrapMul(f.acquisitionRangeDistance, 1000) / 10;
        const int64_t difference = std::abs(static_cast<int64_t>(fromDistance) - fromTime);
        if (fromTime == 0 || difference <= std::max<int64_t>(100, fromTime / 10))
            return fromDistance;
    }
    return fromTime != 0 ? fromTime : wholeMetres(fibreLength);
}

// The wavelength is stored in 0.1 nm. A few instruments store whole nanometres instead: a value
// of 600 to 1999 would be a source of 60 to 200 nm, which no OTDR has, so it is taken as nm.
int32_t wavelengthNm(int16_t stored)
{
    return stored >= 600 && stored < 2000 ? stored : stored / 10;
}

} // namespace

CSorFileBase::CSorFileBase() : blocks_(defaultSorBlocks()) {}

int CSorFileBase::ReadFromMemory(const uint8_t *data, size_t length, SorRecord &record)
{
    // Images of blocks the file lacks come out empty rather than holding what the previous
    // file left there, so no value of one file ever shows up in another.
    const int result = parseSorBytes(data, length, blocks_);
    if (result != SorResult::Done) {
        ClearSamples();
        blocks_ = defaultSorBlocks();
        return result;
    }
    blocksToRecord(blocks_, record);
    return SorResult::Done;
}

int CSorFileBase::ReadFile(const QString &path, SorRecord &record)
{
    if (path.isEmpty())
        return SorResult::CannotOpen;
    // Only regular files: a device or pipe could block the open or never end.
    if (!QFileInfo(path).isFile())
        return SorResult::CannotOpen;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCInfo(lcSor) << "cannot open" << path << file.errorString();
        return SorResult::CannotOpen;
    }
    // No trace comes near this size (the largest real one is under 1 MB): a larger file is not
    // a SOR file and is refused before anything is read.
    if (file.size() > maxSorFileBytes) {
        qCInfo(lcSor) << "too large for a SOR file" << path << file.size();
        ClearSamples();
        blocks_ = defaultSorBlocks();
        return SorResult::NotSor;
    }
    const QByteArray bytes = file.read(file.size());
    if (file.error() != QFileDevice::NoError || bytes.size() != file.size()) {
        qCInfo(lcSor) << "cannot read" << path << file.errorString();
        return SorResult::CannotOpen;
    }
    file.close();
    return ReadFromMemory(reinterpret_cast<const uint8_t *>(bytes.constData()), static_cast<size_t>(bytes.size()),
                          record);
}

int CSorFileBase::SaveFile(const QString &path, const SorRecord &record)
{
    if (path.isEmpty())
        return SorResult::CannotOpen;
    return writeFileAtomically(path, SaveToBytes(record), lcSor());
}

void CSorFileBase::ClearSamples()
{
    for (SorTrace &t : blocks_.dataPts.traces) {
        t.points.clear();
        t.points.shrink_to_fit();
    }
}

QByteArray CSorFileBase::SaveToBytes(const SorRecord &record)
{
    // The held point arrays are kept across the reset so that repeated saves reuse them.
    std::vector<SorTrace> traces = std::move(blocks_.dataPts.traces);
    blocks_ = defaultSorBlocks();
    blocks_.dataPts.traces = std::move(traces);
    recordToBlocks(record, blocks_);
    return writeSorBytes(blocks_);
}

void blocksToRecord(SorBlocks &blocks, SorRecord &record)
{
    const FxdParams &f = blocks.fxdParams;

    record.traces.clear();
    record.traces.reserve(blocks.dataPts.traces.size());
    for (SorTrace &t : blocks.dataPts.traces) {
        SorTrace out;
        out.pointCount = t.pointCount;
        out.scaleFactor = t.scaleFactor;
        out.points = std::move(t.points);
        t.points.clear();
        record.traces.push_back(std::move(out));
    }

    const float n = static_cast<float>(f.groupIndex / 100000.0);
    record.refractiveIndex = n;
    const float d = f.pulses.empty() ? 0.0f : static_cast<float>(f.pulses[0].dataSpacing / 1e14);
    record.sampleSpacing = static_cast<float>(static_cast<double>(d) * speedOfLight / static_cast<double>(n));
    if (!f.pulses.empty()) {
        const FxdPulse &p = f.pulses[0];
        record.fibreLength = static_cast<float>(p.pointCount) * record.sampleSpacing;
        record.pulseWidthNs = p.pulseWidth;
        // The doubling is 32-bit integer arithmetic; a spacing of 0 gives an infinite frequency.
        record.samplingFrequencyMHz = static_cast<float>(1e8 / sormath::wrapMul(2, p.dataSpacing));
    }
    record.wavelengthNm = wavelengthNm(f.actualWavelength);

    record.events.clear();
    record.events.reserve(blocks.keyEvents.events.size());
    for (const KeyEvent &k : blocks.keyEvents.events) {
        SorEvent e;
        e.time = k.time;
        e.attenuation = k.attenuation;
        e.loss = k.loss;
        e.reflectance = k.reflectance;
        e.code = k.code;
        e.technique = k.technique;
        e.comment = k.comment;
        record.events.push_back(std::move(e));
    }

    record.backscatter = static_cast<float>(f.backscatter / 10.0);
    record.lossThreshold = static_cast<float>(f.lossThreshold / 1000.0);
    record.reflectanceThreshold = static_cast<float>(f.reflectanceThreshold / 1000.0);
    record.endThreshold = static_cast<float>(f.endThreshold / 1000.0);
    record.rangeMetres = testRangeMetres(f, record.fibreLength);
    record.timestamp = static_cast<int64_t>(f.timestamp);
    record.averages = f.averages;
    record.groupIndexRaw = f.groupIndex;
    record.frontPanelOffset = f.frontPanelOffset;
    record.endToEndLossDb = static_cast<float>(blocks.keyEvents.endToEndLoss / 1000.0);
    record.orlDb = static_cast<float>(blocks.keyEvents.returnLoss / 1000.0);
    record.infoTexts = infotexts::fromBlocks(blocks);
}

void recordToBlocks(const SorRecord &record, SorBlocks &blocks)
{
    DataPts &data = blocks.dataPts;
    data.traces.resize(record.traces.size());
    int32_t total = 0;
    for (size_t i = 0; i < record.traces.size(); ++i) {
        SorTrace &t = data.traces[i];
        t.points.assign(record.traces[i].points.begin(), record.traces[i].points.end());
        t.scaleFactor = record.traces[i].scaleFactor;
        t.pointCount = static_cast<int32_t>(t.points.size());
        total = sormath::wrapAdd(total, t.pointCount);
    }
    data.dataPointCount = total;

    FxdParams &f = blocks.fxdParams;
    if (f.pulses.empty())
        f.pulses.assign(1, FxdPulse{});
    FxdPulse &p = f.pulses[0];
    f.timestamp = static_cast<uint32_t>(record.timestamp);
    f.actualWavelength = static_cast<int16_t>(sormath::wrapMul(record.wavelengthNm, 10));
    p.pulseWidth = static_cast<int16_t>(record.pulseWidthNs);
    p.dataSpacing = truncToInt32(1e8f / (record.samplingFrequencyMHz * 2.0f));
    p.pointCount = total;
    f.groupIndex = truncToInt32(record.refractiveIndex * 100000.0f);
    f.backscatter = static_cast<int16_t>(truncToInt32(record.backscatter * 10.0f));
    f.lossThreshold = static_cast<uint16_t>(truncToInt32(record.lossThreshold * 1000.0f));
    f.reflectanceThreshold = static_cast<uint16_t>(truncToInt32(record.reflectanceThreshold * 1000.0f));
    f.endThreshold = static_cast<uint16_t>(truncToInt32(record.endThreshold * 1000.0f));
    const int32_t range = sormath::wrapAdd(record.rangeMetres, 50);
    f.acquisitionRange = truncToInt32(timeUnitsForMetres(static_cast<double>(range), record.refractiveIndex));
    f.acquisitionRangeDistance = sormath::wrapMul(range, 10) / 1000;
    f.frontPanelOffset = record.frontPanelOffset;

    blocks.genParams.nominalWavelength = static_cast<int16_t>(record.wavelengthNm);

    KeyEvents &k = blocks.keyEvents;
    // The instrument's end-to-end loss and ORL are kept through a save.
    k.endToEndLoss = truncToInt32(std::round(static_cast<double>(record.endToEndLossDb) * 1000.0));
    k.returnLoss = static_cast<uint16_t>(std::clamp(std::lround(static_cast<double>(record.orlDb) * 1000.0), 0L, 65535L));
    k.events.clear();
    k.events.reserve(record.events.size());
    for (size_t i = 0; i < record.events.size(); ++i) {
        const SorEvent &e = record.events[i];
        KeyEvent out;
        out.number = static_cast<int16_t>(i);
        out.time = e.time;
        out.attenuation = e.attenuation;
        out.loss = e.loss;
        out.reflectance = e.reflectance;
        out.code = e.code;
        out.technique = e.technique;
        out.comment = e.comment;
        k.events.push_back(std::move(out));
    }

    infotexts::applyToBlocks(record.infoTexts, blocks);
}
