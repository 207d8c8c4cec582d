#pragma once

#include <QIcon>

// The window icon (drawn by the program) and the two event-list icons.
QIcon windowIcon();

// 16 x 16 icon of an event row: 0 non-reflective, 1 reflective.
QIcon eventIcon(int kind);
