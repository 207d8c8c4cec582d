#pragma once

#include <QIcon>

// Images the program draws itself: the window icon and the two event-list icons.
QIcon windowIcon();

// 16 x 16 icon of an event row: 0 non-reflective (a step), 1 reflective (a peak).
QIcon eventIcon(int kind);
