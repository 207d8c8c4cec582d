#pragma once

#include "trace/TraceSet.h"

#include <QString>

class COtdrTrace;
class CLumidorDlg;

// Process-wide objects of one program run. The main window sets the references during its
// start and clears them when it is destroyed; everything else only reads them.
namespace program {

// The eight trace slots of the main window.
TraceSet &traceSet();

// The one trace view; null before the main window's start and after it is destroyed.
COtdrTrace *traceView();
void setTraceView(COtdrTrace *view);

// The main window; null outside its lifetime.
CLumidorDlg *mainWindow();
void setMainWindow(CLumidorDlg *window);

// Folder of the executable (Config.ini, libraries, logo, default/curve/). Tests point it at
// a folder of their own.
QString binFolder();
void setBinFolder(const QString &folder);

// The distance unit shown in lists and readouts: "m", "mi", "ft" or anything read from Config.ini.
QString &distanceUnit();

// Decimal places of distances in the event list (Unit/DFigure).
int &distanceDecimals();

// Multi-trace display (FileList/MultiMode) as last set.
bool &multiTraceMode();

} // namespace program
