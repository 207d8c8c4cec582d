#include "tools/Commands.h"

#include "config/CMemIniFile.h"
#include "config/Configuration.h"
#include "config/PassThresholds.h"
#include "opm/OpmReader.h"
#include "print/DefaultCursorPair.h"
#include "print/PrintJob.h"
#include "print/ReportEnvironment.h"
#include "print/ReportRenderer.h"
#include "textres/TextResources.h"
#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"
#include "trace/TraceAnalysis.h"
#include "trace/TraceLoader.h"
#include "trace/TraceSet.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr char usage[] = "usage: sortool report [--per-page 1|2|4|6|8] [--summary] [--config FILE] --out FILE.pdf FILE.sor...\n"
                         "       sortool report [--config FILE] --out FILE.pdf FILE.opm\n";

QString executableFolder()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

// Print type of a --per-page value; empty for anything but 1, 2, 4, 6, 8.
QString printTypeFor(const char *perPage)
{
    static const char *const values[] = {"1", "2", "4", "6", "8"};
    for (int i = 0; i < 5; ++i) {
        if (std::strcmp(perPage, values[i]) == 0)
            return QString::number(i);
    }
    return {};
}

// Reads one SOR file into `slot` as the batch dialog does: the loader, then the default
// cursor pair. False (slot left without a trace, but with its name and folder) when the file
// cannot be read or holds no trace.
bool loadSlot(const QString &path, TraceSlot &slot, QM7ZZZ_Acount_Total_Loss_fn totalLoss,
              QM7ZZZ_Event_Analysis_fn analysis)
{
    const QFileInfo info(path);
    slot.fileName = info.fileName();
    slot.filePath = info.absolutePath();
    CSorFileBase sor;
    SorRecord record;
    const int result = sor.ReadFile(path, record);
    if (result != SorResult::Done || record.traces.empty()) {
        std::fprintf(stderr, "sortool report: cannot read %s (result %d%s)\n", qPrintable(path), result,
                     result == SorResult::Done ? ", no trace" : "");
        return false;
    }
    loadTrace(std::move(record), *slot.trace, totalLoss);
    // A file that stores no events is reported with the ones the analysis finds.
    if (!analyzeIfNoEvents(*slot.trace, analysis))
        eventsToEventList(*slot.trace);
    slot.loaded = 1;
    const CursorPair cursors = defaultCursorPair(*slot.trace);
    slot.cursorADistance = cursors.aDistance;
    slot.cursorALevel = cursors.aLevel;
    slot.cursorBDistance = cursors.bDistance;
    slot.cursorBLevel = cursors.bLevel;
    return true;
}

// Power-meter records of `path` for the print; false (after the message) when the file cannot
// be read. A file the viewer shows as an empty or cut-short table prints that table.
bool loadPowerMeterRows(const QString &path, std::vector<OpmRecord> &rows)
{
    const OpmFile file = readOpmFile(path);
    switch (file.status) {
    case OpmStatus::Unreadable:
        std::fprintf(stderr, "sortool report: cannot read %s\n", qPrintable(path));
        return false;
    case OpmStatus::TooLarge:
        std::fprintf(stderr, "sortool report: %s is larger than %lld bytes; no records printed\n", qPrintable(path),
                     static_cast<long long>(opmMaxFileSize));
        break;
    case OpmStatus::MalformedRecord:
        std::fprintf(stderr, "sortool report: %s: malformed record at byte %lld; records after it not printed\n",
                     qPrintable(path), static_cast<long long>(file.malformedAt));
        break;
    case OpmStatus::Empty:
    case OpmStatus::Complete:
        break;
    }
    rows.assign(file.records.begin(), file.records.end());
    return true;
}

int refuse(const char *message)
{
    std::fprintf(stderr, "sortool report: %s\n", message);
    std::fputs(usage, stderr);
    return 2;
}

} // namespace

// Prints SOR files to a PDF as a batch print does, or one power-meter file as the power-meter
// viewer prints it, without a window or a display.
int runReport(int argc, char **argv)
{
    QString printType = QStringLiteral("0");
    bool perPageGiven = false;
    bool summary = false;
    QString configPath;
    QString outPath;
    QStringList files;
    for (int i = 0; i < argc; ++i) {
        const char *arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(arg, "--per-page") == 0 && hasValue) {
            perPageGiven = true;
            printType = printTypeFor(argv[++i]);
            if (printType.isEmpty()) {
                std::fprintf(stderr, "sortool report: --per-page must be 1, 2, 4, 6 or 8, not %s\n", argv[i]);
                return 2;
            }
        } else if (std::strcmp(arg, "--summary") == 0) {
            summary = true;
        } else if (std::strcmp(arg, "--config") == 0 && hasValue) {
            configPath = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(arg, "--out") == 0 && hasValue) {
            outPath = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strncmp(arg, "--", 2) == 0) {
            std::fputs(usage, stderr);
            return 2;
        } else {
            files << QString::fromLocal8Bit(arg);
        }
    }
    if (outPath.isEmpty() || files.isEmpty()) {
        std::fputs(usage, stderr);
        return 2;
    }
    // A power-meter file is a table of its own: it prints alone, without trace options.
    qsizetype opmFiles = 0;
    for (const QString &path : files)
        opmFiles += isOpmPath(path) ? 1 : 0;
    const bool powerMeter = opmFiles > 0;
    if (powerMeter && files.size() > 1)
        return refuse("a power-meter file (.opm) prints alone: give one .opm file and no other files");
    if (powerMeter && (perPageGiven || summary))
        return refuse("--per-page and --summary apply to SOR files, not to a power-meter file");

    // Fonts and PDF output need a Gui application; no display is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int appArgc = 1;
    static char appName[] = "sortool";
    static char *appArgv[] = {appName, nullptr};
    QGuiApplication app(appArgc, appArgv);

    const QString folder = executableFolder();
    if (configPath.isEmpty())
        configPath = configFilePath(folder);
    else if (!QFileInfo::exists(configPath))
        std::fprintf(stderr, "sortool report: %s not found; default settings are used\n", qPrintable(configPath));
    configPath = QFileInfo(configPath).absoluteFilePath();
    CMemIniFile ini;
    ini.AttachFile(configPath);
    PassThresholds thresholds;
    ReadPassThresholds(configPath, thresholds);
    loadTextLibrary(folder);
    const ReportEnvironment env =
        reportEnvironment(ini, readDisplaySettings(ini), loadReportLabels(loadText), startupReportFontTable(),
                          thresholds, QDir(folder).filePath(QString::fromLatin1(logoFileName)));
    const QM7ZZZ_Acount_Total_Loss_fn totalLoss = bindEventAnalysis(folder).totalLoss;
    const QM7ZZZ_Event_Analysis_fn analysis = bindEventAnalysis(folder).eventAnalysis;

    if (powerMeter) {
        std::vector<OpmRecord> rows;
        const bool read = loadPowerMeterRows(files.front(), rows);
        const PrintJob job = powerMeterPrintJob(std::move(rows));
        if (!writeReportPdf(outPath, job, env)) {
            std::fprintf(stderr, "sortool report: cannot write %s\n", qPrintable(outPath));
            return 1;
        }
        return read ? 0 : 1;
    }

    std::vector<std::unique_ptr<TraceSlot>> slots;
    bool allRead = true;
    for (const QString &path : files) {
        auto slot = std::make_unique<TraceSlot>();
        allRead = loadSlot(path, *slot, totalLoss, analysis) && allRead;
        slots.push_back(std::move(slot));
    }

    std::vector<const TraceSlot *> loaded;
    for (const auto &slot : slots)
        loaded.push_back(slot.get());
    PrintJob job = batchPrintJob(printType, std::move(loaded));
    if (summary)
        job.summaryRows = summaryRowsForSlots(job.slots, job.count, thresholds);
    if (!writeReportPdf(outPath, job, env)) {
        std::fprintf(stderr, "sortool report: cannot write %s\n", qPrintable(outPath));
        return 1;
    }
    return allRead ? 0 : 1;
}
