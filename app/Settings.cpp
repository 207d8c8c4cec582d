#include "app/Settings.h"

#include "app/Program.h"
#include "config/Configuration.h"
#include "config/PassThresholds.h"
#include "config/SettingsLocation.h"
#include "view/COtdrTrace.h"

namespace {

struct StartSettings {
    uint32_t background = 0;
    QString logoPath;
    QString passPath;
};

StartSettings &startSettings()
{
    static StartSettings s;
    return s;
}

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

void applyDisplaySettings(COtdrTrace &view, TraceSet &set)
{
    const DisplaySettings d = readDisplaySettings(g_iniConfig);
    applyTraceColours(d.colours, set);
    program::multiTraceMode() = d.multiMode;
    program::distanceDecimals() = d.distanceDecimals;
    program::distanceUnit() = d.distanceUnit;
    startSettings().background = d.colours.back;

    ViewSettings vs;
    vs.colors = viewColorsFrom(d.viewColours);
    vs.grid = d.gridVisible;
    vs.unit = d.distanceUnit;
    view.setViewSettings(vs);
}

uint32_t displayBackground()
{
    return startSettings().background;
}

void storeMultiTraceMode(bool on)
{
    writeMultiMode(g_iniConfig, on);
}

void setLogoPath(const QString &path)
{
    startSettings().logoPath = path;
}

QString logoPath()
{
    return startSettings().logoPath;
}

void loadPassThresholds(const QString &folder)
{
    startSettings().passPath = configFilePath(folder);
    ReadPassThresholds(settingsReadPath(startSettings().passPath));
}

QString passThresholdsPath()
{
    return startSettings().passPath;
}

int currentVerdict()
{
    return ComputeVerdict(program::traceSet());
}
