#include "tools/Commands.h"

#include "config/CMemIniFile.h"
#include "config/Configuration.h"
#include "config/PassThresholds.h"
#include "tools/CommandSupport.h"
#include "trace/EventAnalysis.h"
#include "trace/TraceSet.h"
#include "trace/Verdict.h"
#include "view/TraceExport.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>

namespace {

constexpr char usage[] = "usage: sortool picture [--size WxH] [--config FILE] --out FILE.png FILE...\n";
constexpr int defaultWidth = 1200; // pixels
constexpr int defaultHeight = 700;
constexpr int largestSide = 8000;  // pixels; a picture beyond this is a typing error

// "WxH" with both sides 100 to 8000 pixels; an invalid size otherwise.
QSize parseSize(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return QSize();
    const int w = m.captured(1).toInt();
    const int h = m.captured(2).toInt();
    if (w < 100 || h < 100 || w > largestSide || h > largestSide)
        return QSize();
    return QSize(w, h);
}

} // namespace

// Draws the trace view of one or more SOR files (the last one selected, as after opening them
// in the program) into a PNG file, without a window or a display.
int runPicture(int argc, char **argv)
{
    const QStringList args = commandsupport::commandArguments("picture", argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("picture size"), QStringLiteral("WxH"));
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("PNG file"), QStringLiteral("FILE.png"));
    const QCommandLineOption configOption(QStringLiteral("config"), QStringLiteral("settings"), QStringLiteral("FILE"));
    parser.addOptions({sizeOption, outOption, configOption});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("SOR files"));
    if (!commandsupport::parseArguments(parser, args))
        return commandsupport::usageError("picture", usage, qPrintable(parser.errorText()));
    QSize size(defaultWidth, defaultHeight);
    if (parser.isSet(sizeOption)) {
        size = parseSize(parser.value(sizeOption));
        if (!size.isValid())
            return commandsupport::usageError("picture", usage, "--size must be WxH, each side 100 to 8000 pixels",
                                              qPrintable(parser.value(sizeOption)));
    }
    const QString outPath = parser.value(outOption);
    if (outPath.isEmpty())
        return commandsupport::usageError("picture", usage, "--out FILE.png is required");
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return commandsupport::usageError("picture", usage, "no file given");
    if (files.size() > TraceSet::slotCount)
        return commandsupport::usageError("picture", usage, "at most 8 files: the view holds eight traces");

    // Fonts and painting need a Gui application; no display is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int appArgc = 1;
    static char appName[] = "sortool";
    static char *appArgv[] = {appName, nullptr};
    QGuiApplication app(appArgc, appArgv);

    const QString folder = commandsupport::toolFolder();
    QString configPath = parser.isSet(configOption) ? parser.value(configOption) : configFilePath(folder);
    if (parser.isSet(configOption) && !QFileInfo::exists(configPath))
        std::fprintf(stderr, "sortool picture: %s not found; default settings are used\n", qPrintable(configPath));
    configPath = QFileInfo(configPath).absoluteFilePath();
    CMemIniFile ini;
    ini.AttachFile(configPath);
    const DisplaySettings display = readDisplaySettings(ini);
    PassThresholds thresholds;
    ReadPassThresholds(configPath, thresholds);
    const QM7ZZZ_Acount_Total_Loss_fn totalLoss = bindEventAnalysis(folder).totalLoss;

    TraceSet set;
    TraceViewState state;
    state.setClientRect(QRect(QPoint(0, 0), size), true);
    state.setTraceSource([&set]() -> const TraceData * {
        return set.loadedCount > 0 ? set.slots[static_cast<size_t>(set.currentSlot)].trace.get() : nullptr;
    });
    state.cursorsVisible = 1;
    bool allRead = true;
    for (const QString &path : files) {
        TraceSlot &slot = set.slots[static_cast<size_t>(set.loadedCount)];
        TraceCurve curve;
        if (!commandsupport::loadViewedTrace("picture", path, *slot.trace, curve, totalLoss)) {
            allRead = false;
            continue;
        }
        slot.loaded = 1;
        slot.filePath = QFileInfo(path).absoluteFilePath();
        set.currentSlot = set.loadedCount++;
        state.AddCurve(std::move(curve));
    }
    if (set.loadedCount == 0)
        return 1;
    // As the program shows them: every trace in multi-trace mode, else the selected one alone.
    const bool multi = display.multiMode;
    for (size_t i = 0; i < state.curves.size(); ++i)
        state.curves[i].visible = multi || static_cast<int>(i) == state.currentCurve ? 1 : 0;
    state.singleCurveMode = multi ? 0 : 1;
    state.RefreshCurves();

    const int verdict = ComputeVerdict(set, thresholds);
    const QImage picture = renderTracePicture(state, viewSettingsFrom(display), verdict, size);
    if (!writePngAtomically(outPath, picture)) {
        std::fprintf(stderr, "sortool picture: cannot write %s\n", qPrintable(outPath));
        return 1;
    }
    return allRead ? 0 : 1;
}
