#include "app/Program.h"

namespace program {

namespace {
COtdrTrace *g_traceView = nullptr;
CLumidorDlg *g_mainWindow = nullptr;

QString &binFolderStorage()
{
    static QString folder;
    return folder;
}
} // namespace

TraceSet &traceSet()
{
    static TraceSet set;
    return set;
}

COtdrTrace *traceView() { return g_traceView; }
void setTraceView(COtdrTrace *view) { g_traceView = view; }

CLumidorDlg *mainWindow() { return g_mainWindow; }
void setMainWindow(CLumidorDlg *window) { g_mainWindow = window; }

QString binFolder() { return binFolderStorage(); }
void setBinFolder(const QString &folder) { binFolderStorage() = folder; }

QString &distanceUnit()
{
    static QString unit = QStringLiteral("m");
    return unit;
}

int &distanceDecimals()
{
    static int decimals = 0;
    return decimals;
}

bool &multiTraceMode()
{
    static bool on = true;
    return on;
}

} // namespace program
