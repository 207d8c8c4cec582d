#include "app/Settings.h"

#include "app/Session.h"
#include "config/Configuration.h"
#include "config/PassThresholds.h"
#include "config/SettingsLocation.h"
#include "print/ReportEnvironment.h"
#include "textres/TextResources.h"
#include "trace/Verdict.h"
#include "view/COtdrTrace.h"
#include "view/TraceExport.h"

void applyDisplaySettings(Session &session, COtdrTrace &view)
{
    const DisplaySettings d = readDisplaySettings(session.g_iniConfig);
    applyTraceColours(d.colours, session.traceSet);
    session.multiTraceMode = d.multiMode;
    session.distanceDecimals = d.distanceDecimals;
    session.distanceUnit = d.distanceUnit;
    session.background = d.colours.back;

    view.setViewSettings(viewSettingsFrom(d));
}

void storeMultiTraceMode(Session &session, bool on)
{
    writeMultiMode(session.g_iniConfig, on);
}

void loadPassThresholds(Session &session)
{
    session.passThresholdsPath = configFilePath(session.binFolder);
    // From the copy of Config.ini read at start (the per-user one once one has been written).
    ReadPassThresholds(session.g_iniConfig, session.passThresholds);
}

void loadAnalysisSettings(Session &session)
{
    session.analysisSettings = readAnalysisSettings(session.g_iniConfig);
}

int currentVerdict(const Session &session)
{
    return ComputeVerdict(session.traceSet, session.passThresholds);
}

void loadReportSetup(Session &session)
{
    session.reportLabels = loadReportLabels(&loadText);
    session.reportFontTable = startupReportFontTable();
}

ReportEnvironment sessionReportEnvironment(const Session &session)
{
    const CMemIniFile &ini = session.g_iniConfig;
    return reportEnvironment(ini, readDisplaySettings(ini), session.reportLabels, session.reportFontTable,
                             session.passThresholds, session.logoPath);
}
