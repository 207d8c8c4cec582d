#include "trace/EventList.h"

#include <cstring>

void EventList::reset()
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

EventList resetEventList()
{
    EventList list;
    std::memset(&list, 0, sizeof list);
    list.reset();
    return list;
}

const EventList fallbackEventList = resetEventList();
