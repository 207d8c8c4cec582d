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
#include "tools/CommandSupport.h"
#include "trace/FibrePairing.h"
#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"
#include "trace/TraceAnalysis.h"
#include "trace/TraceLoader.h"
#include "trace/TraceSet.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
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
                         "       sortool report --bidir [--summary] [--config FILE] --out FILE.pdf AB.sor BA.sor [AB.sor BA.sor ...]\n"
                         "       sortool report [--config FILE] --out FILE.pdf FILE.opm\n";

// Print type of a --per-page value; empty for anything but 1, 2, 4, 6, 8.
QString printTypeFor(const QString &perPage)
{
    static const char *const values[] = {"1", "2", "4", "6", "8"};
    for (int i = 0; i < 5; ++i) {
        if (perPage == QLatin1String(values[i]))
            return QString::number(i);
    }
    return {};
}

// Reads one SOR file into `slot` as the batch dialog does: the loader, then the default
// cursor pair. False (slot left without a trace, but with its name and folder) when the file
// cannot be read or holds no trace; the message only when `report` is set.
bool loadSlot(const QString &path, TraceSlot &slot, QM7ZZZ_Acount_Total_Loss_fn totalLoss,
              QM7ZZZ_Event_Analysis_fn analysis, bool report = true)
{
    const QFileInfo info(path);
    slot.fileName = info.fileName();
    slot.filePath = info.absolutePath();
    CSorFileBase sor;
    SorRecord record;
    const int result = sor.ReadFile(path, record);
    if (result != SorResult::Done || record.traces.empty()) {
        if (report)
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

// Lets go of a slot's trace, keeping its name, so a long run holds only the page it draws.
void releaseSlot(TraceSlot &slot)
{
    slot.loaded = 0;
    slot.trace = std::make_unique<TraceData>();
}

// The traces of a run, read for the page that prints them and let go after it. A file that
// cannot be read is named once.
class PageLoader {
public:
    PageLoader(const QStringList &files, QM7ZZZ_Acount_Total_Loss_fn totalLoss, QM7ZZZ_Event_Analysis_fn analysis)
        : files_(files), totalLoss_(totalLoss), analysis_(analysis), state_(static_cast<size_t>(files.size()), State::Unread)
    {
        for (qsizetype i = 0; i < files.size(); ++i) {
            auto slot = std::make_unique<TraceSlot>();
            const QFileInfo info(files[i]);
            slot->fileName = info.fileName();
            slot->filePath = info.absolutePath();
            slots_.push_back(std::move(slot));
        }
    }

    std::vector<const TraceSlot *> slots() const
    {
        std::vector<const TraceSlot *> out;
        for (const auto &slot : slots_)
            out.push_back(slot.get());
        return out;
    }
    const TraceSlot *slot(size_t i) const { return slots_[i].get(); }

    bool load(size_t i)
    {
        if (slots_[i]->loaded)
            return true;
        const bool ok = loadSlot(files_[static_cast<qsizetype>(i)], *slots_[i], totalLoss_, analysis_, state_[i] == State::Unread);
        if (!ok) {
            allRead_ = false;
            state_[i] = State::Failed;
        }
        return ok;
    }

    void release(size_t i) { releaseSlot(*slots_[i]); }
    bool allRead() const { return allRead_; }

private:
    enum class State { Unread, Failed };
    const QStringList &files_;
    QM7ZZZ_Acount_Total_Loss_fn totalLoss_;
    QM7ZZZ_Event_Analysis_fn analysis_;
    std::vector<std::unique_ptr<TraceSlot>> slots_;
    std::vector<State> state_;
    bool allRead_ = true;
};

// The slots page `page` of `job` draws: none on a summary page, the two of a pair page, the
// cells of a trace page.
std::vector<size_t> slotsOfPage(const PrintJob &job, const std::vector<std::pair<size_t, size_t>> &pairs, int page)
{
    const int summaryPages = summaryPageCount(job);
    const int pairPages = static_cast<int>(job.pairPages.size());
    if (page <= summaryPages)
        return {};
    if (page <= summaryPages + pairPages) {
        const auto &pair = pairs[static_cast<size_t>(page - summaryPages - 1)];
        return {pair.first, pair.second};
    }
    const int perPage = tracesPerPage(job.printType);
    const int first = (page - summaryPages - pairPages - 1) * perPage;
    std::vector<size_t> out;
    for (int i = first; i < first + perPage && i < job.count; ++i)
        out.push_back(static_cast<size_t>(i));
    return out;
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
    const QCommandLineOption perPageOption(QStringLiteral("per-page"), QString(), QStringLiteral("N"));
    const QCommandLineOption summaryOption(QStringLiteral("summary"));
    const QCommandLineOption bidirOption(QStringLiteral("bidir"));
    const QCommandLineOption configOption(QStringLiteral("config"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption outOption(QStringLiteral("out"), QString(), QStringLiteral("FILE"));
    QCommandLineParser parser;
    parser.addOptions({perPageOption, summaryOption, bidirOption, configOption, outOption});
    if (!commandsupport::parseArguments(parser, commandsupport::commandArguments("report", argc, argv))) {
        std::fputs(usage, stderr);
        return 2;
    }
    QString printType = QStringLiteral("0");
    const bool perPageGiven = parser.isSet(perPageOption);
    for (const QString &perPage : parser.values(perPageOption)) {
        printType = printTypeFor(perPage);
        if (printType.isEmpty()) {
            std::fprintf(stderr, "sortool report: --per-page must be 1, 2, 4, 6 or 8, not %s\n",
                         QFile::encodeName(perPage).constData());
            return 2;
        }
    }
    const bool summary = parser.isSet(summaryOption);
    const bool bidir = parser.isSet(bidirOption);
    QString configPath = parser.value(configOption);
    const QString outPath = parser.value(outOption);
    const QStringList files = parser.positionalArguments();
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
    if (powerMeter && (perPageGiven || summary || bidir))
        return refuse("--per-page, --summary and --bidir apply to SOR files, not to a power-meter file");
    if (bidir && perPageGiven)
        return refuse("--per-page does not apply to bidirectional pages (one fibre a page)");
    if (bidir && files.size() % 2 != 0)
        return refuse("--bidir takes the files in pairs (A->B, then B->A); the last file has no partner");

    // Fonts and PDF output need a Gui application; no display is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int appArgc = 1;
    static char appName[] = "sortool";
    static char *appArgv[] = {appName, nullptr};
    QGuiApplication app(appArgc, appArgv);

    const QString folder = commandsupport::toolFolder();
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
    const EventAnalysisBinding binding = bindEventAnalysis(folder);
    const QM7ZZZ_Acount_Total_Loss_fn totalLoss = binding.totalLoss;
    const QM7ZZZ_Event_Analysis_fn analysis = binding.eventAnalysis;

    if (powerMeter) {
        std::vector<OpmRecord> rows;
        const bool read = loadPowerMeterRows(files.front(), rows);
        const PrintJob job = powerMeterPrintJob(std::move(rows), files.front());
        if (!writeReportPdf(outPath, job, env)) {
            std::fprintf(stderr, "sortool report: cannot write %s\n", qPrintable(outPath));
            return 1;
        }
        return read ? 0 : 1;
    }

    PageLoader loader(files, totalLoss, analysis);
    std::vector<std::pair<size_t, size_t>> pairs;
    PrintJob job = batchPrintJob(printType, loader.slots());
    if (bidir) {
        for (size_t i = 0; i + 1 < static_cast<size_t>(files.size()); i += 2) {
            pairs.emplace_back(i, i + 1);
            job.pairPages.push_back({PairPageKind::Bidirectional, loader.slot(i), loader.slot(i + 1)});
        }
        job.count = 0;
    }
    if (summary) {
        for (size_t i = 0; i < static_cast<size_t>(files.size()); ++i) {
            loader.load(i);
            job.summaryRows.push_back(summaryRowsForSlots({loader.slot(i)}, 1, thresholds).front());
            loader.release(i);
        }
    }

    bool refused = false;
    const auto loadPage = [&](int page) {
        const std::vector<size_t> indices = slotsOfPage(job, pairs, page);
        for (size_t i : indices)
            loader.load(i);
        if (bidir && indices.size() == 2 && loader.slot(indices[0])->loaded && loader.slot(indices[1])->loaded) {
            const TraceData &ab = *loader.slot(indices[0])->trace;
            const TraceData &ba = *loader.slot(indices[1])->trace;
            if (!sameWavelength(ab.wavelengthNm, ba.wavelengthNm)) {
                refused = true;
                std::fprintf(stderr, "sortool report: %s and %s: different wavelengths (%d nm and %d nm) are not two directions of one measurement\n",
                             qPrintable(files[static_cast<qsizetype>(indices[0])]),
                             qPrintable(files[static_cast<qsizetype>(indices[1])]), ab.wavelengthNm, ba.wavelengthNm);
            }
        }
    };
    const int pages = pageCount(job);
    commandsupport::Progress progress("report", pages);
    loadPage(1);
    const auto pageDone = [&](int page, int) {
        for (size_t i : slotsOfPage(job, pairs, page))
            loader.release(i);
        progress.step(page);
        if (page < pages)
            loadPage(page + 1);
        return true;
    };
    if (!writeReportPdf(outPath, job, env, 600, pageDone)) {
        std::fprintf(stderr, "sortool report: cannot write %s\n", qPrintable(outPath));
        return 1;
    }
    if (refused)
        return 2;
    return loader.allRead() ? 0 : 1;
}
