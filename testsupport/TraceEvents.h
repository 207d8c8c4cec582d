#pragma once

// Events for tests, built by name instead of field by field:
//   testsupport::event(9000.0f, 2, 'E').loss(0.8f).total(2.1f).reflectance(-14.7f)
// Fields a test does not name stay as a default TraceEvent has them (0).

#include "trace/TraceData.h"

#include <cstdint>

namespace testsupport {

class EventBuilder {
public:
    // At `distance` metres, its SOR code's digit and letter ("1F", "2E", ...).
    EventBuilder(float distance, int typeDigit, char codeLetter)
    {
        e_.distance = distance;
        e_.typeDigit = typeDigit;
        e_.codeLetter = codeLetter;
    }

    EventBuilder &index(int32_t sample) { e_.index = sample; return *this; }
    EventBuilder &loss(float db) { e_.loss = db; return *this; }
    EventBuilder &total(float db) { e_.totalLoss = db; return *this; }
    EventBuilder &reflectance(float db) { e_.reflectance = db; return *this; }
    EventBuilder &attenuation(float dbPerKm) { e_.attenuation = dbPerKm; return *this; }

    operator TraceEvent() const { return e_; }

private:
    TraceEvent e_;
};

inline EventBuilder event(float distance, int typeDigit, char codeLetter)
{
    return EventBuilder(distance, typeDigit, codeLetter);
}

} // namespace testsupport
