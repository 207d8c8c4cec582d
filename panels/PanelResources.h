#pragma once

#include <QString>

// Registers the button images compiled into the program (":/png/<id>.png"). Safe to call often.
void initPanelResources();

// ":/png/<id>.png"
QString pngResourcePath(int resourceId);
