#pragma once

#include "config/CMemIniFile.h"
#include "config/SettingsLocation.h" // configFileName, configFilePath

#include <QString>

#include <array>
#include <cstdint>

// Binds `ini` (the session's in-memory copy of Config.ini, g_iniConfig) to Config.ini in
// `folder`, the program's folder. Writes to it last until the program
// ends; nothing writes it back to disk. A missing file leaves it empty: every setting then
// takes its absent value.
void bindConfiguration(const QString &folder, CMemIniFile &ini);

// Section Color: twelve colours 0x00BBGGRR; absent or non-numeric values are black (0).
struct ColourSettings {
    std::array<uint32_t, 8> trace{}; // Trace1 .. Trace8
    uint32_t back = 0;
    uint32_t grid = 0;
    uint32_t eventMarker = 0;
    uint32_t cursor = 0;
};

// Everything read once at start: two copies of the colours (one for the trace view, one for
// the trace slots, the panels and the report), the grid switch, multi-trace display and the
// distance settings.
struct DisplaySettings {
    ColourSettings viewColours;
    ColourSettings colours;
    bool gridVisible = false;     // Condition/Grid: on only if "0"
    bool multiMode = true;        // FileList/MultiMode: on unless "0"
    int32_t distanceDecimals = 0; // Unit/DFigure as stored; 1..4 give that many decimals, others none
    QString distanceUnit;         // Unit/Distance as stored: "m", "mi", "ft", or anything else
};

// Section PrintSetting, read each time printing or a preview starts.
struct PrintSettings {
    // Report blocks; each on unless its key is "0".
    bool selectLogo = true;
    bool selectShowVersion = true;
    bool selectJob = true;
    bool selectConfig = true;
    bool selectComment = true;
    bool selectTrace = true;
    bool selectEvent = true;

    QString job;
    QString contractor;
    QString customer;
    QString operatorName; // key Operator
    QString originLocation;
    QString originCable;
    QString originFiber;
    QString originColor;
    QString endLocation;
    QString endCable;
    QString endFiber;
    QString endColor;

    // True unless SelfDefine is "0": the measurement parameters are the nine texts below;
    // false: they come from the trace and the texts stay empty.
    bool selfDefine = true;
    QString wavelength;
    QString pulse;
    QString range;
    QString lossThreshold;
    QString reflectionThreshold;
    QString endThreshold;
    QString backscatterCoeff;
    QString index;
    QString average;
};

// The two switch rules of the file: "on unless 0" (absent means on) and "on only if 0".
bool switchOnUnlessZero(const QString &text);
bool switchOnOnlyIfZero(const QString &text);

ColourSettings readColourSettings(const CCustomIniFile &ini);

// The start-up reads in their order: the colours twice, then Condition/Grid, FileList/MultiMode,
// Unit/DFigure and Unit/Distance.
DisplaySettings readDisplaySettings(const CCustomIniFile &ini);

PrintSettings readPrintSettings(const CCustomIniFile &ini);

// PrintSetting/SelfDefine alone, read again as each report page is drawn.
bool readSelfDefine(const CCustomIniFile &ini);

// GlobalSetting/SorFilePath: the folder the open and batch dialogs start in (empty: none set).
QString readSorFilePath(const CCustomIniFile &ini);
void writeSorFilePath(CCustomIniFile &ini, const QString &folder);

// FileList/MultiMode as the information panel's box sets it: "1" or "0".
void writeMultiMode(CCustomIniFile &ini, bool on);
