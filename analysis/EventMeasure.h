#pragma once

#include "analysis/LineFit.h"

#include <cstdint>
#include <optional>

namespace qm7 {

// How the trace's sample grid and the pulse map onto each other.
struct Geometry {
    double spacingM = 0.0;     // m per sample
    double pulseSamples = 0.0; // length of the pulse response, samples
    int64_t guardBefore = 1;   // samples left out of a fit just before an event
    int64_t settle = 2;        // samples after a non-reflective event until the level is flat
    int32_t pulseWidthNs = 0;  // ns
};

// Geometry from group index n, sampling frequency f (MHz) and pulse width; empty unless n and
// f are positive finite numbers.
std::optional<Geometry> makeGeometry(float refractiveIndex, float samplingFrequencyMHz, int32_t pulseWidthNs);

// Typical backscatter coefficient for a 1 ns pulse, dB.
double defaultBackscatter(int32_t wavelengthNm);

struct Context {
    Samples samples;           // what may be read
    Geometry geometry;
    double backscatterDb = -81.0; // dB for 1 ns
    bool guardAtEnd = false;   // the readable range ends at an event, so keep clear of it
};

// What the two-line method finds at one position.
struct Measurement {
    bool lossValid = false;
    double loss = 0.0;           // dB, positive for a drop in level
    bool attenuationValid = false;
    double attenuation = 0.0;    // dB/km of the fibre before the position
    bool reflective = false;
    double reflectance = 0.0;    // dB
};

// The neighbours that bound the fits around a position.
struct Neighbours {
    int64_t previous = -1;       // index of the event before, -1 for none (the launch)
    int64_t next = 0;            // index of the event after, or the end of the readable range
    bool nextIsEvent = false;
    int64_t afterNext = 0;       // the same for the event after `next`
    bool afterNextIsEvent = false;
};

// First sample after the disturbance an event at `index` causes: the pulse's fall, and for a
// reflection its plateau and the receiver's recovery. Nothing from `limit` on is read.
int64_t deadZoneEnd(const Context &context, int64_t index, int64_t limit);

// Measures an event at `index` by straight-line fits of the backscatter before and after it.
// `fallbackSlope` (dB per sample) stands in where a section is too short to fit. Events closer
// than a dead zone cannot be told apart: the first takes the loss across both (its line after
// comes from beyond the second) and the second gets loss 0.
Measurement measureAt(const Context &context, int64_t index, const Neighbours &around, double fallbackSlope);

// Reflectance of a peak `heightDb` above the backscatter for a pulse of `pulseWidthNs`.
double reflectanceFromPeak(double heightDb, double backscatterDb, int32_t pulseWidthNs);

} // namespace qm7
