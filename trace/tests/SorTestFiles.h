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

// ---- Issue-1 files: no "Map\0" at the start, standard blocks without their own name. ----

struct Issue1Block {
    QByteArray name;
    uint16_t revision = 100;
    QByteArray body; // the block's bytes; a "Cksum" block with an empty body gets the CRC
};

inline QByteArray issue1GenParams(const QByteArray &cable, const QByteArray &fibre, const QByteArray &op)
{
    QByteArray out;
    ByteWriter w(out);
    w.fixed("EN", 2);
    w.text(cable);
    w.text(fibre);
    w.u16(1310);             // nominal wavelength, nm
    w.text("Hut A");
    w.text("Hut B");
    w.text("CC-9");
    w.fixed("BC", 2);
    w.i32(1470);             // user offset, 100 ps
    w.text(op);
    w.text("issue one");
    return out;
}

// 54 bytes: 1 pulse of 100 ns, `points` samples 0.5 m apart at n = 1.5 (spacing 2500 ps).
inline QByteArray issue1FxdParams(int32_t points, uint16_t wavelength = 13100)
{
    QByteArray out;
    ByteWriter w(out);
    w.u32(1150538471u);      // 0 date
    w.fixed("mt", 2);        // 4
    w.u16(wavelength);       // 6
    w.i32(-25);              // 8 acquisition offset
    w.u16(1);                // 12 pulse widths
    w.u16(100);              // 14 ns
    w.u32(250000);           // 16 spacing, 1e-8 us
    w.u32(static_cast<uint32_t>(points)); // 20
    w.u32(150000);           // 24 group index
    w.u16(800);              // 28 backscatter
    w.u32(6656);             // 30 averages
    w.u32(400000);           // 34 range, 100 ps
    w.i32(7);                // 38 front-panel offset
    w.u16(65000);            // 42 noise floor
    w.i16(1000);             // 44 its scale
    w.u16(3);                // 46 power offset
    w.u16(50);               // 48 loss threshold
    w.u16(65000);            // 50 reflectance threshold
    w.u16(6000);             // 52 end threshold
    return out;
}

struct Issue1Event {
    int32_t time;      // 100 ps
    int16_t loss;      // 0.001 dB
    int32_t reflectance;
    QByteArray code;
    QByteArray comment;
};

inline QByteArray issue1KeyEvents(const std::vector<Issue1Event> &events)
{
    QByteArray out;
    ByteWriter w(out);
    w.u16(static_cast<uint16_t>(events.size()));
    int16_t n = 1;
    for (const Issue1Event &e : events) {
        w.i16(n++);
        w.i32(e.time);
        w.i16(330);          // attenuation, 0.001 dB/km
        w.i16(e.loss);
        w.i32(e.reflectance);
        w.fixed(e.code, 6);
        w.fixed("LS", 2);
        w.text(e.comment);
    }
    w.i32(2564);             // end-to-end loss
    w.i32(0);
    w.i32(4475);
    w.u16(30279);            // return loss
    w.i32(0);
    w.i32(4475);
    return out;
}

inline std::vector<Issue1Event> issue1Events()
{
    return {{0, 168, -44478, "1F9999", "Link Start"}, {2000, 791, -38454, "1F9999", ""}, {4475, 0, -30760, "1E9999", "end"}};
}

inline QByteArray issue1DataPts(const std::vector<uint16_t> &points)
{
    DataPts d;
    d.dataPointCount = static_cast<int32_t>(points.size());
    SorTrace t;
    t.points = points;
    t.pointCount = static_cast<int32_t>(points.size());
    d.traces = {t};
    return writeDataPts(d).mid(8); // without "DataPts\0"
}

inline std::vector<uint16_t> issue1Samples(int n)
{
    std::vector<uint16_t> out(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        out[static_cast<size_t>(i)] = static_cast<uint16_t>(2000 + 10 * i); // 0.01 dB lower a sample
    return out;
}

// The blocks of a typical issue-1 file in its usual order, with a vendor block.
inline std::vector<Issue1Block> issue1Blocks(int points = 200)
{
    SupParams sup;
    sup.supplier = "Noyes";
    sup.mainframeId = "M200";
    sup.mainframeSerial = "S1";
    sup.moduleId = "Mod";
    sup.moduleSerial = "S2";
    sup.softwareRevision = "0.0.14";
    sup.other = " ";
    return {
        {"GenParams", 110, issue1GenParams("CABLE-1", "007", "SUZY")},
        {"SupParams", 100, writeSupParams(sup).mid(10)},
        {"FxdParams", 110, issue1FxdParams(points)},
        {"DataPts", 100, issue1DataPts(issue1Samples(points))},
        {"KeyEvents", 110, issue1KeyEvents(issue1Events())},
        {"Noyes2", 202, QByteArray("\x01\x02vendor bytes\0\x7f", 16)},
        {"Cksum", 100, QByteArray()},
    };
}

inline QByteArray issue1File(const std::vector<Issue1Block> &blocks)
{
    QByteArray out;
    ByteWriter w(out);
    w.u16(100);
    w.u32(0);
    w.u16(static_cast<uint16_t>(blocks.size() + 1));
    for (const Issue1Block &b : blocks) {
        w.text(b.name);
        w.u16(b.revision);
        w.u32(b.body.isEmpty() && b.name == "Cksum" ? 2u : static_cast<uint32_t>(b.body.size()));
    }
    putU32(out, 2, static_cast<uint32_t>(out.size()));
    for (const Issue1Block &b : blocks) {
        if (b.body.isEmpty() && b.name == "Cksum")
            w.u16(crc16CcittFalse(bytesOf(out), static_cast<size_t>(out.size())));
        else
            out.append(b.body);
    }
    return out;
}

} // namespace sortest
