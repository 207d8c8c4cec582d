#pragma once

#include <QString>

// One record of a power-meter file: six texts, shown and printed exactly as read.
struct OpmRecord {
    QString fiberId;
    QString cableId;
    QString date;
    QString time;
    QString value;
    QString operatorName;
};
