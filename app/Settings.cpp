#include "app/Settings.h"

#include "app/Session.h"
#include "config/Configuration.h"
#include "config/PassThresholds.h"
#include "config/SettingsLocation.h"
#include "print/ReportEnvironment.h"
#include "textres/TextResources.h"
#include "trace/Verdict.h"
#include "view/COtdrTrace.h"

namespace {

ViewColors viewColorsFrom(const ColourSettings &c)
{
    ViewColors v;
    v.trace = c.trace;
    v.background = c.back;
    v.grid = c.grid;
    v.eventMarks = c.eventMarker;
    v.cursor = c.cursor;
    return v;
}

} // namespace

void applyDisplaySettings(Session &session, COtdrTrace &view)
{
    const DisplaySettings d = readDisplaySettings(session.g_iniConfig);
    applyTraceColours(d.colours, session.traceSet);
    session.multiTraceMode = d.multiMode;
    session.distanceDecimals = d.distanceDecimals;
    session.distanceUnit = d.distanceUnit;
    session.background = d.colours.back;

    ViewSettings vs;
    vs.colors = viewColorsFrom(d.viewColours);
    vs.grid = d.gridVisible;
    vs.unit = d.distanceUnit;
    view.setViewSettings(vs);
}

void storeMultiTraceMode(Session &session, bool on)
{
    writeMultiMode(session.g_iniConfig, on);
}

void loadPassThresholds(Session &session)
{
    session.passThresholdsPath = configFilePath(session.binFolder);
    // An installed program reads the per-user copy once one has been written.
    ReadPassThresholds(settingsReadPath(session.passThresholdsPath), session.passThresholds);
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
