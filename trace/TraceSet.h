#pragma once

#include "config/Configuration.h"
#include "trace/TraceData.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

// One of the eight places a loaded file occupies. Batch printing uses the same layout.
struct TraceSlot {
    int32_t loaded = 0;              // 1 while a file occupies the slot
    QString fileName;                // without the folder
    QString filePath;                // full path
    std::unique_ptr<TraceData> trace = std::make_unique<TraceData>();
    float cursorADistance = 0.0f;    // m
    float cursorALevel = 0.0f;       // dB
    float cursorBDistance = 0.0f;    // m
    float cursorBLevel = 0.0f;       // dB
    int32_t batchTag = 0;
    QString batchText;
    // Set by every load into the slot (TraceDocument::nextLoadStamp); what a widget derived from
    // the slot's trace stays valid while the stamp is the same.
    uint64_t loadStamp = 0;
};

struct TraceSet {
    static constexpr int slotCount = 8;

    std::array<TraceSlot, slotCount> slots;
    int32_t currentSlot = 0;
    int32_t loadedCount = 0;
    std::array<uint32_t, slotCount + 1> colourTable{}; // entries 1..8, 0x00BBGGRR; entry 0 unused

    // True when one of the first loadedCount slots holds this path (A-Z compared without case),
    // unless the two spellings are two different existing files.
    bool containsPath(const QString &path) const;

    // Colour number n: entry n for 2..8, entry 1 for anything else.
    uint32_t colourFor(int n) const;

    // Marks the first loadedCount slots free; currentSlot and loadedCount become 0.
    void reset();
};

// Gives the trace set's colour table entries 1..8 and each slot's trace its slot's colour.
void applyTraceColours(const ColourSettings &colours, TraceSet &traces);
