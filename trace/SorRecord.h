#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// One DataPts trace as stored.
struct SorTrace {
    int32_t pointCount = 0;
    int16_t scaleFactor = 1000;   // 1000 means 0.001 dB per raw step
    std::vector<uint16_t> points; // raw samples, level dB = (65535 - raw) / 1000 at scale 1000
};

// One KeyEvents event as stored.
struct SorEvent {
    int32_t time = 0;        // 100 ps, one-way time from the fibre start
    int16_t attenuation = 0; // 0.001 dB/km
    int16_t loss = 0;        // 0.001 dB
    int32_t reflectance = 0; // 0.001 dB
    QByteArray code;         // normally 6 bytes, e.g. "1F9999"
    QByteArray technique;    // normally 2 bytes, e.g. "LS"
    QByteArray comment;
};

// What a SOR read produces and a SOR save consumes. A value type that owns its arrays.
struct SorRecord {
    std::vector<SorTrace> traces;
    int32_t rangeMetres = 0;            // m
    int32_t pulseWidthNs = 0;           // ns
    int32_t wavelengthNm = 0;           // nm
    float samplingFrequencyMHz = 0.0f;  // MHz
    float refractiveIndex = 0.0f;       // group index
    float fibreLength = 0.0f;           // m
    float sampleSpacing = 0.0f;         // m per sample
    float backscatter = 0.0f;           // dB
    float lossThreshold = 0.0f;         // dB
    float reflectanceThreshold = 0.0f;  // dB
    float endThreshold = 0.0f;          // dB
    QStringList infoTexts;              // "key=value"
    int64_t timestamp = 0;              // s since 1970-01-01
    int32_t averages = 0;
    int32_t groupIndexRaw = 0;          // FxdParams group index as stored, 1e-5
    int32_t frontPanelOffset = 0;       // 100 ps, FxdParams: the front panel's time after the first sample
    float endToEndLossDb = 0.0f;        // dB, the instrument's own figure after the events; 0 none
    float orlDb = 0.0f;                 // dB, optical return loss the instrument stored; 0 none
    std::vector<SorEvent> events;
};
