#pragma once

#include "trace/SorRecord.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <vector>

// The block images of a SOR file, one struct per block, with the container reader and writer.
// The images follow the layout of issue 2 of the format; a file of issue 1 is read into the same
// images (fields issue 1 lacks stay 0). Texts are raw bytes; decoding happens in the conversion.

// Result codes shared by the SOR file operations.
namespace SorResult {
inline constexpr int Done = 1;
inline constexpr int CannotOpen = 2;   // empty path, or the file cannot be opened for reading
inline constexpr int CannotCreate = 4; // save only
inline constexpr int NotSor = 5;       // read only
} // namespace SorResult

struct SorMapEntry {
    QByteArray name;        // block name without its zero byte
    uint16_t revision = 0;
    uint32_t size = 0;      // bytes of the whole block, name included
};

struct SorMap {
    // Issue of the file layout: 2 when the file starts with "Map\0", 1 when it starts with a
    // map revision of 100 to 199 and its standard blocks carry no name of their own.
    int issue = 2;
    uint16_t revision = 200;
    uint32_t size = 0;      // bytes of the Map block
    uint16_t blockCount = 0; // the Map block included
    std::vector<SorMapEntry> entries;
};

struct GenParams {
    QByteArray languageCode;        // 2 chars
    QByteArray cableId;
    QByteArray fiberId;
    int16_t fiberType = 0;
    int16_t nominalWavelength = 0;  // nm
    QByteArray locationA;           // originating location
    QByteArray locationB;           // terminating location
    QByteArray cableCode;
    QByteArray currentDataFlag;     // 2 chars
    int32_t userOffset = 0;         // 100 ps
    int32_t userOffsetDistance = 0;
    QByteArray operatorName;
    QByteArray comment;
};

struct SupParams {
    QByteArray supplier;
    QByteArray mainframeId;
    QByteArray mainframeSerial;
    QByteArray moduleId;
    QByteArray moduleSerial;
    QByteArray softwareRevision;
    QByteArray other;
};

// One pulse-width entry of FxdParams: the three arrays of the block taken column by column.
struct FxdPulse {
    int16_t pulseWidth = 0;   // ns
    int32_t dataSpacing = 0;  // 100 ps per 10 000 points
    int32_t pointCount = 0;
};

struct FxdParams {
    uint32_t timestamp = 0;             // s since 1970-01-01
    QByteArray distanceUnits;           // 2 chars
    int16_t actualWavelength = 0;       // 0.1 nm
    int32_t acquisitionOffset = 0;
    int32_t acquisitionOffsetDistance = 0;
    std::vector<FxdPulse> pulses;       // N entries
    int32_t groupIndex = 0;             // x 100000
    int16_t backscatter = 0;            // 0.1 dB
    int32_t averages = 0;
    uint16_t averagingTime = 0;         // s
    int32_t acquisitionRange = 0;
    int32_t acquisitionRangeDistance = 0;
    int32_t frontPanelOffset = 0;
    uint16_t noiseFloorLevel = 0;
    int16_t noiseFloorScale = 0;
    uint16_t powerOffsetFirstPoint = 0;
    uint16_t lossThreshold = 0;         // 0.001 dB
    uint16_t reflectanceThreshold = 0;  // 0.001 dB
    uint16_t endThreshold = 0;          // 0.001 dB
    QByteArray traceType;               // 2 chars
    int32_t window[4] = {0, 0, 0, 0};
};

struct KeyEvent {
    int16_t number = 0;
    int32_t time = 0;          // 100 ps
    int16_t attenuation = 0;   // 0.001 dB/km
    int16_t loss = 0;          // 0.001 dB
    int32_t reflectance = 0;   // 0.001 dB
    QByteArray code;           // 6 chars
    QByteArray technique;      // 2 chars
    int32_t markers[5] = {0, 0, 0, 0, 0};
    QByteArray comment;
};

struct KeyEvents {
    std::vector<KeyEvent> events;      // E entries
    int32_t endToEndLoss = 0;
    int32_t endToEndMarkers[2] = {0, 0};
    uint16_t returnLoss = 0;
    int32_t returnLossMarkers[2] = {0, 0};
};

struct DataPts {
    int32_t dataPointCount = 0;
    std::vector<SorTrace> traces;      // T entries, in file order
};

// The vendor block "VornAlixSpecial" (directory revision 501).
struct VendorValues {
    int32_t cursorA = 0; // 100 ps
    int32_t cursorB = 0; // 100 ps
};

struct SorBlocks {
    SorMap map;
    GenParams genParams;
    SupParams supParams;
    FxdParams fxdParams;
    KeyEvents keyEvents;
    DataPts dataPts;
    VendorValues vendor;
    uint16_t checksum = 0;
};

inline constexpr uint16_t vendorRevision = 501;
inline constexpr const char *vendorBlockName = "VornAlixSpecial";

// The content a save starts from: eight blocks, default texts and one empty pulse-width entry
// and one empty trace of scale factor 1000.
SorBlocks defaultSorBlocks();

// Parses a whole file of issue 1 or 2. On 1 every block image is replaced by what the file holds (images of
// blocks the file lacks are empty); on 5 `blocks` is left as it was. Never reads outside
// [data, data + length).
int parseSorBytes(const uint8_t *data, size_t length, SorBlocks &blocks);

// Writes Map, GenParams, SupParams, FxdParams, KeyEvents, DataPts, VornAlixSpecial and Cksum in
// that order with sizes computed. The checksum block carries the CRC-16/CCITT-FALSE of every
// byte before it; `blocks.map` and `blocks.checksum` are not used.
QByteArray writeSorBytes(const SorBlocks &blocks);

// CRC-16/CCITT-FALSE: polynomial 0x1021, initial value 0xFFFF, no reflection, no final xor.
uint16_t crc16CcittFalse(const uint8_t *data, size_t length);

// Where the checksum of a file sits: the checksum value stored in its last checksum block and
// whether it equals the CRC of every byte before those two bytes. False when the file has no
// checksum block or is not an acceptable SOR container.
struct ChecksumCheck {
    bool present = false;
    uint16_t stored = 0;
    uint16_t computed = 0;
    bool matches() const { return present && stored == computed; }
};
ChecksumCheck checkSorChecksum(const uint8_t *data, size_t length);

// Layout issue of a file from its first bytes: 2 ("Map\0"), 1 (a map revision of 100 to 199)
// or 0 (neither). Says nothing about the rest of the file.
int sorLayoutIssue(const uint8_t *data, size_t length);

// Single block layouts, exposed for tools that rewrite one block and copy the others.
// A reader starts at the block's first byte; when the block begins with its own name and zero
// byte the name is passed over, otherwise the fields start at the first byte.
void readGenParams(const uint8_t *data, size_t size, GenParams &out);
void readSupParams(const uint8_t *data, size_t size, SupParams &out);
void readFxdParams(const uint8_t *data, size_t size, FxdParams &out);
void readKeyEvents(const uint8_t *data, size_t size, KeyEvents &out);
void readDataPts(const uint8_t *data, size_t size, DataPts &out);
// Issue-1 layouts of the blocks that differ from issue 2. They fill the issue-2 image: fields
// issue 1 lacks are 0, a wavelength stored in whole nm becomes 0.1 nm.
void readGenParams1(const uint8_t *data, size_t size, GenParams &out);
void readFxdParams1(const uint8_t *data, size_t size, FxdParams &out);
void readKeyEvents1(const uint8_t *data, size_t size, KeyEvents &out);
QByteArray writeGenParams(const GenParams &block);
QByteArray writeSupParams(const SupParams &block);
QByteArray writeFxdParams(const FxdParams &block);
QByteArray writeKeyEvents(const KeyEvents &block);
QByteArray writeDataPts(const DataPts &block);

// An issue-2 file holding what an issue-1 file holds: the standard blocks from `blocks` in the
// issue-2 layout, every other block's bytes kept as they were after its name, in the file's
// order, and a new checksum block at the end (CRC-16/CCITT-FALSE of every byte before its value).
// `data` must be an issue-1 file that parseSorBytes accepts; an empty result otherwise.
QByteArray upgradeIssue1ToIssue2(const uint8_t *data, size_t length, const SorBlocks &blocks);
