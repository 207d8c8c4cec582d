#pragma once

#include <QIcon>
#include <QPixmap>

// The window icon (drawn by the program) and the two event-list icons.
QIcon windowIcon();

// The window icon drawn at size x size pixels (also the installed desktop icons).
QPixmap windowIconPixmap(int size);

// 16 x 16 icon of an event row: 0 non-reflective, 1 reflective.
QIcon eventIcon(int kind);
