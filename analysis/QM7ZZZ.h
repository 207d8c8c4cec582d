#pragma once

// The event-analysis library's C interface. The program binds these entries by name from
// libQM7ZZZ.so beside the executable; EventList crosses by value in both directions.

#include "analysis/EventList.h"

#include <cstdint>

#if defined(QM7ZZZ_BUILDING)
#define QM7ZZZ_API __attribute__((visibility("default")))
#else
#define QM7ZZZ_API
#endif

extern "C" {

// Common to every entry: levels are (65535 - raw) / 1000 dB and fall along the fibre; a sample
// is (n x f x 10^6) / 299792458 x 2 per metre (n group index, f sampling frequency in MHz);
// losses are positive for a drop in level. Nothing thrown inside crosses these functions.
// n or f not positive (or not finite), or a list count outside 0..100, leaves the list as it
// came; so does a null sample pointer for an insert or a delete.

// Removes event number `eventNumber` counted from the first event after the start event
// (row 0 of the event list is event 1, entry 0 is never removed), re-measures the events on
// either side and recomputes every cumulative loss. No sample count comes with it: only samples
// up to the largest event index of `list` are read. `is1550` is 1 for a 1550 nm trace and is
// not needed; the last argument is unused (0.0). An out-of-range number returns `list`.
QM7ZZZ_API EventList QM7ZZZ_deleteEvent(int32_t eventNumber, const uint16_t *samples, int32_t is1550,
                                        int32_t pulseWidthNs, EventList list, float refractiveIndex,
                                        float samplingFrequencyMHz, float unused);

// Adds an event at sample `index` in distance order with code letter 'A': its loss from
// least-squares lines through the backscatter before and after it, type digit 1 with a
// reflectance when a peak stands above the backscatter (from the peak height, the pulse width
// and `backscatterDb`, the coefficient for 1 ns; 0 or positive takes a typical value for the
// wavelength), else 0; the attenuation of the fibre before it. The events on either side are
// re-measured and every cumulative loss recomputed. A full list (100), an index outside
// 0 .. sampleCount - 1 or one that already holds an event returns `list`.
QM7ZZZ_API EventList QM7ZZZ_insertEvent(int32_t index, const uint16_t *samples, int32_t wavelengthNm,
                                        int32_t pulseWidthNs, uint32_t sampleCount, EventList list,
                                        float refractiveIndex, float samplingFrequencyMHz,
                                        float backscatterDb);

// Fills totalLoss[i] for each i below count, in place: the attenuation of each section times
// its length plus the losses of the events up to event i that are losses of the link (not the
// fibre end's drop into the noise, not a launch level stored as a start event's loss; the rule
// is analysis/LinkLoss.h). Events past the fibre end keep its total. A section whose
// attenuation is 0 is measured from `samples` (read up to the largest event index; may be null).
QM7ZZZ_API void QM7ZZZ_Acount_Total_Loss(int32_t wavelengthNm, int32_t pulseWidthNs, const uint16_t *samples,
                                         EventList *list, float refractiveIndex, float samplingFrequencyMHz);

// Finds the events of a raw trace: the start event (code letter 'S'), every splice or
// connector whose loss reaches `lossThresholdDb` or whose reflectance reaches
// `reflectanceThresholdDb` (code letter 'F'), and the fibre end, where the level falls by at
// least `endThresholdDb` into the noise (code letter 'E'). Losses, reflectances, attenuations
// and cumulative losses are measured as for an added event. The reflectance threshold may come
// signed or, as files store it, unsigned (65 for -65 dB). A threshold of 0 takes a default
// (0.05 dB loss, -65 dB reflectance, 3 dB end); a backscatter coefficient of 0 takes a typical
// value for the wavelength. Invalid arguments give an empty list (count 0).
QM7ZZZ_API EventList QM7ZZZ_Event_Analysis(const uint16_t *samples, uint32_t sampleCount, int32_t wavelengthNm,
                                           int32_t pulseWidthNs, float refractiveIndex,
                                           float samplingFrequencyMHz, float lossThresholdDb,
                                           float reflectanceThresholdDb, float endThresholdDb,
                                           float backscatterDb);

// Version of the analysis algorithms as major * 10000 + minor * 100 + patch.
QM7ZZZ_API int32_t QM7ZZZ_algorithm_Version(void);
}

// Function-pointer types the program binds.
using QM7ZZZ_deleteEvent_fn = decltype(&QM7ZZZ_deleteEvent);
using QM7ZZZ_insertEvent_fn = decltype(&QM7ZZZ_insertEvent);
using QM7ZZZ_Acount_Total_Loss_fn = decltype(&QM7ZZZ_Acount_Total_Loss);
using QM7ZZZ_Event_Analysis_fn = decltype(&QM7ZZZ_Event_Analysis);
using QM7ZZZ_algorithm_Version_fn = decltype(&QM7ZZZ_algorithm_Version);
