#pragma once

#include <QString>

class COtdrTrace;
struct ReportEnvironment;
struct Session;

// The main window's start-up reads of Config.ini, in one place so nothing else reads settings.

// Colours, grid switch, multi-trace mode, distance unit and decimals: into the view, the trace
// slots' colours and the session.
void applyDisplaySettings(Session &session, COtdrTrace &view);

// FileList/MultiMode in memory ("%d" of the state); never written to disk.
void storeMultiTraceMode(Session &session, bool on);

// Config.ini of the session's folder as the file of the pass/fail thresholds; reads them from
// the session's copy of Config.ini (g_iniConfig, bound first).
void loadPassThresholds(Session &session);
// The thresholds of Analyze trace, from the same copy.
void loadAnalysisSettings(Session &session);

// The verdict of the current trace: 0 none, 1 pass, 2 fail, 3 incomplete.
int currentVerdict(const Session &session);

// The report's labels from the text library and its font table as set at start.
void loadReportSetup(Session &session);

// What a print or preview run reads besides its job: PrintSetting, grid and unit from the
// session's Config.ini as it is now, the labels, fonts, thresholds and the logo.
ReportEnvironment sessionReportEnvironment(const Session &session);
