#pragma once

// Small SOR images built in memory for the reader, loader and saver tests.

#include "trace/ByteCursor.h"
#include "trace/SorBlocks.h"

#include <QByteArray>

#include <cstdint>
#include <cstring>
#include <vector>

namespace sortest {

inline const uint8_t *bytesOf(const QByteArray &b)
{
    return reinterpret_cast<const uint8_t *>(b.constData());
}

inline uint32_t u32At(const QByteArray &b, qsizetype at)
{
    ByteCursor c(bytesOf(b) + at, static_cast<size_t>(b.size() - at));
    return c.u32();
}

inline int32_t i32At(const QByteArray &b, qsizetype at) { return static_cast<int32_t>(u32At(b, at)); }

inline uint16_t u16At(const QByteArray &b, qsizetype at)
{
    ByteCursor c(bytesOf(b) + at, static_cast<size_t>(b.size() - at));
    return c.u16();
}

inline void putU32(QByteArray &b, qsizetype at, uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        b[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

inline void putU16(QByteArray &b, qsizetype at, uint16_t v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

// Blocks with a distinct value in every field the reader carries.
inline SorBlocks sampleBlocks()
{
    SorBlocks b = defaultSorBlocks();
    GenParams &g = b.genParams;
    g.languageCode = "EN";
    g.cableId = "CABLE-7";
    g.fiberId = "F12";
    g.fiberType = 655;
    g.nominalWavelength = 1550;
    g.locationA = "North hut";
    g.locationB = "South hut";
    g.cableCode = "CC";
    g.currentDataFlag = "BC";
    g.userOffset = -1234;
    g.userOffsetDistance = 5678;
    g.operatorName = "Ana";
    g.comment = "first shot";
    SupParams &s = b.supParams;
    s.supplier = "Maker";
    s.mainframeId = "MF";
    s.mainframeSerial = "MF-1";
    s.moduleId = "Mod 9";
    s.moduleSerial = "SN-42";
    s.softwareRevision = "1.2";
    s.other = "48.1N 11.5E";
    FxdParams &f = b.fxdParams;
    f.timestamp = 1700000000u;
    f.distanceUnits = "mt";
    f.actualWavelength = 15505;
    f.acquisitionOffset = -11;
    f.acquisitionOffsetDistance = -12;
    f.pulses = {{100, 500000, 8}, {300, 1000000, 16}};
    f.groupIndex = 150000;
    f.backscatter = -800;
    f.averages = 4096;
    f.averagingTime = 60;
    f.acquisitionRange = 125086; // 2500 m at n = 1.5, as the range distance says
    f.acquisitionRangeDistance = 25;
    f.frontPanelOffset = 3;
    f.noiseFloorLevel = 65000;
    f.noiseFloorScale = 1000;
    f.powerOffsetFirstPoint = 9;
    f.lossThreshold = 50;
    f.reflectanceThreshold = 40000;
    f.endThreshold = 3000;
    f.traceType = "ST";
    f.window[0] = 1;
    f.window[3] = 4;
    KeyEvent e1;
    e1.number = 1;
    e1.time = 0;
    e1.attenuation = 0;
    e1.loss = -120;
    e1.reflectance = -45000;
    e1.code = "1F9999";
    e1.technique = "LS";
    KeyEvent e2 = e1;
    e2.number = 2;
    e2.time = 49;
    e2.attenuation = 190;
    e2.loss = 250;
    e2.reflectance = 0;
    e2.code = "0F9999";
    e2.comment = "note";
    e2.markers[4] = 99;
    b.keyEvents.events = {e1, e2};
    b.keyEvents.endToEndLoss = 5;
    b.keyEvents.returnLoss = 33;
    b.dataPts.dataPointCount = 12;
    SorTrace t1;
    t1.pointCount = 8;
    t1.scaleFactor = 1000;
    t1.points = {65535, 60000, 50000, 40000, 30000, 20000, 10000, 0};
    SorTrace t2;
    t2.pointCount = 4;
    t2.scaleFactor = 1470;
    t2.points = {1, 2, 3, 4};
    b.dataPts.traces = {t1, t2};
    b.vendor.cursorA = 100;
    b.vendor.cursorB = -200;
    return b;
}

inline QByteArray sampleFile() { return writeSorBytes(sampleBlocks()); }

// Offset and size of the block `index` (0 = first block after the Map) of a well-formed file.
struct BlockSpan {
    qsizetype offset = 0;
    qsizetype size = 0;
    qsizetype sizeField = 0; // offset of the block's size in the Map directory
};

inline BlockSpan blockSpan(const QByteArray &file, int index)
{
    ByteCursor c(bytesOf(file), static_cast<size_t>(file.size()));
    c.skip(6);
    qsizetype offset = c.u32();
    c.skip(2);
    BlockSpan span;
    for (int i = 0; i <= index; ++i) {
        c.text();
        c.u16();
        span.sizeField = static_cast<qsizetype>(c.position());
        span.size = c.u32();
        span.offset = offset;
        offset += span.size;
    }
    return span;
}

// Replaces block `index` by `body`, fixing its size in the directory.
inline QByteArray replaceBlock(const QByteArray &file, int index, const QByteArray &body)
{
    const BlockSpan span = blockSpan(file, index);
    QByteArray out = file.left(span.offset) + body + file.mid(span.offset + span.size);
    putU32(out, span.sizeField, static_cast<uint32_t>(body.size()));
    return out;
}

} // namespace sortest
