#pragma once

#include "app/AnalysisState.h"
#include "config/CMemIniFile.h"
#include "config/PassThresholds.h"
#include "print/PrintJob.h"
#include "print/ReportFontTable.h"
#include "print/ReportLabels.h"
#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"
#include "trace/SorRecord.h"
#include "trace/TraceDocument.h"

#include <QString>

#include <cstdint>

// Everything one run of the program holds: the application owns one, the main window and the
// commands act on it, and the code below app/ gets the parts it needs as parameters. Tests make
// a fresh one per case, so nothing of one run reaches the next.
struct Session {
    // The loaded traces: the eight slots, the current one, the measurement mode. Commands change
    // it and each sends its one change notice; the main window's widgets draw from it.
    TraceDocument document;
    // The document's slots, by the name the code below app/ is handed them.
    TraceSet &traceSet = document.traces;

    // The SOR file object every read and save of the run goes through, and the record of the
    // file read last. A save builds its own record from the saved trace, so a later read never
    // reaches what the next save writes.
    CSorFileBase sorFile;
    SorRecord currentSorRecord;

    // Vertical extent in dB used by the trace view's scrolling and the overview panel; 0 until
    // the first load, never below 50 afterwards.
    int verticalRangeDb = 0;

    // The in-memory copy of Config.ini, bound when the main window starts.
    CMemIniFile g_iniConfig;

    // The pass/fail thresholds, read at start and by the pass/fail dialog, and their file.
    PassThresholds passThresholds;
    QString passThresholdsPath;

    // Folder of the executable (Config.ini, libraries, logo, default/curve/). Tests point it
    // at a folder of their own.
    QString binFolder;

    // Display settings read at start: the distance unit of lists and readouts ("m", "mi", "ft"
    // or anything read from Config.ini), decimals of event-list distances (Unit/DFigure), the
    // multi-trace display (FileList/MultiMode) and the background colour (0x00BBGGRR).
    QString distanceUnit = QStringLiteral("m");
    int distanceDecimals = 0;
    bool multiTraceMode = true;
    uint32_t background = 0;

    // Path of the report logo.
    QString logoPath;

    // The last print or preview run asked for; its power-meter mode is on while the power-meter
    // viewer is open.
    PrintJob printJob;
    // The report's fixed labels and fonts, set once at start.
    ReportLabels reportLabels;
    ReportFontTable reportFontTable;

    // The thresholds of Analyze trace (Config.ini, section Analysis) and the event changes
    // Edit > Undo can take back.
    AnalysisSettings analysisSettings;
    EventsUndo eventsUndo;

    // The event-analysis library's entries, bound once at start from binFolder; unbound entries
    // make the commands that need them say so and change nothing.
    EventAnalysisBinding analysis;
};
