#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The event table exchanged by value with the event-analysis library (libQM7ZZZ.so), which
// owns it: the program includes this header from here.
// Its layout is a binary interface: 2512 bytes, little-endian, no padding.
// Only entries 0 .. count - 1 of each array are meaningful.
struct EventList {
    static constexpr int capacity = 100;

    int32_t index[capacity];       // sample index of each event
    int32_t typeDigit[capacity];   // 0 non-reflective, 1 reflective, 2 fibre end, ...
    float reflectance[capacity];   // dB
    float loss[capacity];          // dB
    float attenuation[capacity];   // dB/km, fibre before the event
    float totalLoss[capacity];     // dB, cumulative up to and including the event
    float auxValue1;               // carried through, meaning is the library's
    int32_t count;                 // valid entries, 0 .. 100
    float auxValue2;               // carried through, 10.0 after a reset
    char codeLetter[capacity];     // second character of the SOR event code

    // Zeroes the six arrays, count 0, auxValue2 10.0; auxValue1 and codeLetter stay.
    void reset()
    {
        std::memset(index, 0, sizeof index);
        std::memset(typeDigit, 0, sizeof typeDigit);
        std::memset(reflectance, 0, sizeof reflectance);
        std::memset(loss, 0, sizeof loss);
        std::memset(attenuation, 0, sizeof attenuation);
        std::memset(totalLoss, 0, sizeof totalLoss);
        count = 0;
        auxValue2 = 10.0f;
    }
};

static_assert(sizeof(EventList) == 2512);
static_assert(offsetof(EventList, index) == 0);
static_assert(offsetof(EventList, typeDigit) == 400);
static_assert(offsetof(EventList, reflectance) == 800);
static_assert(offsetof(EventList, loss) == 1200);
static_assert(offsetof(EventList, attenuation) == 1600);
static_assert(offsetof(EventList, totalLoss) == 2000);
static_assert(offsetof(EventList, auxValue1) == 2400);
static_assert(offsetof(EventList, count) == 2404);
static_assert(offsetof(EventList, auxValue2) == 2408);
static_assert(offsetof(EventList, codeLetter) == 2412);

// A list in its reset state with every byte defined (codeLetter and auxValue1 zero).
inline EventList resetEventList()
{
    EventList list;
    std::memset(&list, 0, sizeof list);
    list.reset();
    return list;
}

// Stands in for a library result when the library entry is missing.
inline const EventList fallbackEventList = resetEventList();
