#include "trace/SorBlocks.h"

#include "trace/ByteCursor.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr const char *mapName = "Map";

// Copies n little-endian uint16 values from `src` (n * 2 bytes, any alignment).
void copyPoints(const uint8_t *src, size_t n, std::vector<uint16_t> &out)
{
    out.resize(n);
    if (n == 0)
        return;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out.data(), src, n * 2);
    } else {
        for (size_t i = 0; i < n; ++i)
            out[i] = static_cast<uint16_t>(src[2 * i] | (src[2 * i + 1] << 8));
    }
}

void appendPoints(QByteArray &out, const std::vector<uint16_t> &points)
{
    if (points.empty())
        return;
    if constexpr (std::endian::native == std::endian::little) {
        out.append(reinterpret_cast<const char *>(points.data()), static_cast<qsizetype>(points.size() * 2));
    } else {
        ByteWriter w(out);
        for (uint16_t p : points)
            w.u16(p);
    }
}

// Passes over the block's own name when the block begins with it. Some instruments write a
// standard block without its name; its fields then start at the block's first byte.
void skipName(ByteCursor &c, const char *name)
{
    if (c.startsWithName(name))
        c.skip(std::strlen(name) + 1);
}

// The block types a directory name selects, in the order names are tried.
enum class BlockKind { GenParams, SupParams, FxdParams, KeyEvents, LnkParams, DataPts, Vendor, Checksum, None };

struct KnownName {
    const char *name;
    BlockKind kind;
};

constexpr std::array<KnownName, 9> knownNames = {{
    {"GenParams", BlockKind::GenParams},
    {"SupParams", BlockKind::SupParams},
    {"FxdParams", BlockKind::FxdParams},
    {"KeyEvents", BlockKind::KeyEvents},
    {"LnkParams", BlockKind::LnkParams},
    {"DataPts", BlockKind::DataPts},
    {"VornAlixSpecial", BlockKind::Vendor},
    {"Cksum", BlockKind::Checksum},
    {"CKsum", BlockKind::Checksum},
}};

// The first known block whose name begins with the whole entry name (so a leading part of a
// known name, the empty name included, selects that block).
BlockKind selectBlock(const QByteArray &entryName)
{
    for (const KnownName &known : knownNames) {
        const size_t n = static_cast<size_t>(entryName.size());
        if (n <= std::strlen(known.name) && std::memcmp(known.name, entryName.constData(), n) == 0)
            return known.kind;
    }
    return BlockKind::None;
}

bool isIssue1Revision(uint16_t revision) { return revision >= 100 && revision < 200; }

// Where the value of a checksum block starts.
size_t checksumValueOffset(int issue) { return issue == 1 ? 0 : 6; }

// The Map block and its directory, checked against the length of the bytes. Issue 2 opens with
// the name "Map"; issue 1 opens straight with the revision.
bool parseMap(const uint8_t *data, size_t length, SorMap &map)
{
    const int issue = data ? sorLayoutIssue(data, length) : 0;
    if (issue == 0)
        return false;
    ByteCursor c(data, length);
    if (issue == 2)
        c.skip(4);
    map.issue = issue;
    map.revision = c.u16();               // 4 (issue 1: 0)
    map.size = c.u32();                   // 6 (issue 1: 2)
    map.blockCount = c.u16();             // 10 (issue 1: 6)
    map.entries.clear();
    for (int i = 1; i < map.blockCount; ++i) { // 12 (issue 1: 8): one entry per further block
        SorMapEntry e;
        e.name = c.text();
        e.revision = c.u16();
        e.size = c.u32();
        if (c.overrun())
            return false;
        map.entries.push_back(std::move(e));
    }
    // 64-bit sum: 32-bit sizes must not wrap around to the file length.
    uint64_t total = map.size;
    for (const SorMapEntry &e : map.entries)
        total += e.size;
    return total == length;
}

void appendGenParams(ByteWriter &w, const GenParams &b)
{
    w.text("GenParams");
    w.fixed(b.languageCode, 2);
    w.text(b.cableId);
    w.text(b.fiberId);
    w.i16(b.fiberType);
    w.i16(b.nominalWavelength);
    w.text(b.locationA);
    w.text(b.locationB);
    w.text(b.cableCode);
    w.fixed(b.currentDataFlag, 2);
    w.i32(b.userOffset);
    w.i32(b.userOffsetDistance);
    w.text(b.operatorName);
    w.text(b.comment);
}

void appendSupParams(ByteWriter &w, const SupParams &b)
{
    w.text("SupParams");
    w.text(b.supplier);
    w.text(b.mainframeId);
    w.text(b.mainframeSerial);
    w.text(b.moduleId);
    w.text(b.moduleSerial);
    w.text(b.softwareRevision);
    w.text(b.other);
}

void appendFxdParams(ByteWriter &w, const FxdParams &b)
{
    const size_t n = std::min<size_t>(b.pulses.size(), 0xFFFF);
    w.text("FxdParams");
    w.u32(b.timestamp);                    // 10
    w.fixed(b.distanceUnits, 2);           // 14
    w.i16(b.actualWavelength);             // 16
    w.i32(b.acquisitionOffset);            // 18
    w.i32(b.acquisitionOffsetDistance);    // 22
    w.u16(static_cast<uint16_t>(n));       // 26
    for (size_t i = 0; i < n; ++i)         // 28
        w.i16(b.pulses[i].pulseWidth);
    for (size_t i = 0; i < n; ++i)         // 28 + 2N
        w.i32(b.pulses[i].dataSpacing);
    for (size_t i = 0; i < n; ++i)         // 28 + 6N
        w.i32(b.pulses[i].pointCount);
    w.i32(b.groupIndex);                   // 28 + 10N
    w.i16(b.backscatter);                  // 32 + 10N
    w.i32(b.averages);                     // 34 + 10N
    w.u16(b.averagingTime);                // 38 + 10N
    w.i32(b.acquisitionRange);             // 40 + 10N
    w.i32(b.acquisitionRangeDistance);     // 44 + 10N
    w.i32(b.frontPanelOffset);             // 48 + 10N
    w.u16(b.noiseFloorLevel);              // 52 + 10N
    w.i16(b.noiseFloorScale);              // 54 + 10N
    w.u16(b.powerOffsetFirstPoint);        // 56 + 10N
    w.u16(b.lossThreshold);                // 58 + 10N
    w.u16(b.reflectanceThreshold);         // 60 + 10N
    w.u16(b.endThreshold);                 // 62 + 10N
    w.fixed(b.traceType, 2);               // 64 + 10N
    for (int32_t v : b.window)             // 66 + 10N
        w.i32(v);
}

void appendKeyEvents(ByteWriter &w, const KeyEvents &b)
{
    const size_t n = std::min<size_t>(b.events.size(), 0xFFFF);
    w.text("KeyEvents");
    w.u16(static_cast<uint16_t>(n));
    for (size_t i = 0; i < n; ++i) {
        const KeyEvent &e = b.events[i];
        w.i16(e.number);
        w.i32(e.time);
        w.i16(e.attenuation);
        w.i16(e.loss);
        w.i32(e.reflectance);
        w.fixed(e.code, 6);
        w.fixed(e.technique, 2);
        for (int32_t m : e.markers)
            w.i32(m);
        w.text(e.comment);
    }
    w.i32(b.endToEndLoss);
    w.i32(b.endToEndMarkers[0]);
    w.i32(b.endToEndMarkers[1]);
    w.u16(b.returnLoss);
    w.i32(b.returnLossMarkers[0]);
    w.i32(b.returnLossMarkers[1]);
}

// Each trace is written with the number of points it holds, so the block always agrees with
// its own counts.
void appendDataPts(QByteArray &out, const DataPts &b)
{
    ByteWriter w(out);
    const size_t n = std::min<size_t>(b.traces.size(), 0xFFFF);
    w.text("DataPts");
    w.i32(b.dataPointCount);
    w.u16(static_cast<uint16_t>(n));
    for (size_t i = 0; i < n; ++i) {
        const SorTrace &t = b.traces[i];
        w.i32(static_cast<int32_t>(t.points.size()));
        w.i16(t.scaleFactor);
        appendPoints(out, t.points);
    }
}

// Tables for CRC-16/CCITT-FALSE eight bytes at a time: t[k][b] is the remainder of byte b
// followed by k zero bytes.
struct CrcTables {
    uint16_t t[8][256];
    constexpr CrcTables() : t()
    {
        for (int i = 0; i < 256; ++i) {
            uint16_t crc = static_cast<uint16_t>(i << 8);
            for (int k = 0; k < 8; ++k)
                crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
            t[0][i] = crc;
        }
        for (int k = 1; k < 8; ++k) {
            for (int i = 0; i < 256; ++i) {
                const uint16_t prev = t[k - 1][i];
                t[k][i] = static_cast<uint16_t>((prev << 8) ^ t[0][prev >> 8]);
            }
        }
    }
};
constexpr CrcTables crcTables;

} // namespace

void readGenParams(const uint8_t *data, size_t size, GenParams &out)
{
    ByteCursor c(data, size);
    skipName(c, "GenParams");
    out.languageCode = c.fixed(2);
    out.cableId = c.text();
    out.fiberId = c.text();
    out.fiberType = c.i16();
    out.nominalWavelength = c.i16();
    out.locationA = c.text();
    out.locationB = c.text();
    out.cableCode = c.text();
    out.currentDataFlag = c.fixed(2);
    out.userOffset = c.i32();
    out.userOffsetDistance = c.i32();
    out.operatorName = c.text();
    out.comment = c.text();
}

void readSupParams(const uint8_t *data, size_t size, SupParams &out)
{
    ByteCursor c(data, size);
    skipName(c, "SupParams");
    out.supplier = c.text();
    out.mainframeId = c.text();
    out.mainframeSerial = c.text();
    out.moduleId = c.text();
    out.moduleSerial = c.text();
    out.softwareRevision = c.text();
    out.other = c.text();
}

void readFxdParams(const uint8_t *data, size_t size, FxdParams &out)
{
    ByteCursor c(data, size);
    skipName(c, "FxdParams");
    out.timestamp = c.u32();
    out.distanceUnits = c.fixed(2);
    out.actualWavelength = c.i16();
    out.acquisitionOffset = c.i32();
    out.acquisitionOffsetDistance = c.i32();
    // N entries take 10 bytes; a count the block cannot hold is cut to what fits.
    const size_t n = std::min<size_t>(c.u16(), c.remaining() / 10);
    out.pulses.assign(n, FxdPulse{});
    for (FxdPulse &p : out.pulses)
        p.pulseWidth = c.i16();
    for (FxdPulse &p : out.pulses)
        p.dataSpacing = c.i32();
    for (FxdPulse &p : out.pulses)
        p.pointCount = c.i32();
    out.groupIndex = c.i32();
    out.backscatter = c.i16();
    out.averages = c.i32();
    out.averagingTime = c.u16();
    out.acquisitionRange = c.i32();
    out.acquisitionRangeDistance = c.i32();
    out.frontPanelOffset = c.i32();
    out.noiseFloorLevel = c.u16();
    out.noiseFloorScale = c.i16();
    out.powerOffsetFirstPoint = c.u16();
    out.lossThreshold = c.u16();
    out.reflectanceThreshold = c.u16();
    out.endThreshold = c.u16();
    out.traceType = c.fixed(2);
    for (int32_t &v : out.window)
        v = c.i32();
}

void readKeyEvents(const uint8_t *data, size_t size, KeyEvents &out)
{
    ByteCursor c(data, size);
    skipName(c, "KeyEvents");
    const int count = c.u16();
    out = KeyEvents{};
    // An event takes at least 42 bytes before its comment; a count that runs past the block
    // yields the events that fit.
    for (int i = 0; i < count && c.remaining() >= 42; ++i) {
        KeyEvent e;
        e.number = c.i16();
        e.time = c.i32();
        e.attenuation = c.i16();
        e.loss = c.i16();
        e.reflectance = c.i32();
        e.code = c.fixed(6);
        e.technique = c.fixed(2);
        for (int32_t &m : e.markers)
            m = c.i32();
        e.comment = c.text();
        out.events.push_back(std::move(e));
    }
    out.endToEndLoss = c.i32();
    out.endToEndMarkers[0] = c.i32();
    out.endToEndMarkers[1] = c.i32();
    out.returnLoss = c.u16();
    out.returnLossMarkers[0] = c.i32();
    out.returnLossMarkers[1] = c.i32();
}

void readDataPts(const uint8_t *data, size_t size, DataPts &out)
{
    ByteCursor c(data, size);
    skipName(c, "DataPts");
    out.dataPointCount = c.i32();
    const int count = c.u16();
    out.traces.clear();
    for (int i = 0; i < count && c.remaining() >= 6; ++i) {
        SorTrace t;
        const int32_t stored = c.i32();
        t.scaleFactor = c.i16();
        // A point count that lies keeps the points the block holds; the count follows them.
        const size_t fits = c.remaining() / 2;
        const size_t n = stored <= 0 ? 0 : std::min<size_t>(static_cast<size_t>(stored), fits);
        copyPoints(c.take(n * 2), n, t.points);
        t.pointCount = static_cast<int32_t>(n);
        out.traces.push_back(std::move(t));
    }
}

// Issue 1 has no fibre type and no user-offset distance.
void readGenParams1(const uint8_t *data, size_t size, GenParams &out)
{
    ByteCursor c(data, size);
    skipName(c, "GenParams");
    out = GenParams{};
    out.languageCode = c.fixed(2);
    out.cableId = c.text();
    out.fiberId = c.text();
    out.nominalWavelength = c.i16();       // nm
    out.locationA = c.text();
    out.locationB = c.text();
    out.cableCode = c.text();
    out.currentDataFlag = c.fixed(2);
    out.userOffset = c.i32();              // 100 ps
    out.operatorName = c.text();
    out.comment = c.text();
}

// 54 bytes with one pulse width. Issue 1 has no distance twins of the offset and range, no
// averaging time, trace type or window; some instruments store the wavelength in whole nm.
void readFxdParams1(const uint8_t *data, size_t size, FxdParams &out)
{
    ByteCursor c(data, size);
    skipName(c, "FxdParams");
    out = FxdParams{};
    out.timestamp = c.u32();               // 0
    out.distanceUnits = c.fixed(2);        // 4
    const int16_t wavelength = c.i16();    // 6
    out.actualWavelength = wavelength >= 600 && wavelength < 2000 ? static_cast<int16_t>(wavelength * 10) : wavelength;
    out.acquisitionOffset = c.i32();       // 8
    // 12: N entries take 10 bytes; a count the block cannot hold is cut to what fits.
    const size_t n = std::min<size_t>(c.u16(), c.remaining() / 10);
    out.pulses.assign(n, FxdPulse{});
    for (FxdPulse &p : out.pulses)         // 14
        p.pulseWidth = c.i16();
    for (FxdPulse &p : out.pulses)         // 14 + 2N, 1e-8 us per point
        p.dataSpacing = c.i32();
    for (FxdPulse &p : out.pulses)         // 14 + 6N
        p.pointCount = c.i32();
    out.groupIndex = c.i32();              // 14 + 10N
    out.backscatter = c.i16();             // 18 + 10N
    out.averages = c.i32();                // 20 + 10N
    out.acquisitionRange = c.i32();        // 24 + 10N
    out.frontPanelOffset = c.i32();        // 28 + 10N
    out.noiseFloorLevel = c.u16();         // 32 + 10N
    out.noiseFloorScale = c.i16();         // 34 + 10N
    out.powerOffsetFirstPoint = c.u16();   // 36 + 10N
    out.lossThreshold = c.u16();           // 38 + 10N
    out.reflectanceThreshold = c.u16();    // 40 + 10N
    out.endThreshold = c.u16();            // 42 + 10N
}

// An issue-1 event is 22 bytes and its comment: no marker locations.
void readKeyEvents1(const uint8_t *data, size_t size, KeyEvents &out)
{
    ByteCursor c(data, size);
    skipName(c, "KeyEvents");
    const int count = c.u16();
    out = KeyEvents{};
    for (int i = 0; i < count && c.remaining() >= 22; ++i) {
        KeyEvent e;
        e.number = c.i16();      // 0
        e.time = c.i32();        // 2
        e.attenuation = c.i16(); // 6
        e.loss = c.i16();        // 8
        e.reflectance = c.i32(); // 10
        e.code = c.fixed(6);     // 14
        e.technique = c.fixed(2); // 20
        e.comment = c.text();    // 22
        out.events.push_back(std::move(e));
    }
    out.endToEndLoss = c.i32();
    out.endToEndMarkers[0] = c.i32();
    out.endToEndMarkers[1] = c.i32();
    out.returnLoss = c.u16();
    out.returnLossMarkers[0] = c.i32();
    out.returnLossMarkers[1] = c.i32();
}

QByteArray writeGenParams(const GenParams &block)
{
    QByteArray out;
    ByteWriter w(out);
    appendGenParams(w, block);
    return out;
}

QByteArray writeSupParams(const SupParams &block)
{
    QByteArray out;
    ByteWriter w(out);
    appendSupParams(w, block);
    return out;
}

QByteArray writeFxdParams(const FxdParams &block)
{
    QByteArray out;
    ByteWriter w(out);
    appendFxdParams(w, block);
    return out;
}

QByteArray writeKeyEvents(const KeyEvents &block)
{
    QByteArray out;
    ByteWriter w(out);
    appendKeyEvents(w, block);
    return out;
}

QByteArray writeDataPts(const DataPts &block)
{
    QByteArray out;
    appendDataPts(out, block);
    return out;
}

SorBlocks defaultSorBlocks()
{
    SorBlocks b;
    b.map.revision = 200;
    b.map.blockCount = 8;
    for (const char *name : {"GenParams", "SupParams", "FxdParams", "KeyEvents", "DataPts"})
        b.map.entries.push_back({QByteArray(name), 200, 0});
    b.map.entries.push_back({QByteArray(vendorBlockName), vendorRevision, 0});
    b.map.entries.push_back({QByteArray("Cksum"), 200, 0});
    b.genParams.languageCode = "CH";
    b.genParams.currentDataFlag = "BC";
    b.supParams.supplier = "Vorn-Alix";
    b.fxdParams.distanceUnits = "km";
    b.fxdParams.traceType = "ST";
    b.fxdParams.pulses.assign(1, FxdPulse{});
    SorTrace trace;
    trace.pointCount = 0;
    trace.scaleFactor = 1000;
    b.dataPts.traces.push_back(trace);
    return b;
}

int parseSorBytes(const uint8_t *data, size_t length, SorBlocks &blocks)
{
    SorBlocks parsed;
    if (!data || !parseMap(data, length, parsed.map))
        return SorResult::NotSor;

    // The map check guarantees every block lies inside the bytes.
    size_t offset = parsed.map.size;
    for (const SorMapEntry &entry : parsed.map.entries) {
        const uint8_t *block = data + offset;
        const size_t size = entry.size;
        const bool issue1 = parsed.map.issue == 1;
        switch (selectBlock(entry.name)) {
        case BlockKind::GenParams:
            (issue1 ? readGenParams1 : readGenParams)(block, size, parsed.genParams);
            break;
        case BlockKind::SupParams: readSupParams(block, size, parsed.supParams); break;
        case BlockKind::FxdParams:
            (issue1 ? readFxdParams1 : readFxdParams)(block, size, parsed.fxdParams);
            break;
        case BlockKind::KeyEvents:
            (issue1 ? readKeyEvents1 : readKeyEvents)(block, size, parsed.keyEvents);
            break;
        case BlockKind::DataPts: readDataPts(block, size, parsed.dataPts); break;
        case BlockKind::Vendor:
            if (!issue1 && entry.revision == vendorRevision) {
                ByteCursor c(block, size);
                c.skip(16);
                parsed.vendor.cursorA = c.i32(); // 16
                parsed.vendor.cursorB = c.i32(); // 20
            }
            break;
        case BlockKind::Checksum: {
            // Issue 1 holds just the value; issue 2 puts "Cksum\0" before it.
            ByteCursor c(block, size);
            c.skip(checksumValueOffset(parsed.map.issue));
            parsed.checksum = c.u16();
            break;
        }
        case BlockKind::LnkParams:
        case BlockKind::None:
            break;
        }
        offset += size;
    }
    blocks = std::move(parsed);
    return SorResult::Done;
}

QByteArray writeSorBytes(const SorBlocks &blocks)
{
    struct Entry {
        const char *name;
        uint16_t revision;
    };
    constexpr Entry entries[] = {{"GenParams", 200}, {"SupParams", 200}, {"FxdParams", 200}, {"KeyEvents", 200},
                                 {"DataPts", 200},   {vendorBlockName, vendorRevision}, {"Cksum", 200}};
    constexpr int entryCount = static_cast<int>(std::size(entries));

    size_t pointBytes = 0;
    for (const SorTrace &t : blocks.dataPts.traces)
        pointBytes += t.points.size() * 2;
    QByteArray out;
    out.reserve(static_cast<qsizetype>(pointBytes + 4096));
    ByteWriter w(out);

    // Map with placeholder sizes, patched once each block is written.
    w.text(mapName);
    w.u16(blocks.map.revision);
    w.u32(0);
    w.u16(entryCount + 1);
    qsizetype sizeFields[entryCount];
    for (int i = 0; i < entryCount; ++i) {
        w.text(entries[i].name);
        w.u16(entries[i].revision);
        sizeFields[i] = out.size();
        w.u32(0);
    }
    const qsizetype mapSize = out.size(); // 12 + sum of (name length + 7)

    auto patch = [&out](qsizetype at, uint32_t v) {
        for (int k = 0; k < 4; ++k)
            out[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    };
    patch(6, static_cast<uint32_t>(mapSize));

    qsizetype start = out.size();
    auto close = [&](int i) {
        patch(sizeFields[i], static_cast<uint32_t>(out.size() - start));
        start = out.size();
    };
    appendGenParams(w, blocks.genParams);
    close(0);
    appendSupParams(w, blocks.supParams);
    close(1);
    appendFxdParams(w, blocks.fxdParams);
    close(2);
    appendKeyEvents(w, blocks.keyEvents);
    close(3);
    appendDataPts(out, blocks.dataPts);
    close(4);
    w.text(vendorBlockName);
    w.i32(blocks.vendor.cursorA);
    w.i32(blocks.vendor.cursorB);
    close(5);
    // The checksum covers the finished directory, so the block's size is patched first.
    patch(sizeFields[6], 8);
    w.text("Cksum");
    w.u16(crc16CcittFalse(reinterpret_cast<const uint8_t *>(out.constData()), static_cast<size_t>(out.size())));
    return out;
}

uint16_t crc16CcittFalse(const uint8_t *data, size_t length)
{
    const auto &t = crcTables.t;
    uint16_t crc = 0xFFFF;
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        const uint8_t *d = data + i;
        crc = static_cast<uint16_t>(t[7][d[0] ^ (crc >> 8)] ^ t[6][d[1] ^ (crc & 0xFF)] ^ t[5][d[2]] ^ t[4][d[3]] ^
                                    t[3][d[4]] ^ t[2][d[5]] ^ t[1][d[6]] ^ t[0][d[7]]);
    }
    for (; i < length; ++i)
        crc = static_cast<uint16_t>((crc << 8) ^ t[0][((crc >> 8) ^ data[i]) & 0xFF]);
    return crc;
}

ChecksumCheck checkSorChecksum(const uint8_t *data, size_t length)
{
    ChecksumCheck check;
    SorMap map;
    if (!data || !parseMap(data, length, map))
        return check;
    const size_t at = checksumValueOffset(map.issue);
    size_t offset = map.size;
    for (const SorMapEntry &entry : map.entries) {
        if (selectBlock(entry.name) == BlockKind::Checksum && entry.size >= at + 2) {
            check.present = true;
            check.stored = static_cast<uint16_t>(data[offset + at] | (data[offset + at + 1] << 8));
            check.computed = crc16CcittFalse(data, offset + at);
        }
        offset += entry.size;
    }
    return check;
}

int sorLayoutIssue(const uint8_t *data, size_t length)
{
    if (length >= 4 && std::memcmp(data, "Map\0", 4) == 0)
        return 2;
    if (length >= 2 && isIssue1Revision(static_cast<uint16_t>(data[0] | (data[1] << 8))))
        return 1;
    return 0;
}

QByteArray upgradeIssue1ToIssue2(const uint8_t *data, size_t length, const SorBlocks &blocks)
{
    SorMap map;
    if (!data || !parseMap(data, length, map) || map.issue != 1)
        return QByteArray();

    struct Out {
        QByteArray name;
        uint16_t revision;
        QByteArray bytes; // the whole block, its name first
    };
    std::vector<Out> outs;
    size_t offset = map.size;
    for (const SorMapEntry &entry : map.entries) {
        const BlockKind kind = selectBlock(entry.name);
        // A name that is a leading part of a known one (the empty name among them) selects that
        // block for the reader; the rewrite gives it the full name.
        auto standard = [&](const char *name, QByteArray bytes) {
            outs.push_back({QByteArray(name), 200, std::move(bytes)});
        };
        switch (kind) {
        case BlockKind::GenParams: standard("GenParams", writeGenParams(blocks.genParams)); break;
        case BlockKind::SupParams: standard("SupParams", writeSupParams(blocks.supParams)); break;
        case BlockKind::FxdParams: standard("FxdParams", writeFxdParams(blocks.fxdParams)); break;
        case BlockKind::KeyEvents: standard("KeyEvents", writeKeyEvents(blocks.keyEvents)); break;
        case BlockKind::DataPts: standard("DataPts", writeDataPts(blocks.dataPts)); break;
        case BlockKind::Checksum: break; // a new one closes the file
        case BlockKind::LnkParams:
        case BlockKind::Vendor:
        case BlockKind::None: {
            // Every issue-2 block begins with its name; the instrument's bytes follow unchanged.
            ByteCursor c(data + offset, entry.size);
            QByteArray bytes;
            if (!c.startsWithName(entry.name.constData())) {
                bytes = entry.name;
                bytes.append('\0');
            }
            bytes.append(reinterpret_cast<const char *>(data + offset), static_cast<qsizetype>(entry.size));
            outs.push_back({entry.name, entry.revision, std::move(bytes)});
            break;
        }
        }
        offset += entry.size;
    }

    if (outs.size() + 2 > 0xFFFF)
        return QByteArray(); // no room for the checksum block's entry
    QByteArray out;
    ByteWriter w(out);
    w.text(mapName);
    w.u16(200);
    const qsizetype mapSizeAt = out.size();
    w.u32(0);
    w.u16(static_cast<uint16_t>(outs.size() + 2)); // the Map and the checksum block included
    for (const Out &o : outs) {
        w.text(o.name);
        w.u16(o.revision);
        w.u32(static_cast<uint32_t>(o.bytes.size()));
    }
    w.text("Cksum");
    w.u16(200);
    w.u32(8);
    const auto mapSize = static_cast<uint32_t>(out.size());
    for (int k = 0; k < 4; ++k)
        out[mapSizeAt + k] = static_cast<char>((mapSize >> (8 * k)) & 0xFF);
    for (const Out &o : outs)
        out.append(o.bytes);
    w.text("Cksum");
    w.u16(crc16CcittFalse(reinterpret_cast<const uint8_t *>(out.constData()), static_cast<size_t>(out.size())));
    return out;
}
