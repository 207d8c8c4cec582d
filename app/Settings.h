#pragma once

#include <QString>

#include <cstdint>

class COtdrTrace;
struct TraceSet;

// The main window's start-up reads of Config.ini, in one place so nothing else reads settings.

// Colours, grid switch, multi-trace mode, distance unit and decimals: into the view, the trace
// slots' colours and the program state.
void applyDisplaySettings(COtdrTrace &view, TraceSet &set);

// Background colour of the view and the overview panel, 0x00BBGGRR.
uint32_t displayBackground();

// FileList/MultiMode in memory ("%d" of the state); never written to disk.
void storeMultiTraceMode(bool on);

// Path of the report logo.
void setLogoPath(const QString &path);
QString logoPath();

// Path of Config.ini used for the pass/fail thresholds; reads them.
void loadPassThresholds(const QString &folder);
QString passThresholdsPath();

// The verdict of the current trace: 0 none, 1 pass, 2 fail, 3 incomplete.
int currentVerdict();
