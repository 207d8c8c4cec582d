#include "print/PrintJob.h"

#include "print/SummaryPage.h"
#include "trace/FibrePairing.h"
#include "trace/TraceSet.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

PrintJob mainWindowPrintJob(const TraceSet &traces, const CursorPair &viewCursors)
{
    PrintJob job;
    job.printType = QStringLiteral("0");
    const int loaded = std::clamp(traces.loadedCount, 0, TraceSet::slotCount);
    for (int i = 0; i < loaded; ++i)
        job.slots.push_back(&traces.slots[static_cast<size_t>(i)]);
    job.count = loaded;
    job.batchFlag = 0;
    job.viewCursors = viewCursors;
    for (int i = 0; i < loaded; ++i) {
        const TraceSlot &slot = traces.slots[static_cast<size_t>(i)];
        job.slotCursors.push_back(i == traces.currentSlot ? viewCursors
                                                          : cursorPairOn(*slot.trace, viewCursors.aDistance,
                                                                         viewCursors.bDistance));
    }
    return job;
}

PrintJob batchPrintJob(const QString &printType, std::vector<const TraceSlot *> slots)
{
    PrintJob job;
    job.printType = printType;
    job.count = static_cast<int32_t>(slots.size());
    job.slots = std::move(slots);
    job.batchFlag = 1;
    return job;
}

PrintJob powerMeterPrintJob(std::vector<OpmRecord> rows, const QString &file)
{
    PrintJob job;
    job.powerMeterFile = file;
    job.printType = QStringLiteral("0");
    job.powerMeterMode = 1;
    job.powerMeterRows = std::move(rows);
    return job;
}

int tracesPerPage(const QString &printType)
{
    bool ok = false;
    switch (printType.trimmed().toInt(&ok)) {
    case 1: return 2;
    case 2: return 4;
    case 3: return 6;
    case 4: return 8;
    default: return 1;
    }
}

int layoutIndex(int perPage)
{
    switch (perPage) {
    case 2: return 1;
    case 4: return 2;
    case 6: return 3;
    case 8: return 4;
    default: return 0;
    }
}

QPageLayout::Orientation pageOrientation(const QString &printType)
{
    const int type = printType.trimmed().toInt();
    return (type == 0 || type == 2) ? QPageLayout::Portrait : QPageLayout::Landscape;
}

int summaryPageCount(const PrintJob &job)
{
    if (job.powerMeterMode || job.summaryRows.empty())
        return 0;
    return summarypage::pageCount(job.summaryRows.size());
}

int pageCount(const PrintJob &job)
{
    if (job.powerMeterMode) {
        const int rows = static_cast<int>(job.powerMeterRows.size());
        return (rows + powerMeterRowsPerPage - 1) / powerMeterRowsPerPage;
    }
    const int perPage = tracesPerPage(job.printType);
    const int count = std::max(0, job.count);
    return summaryPageCount(job) + static_cast<int>(job.pairPages.size()) + (count + perPage - 1) / perPage;
}

QString slotFilePath(const TraceSlot &slot)
{
    if (slot.filePath.isEmpty())
        return slot.fileName;
    if (slot.fileName.isEmpty())
        return slot.filePath;
    const QFileInfo info(slot.filePath);
    if (!info.isDir() && (info.isFile() || info.fileName() == slot.fileName))
        return slot.filePath;
    return QDir(slot.filePath).filePath(slot.fileName);
}

void pairBidirectionalSlots(PrintJob &job)
{
    const size_t n = std::min(job.slots.size(), static_cast<size_t>(std::max(0, job.count)));
    std::vector<FibreTrace> traces;
    std::vector<size_t> slotOf;
    for (size_t i = 0; i < n; ++i) {
        const TraceSlot *slot = job.slots[i];
        if (!slot || !slot->loaded || !slot->trace)
            continue;
        traces.push_back(fibreTrace(summarizeTrace(slotFilePath(*slot), *slot->trace, PassThresholds{}), *slot->trace));
        slotOf.push_back(i);
    }
    std::vector<bool> paired(n, false);
    for (const FibreRow &row : pairByFibre(traces)) {
        if (row.ba < 0)
            continue;
        const size_t ab = slotOf[static_cast<size_t>(row.ab)];
        const size_t ba = slotOf[static_cast<size_t>(row.ba)];
        job.pairPages.push_back({PairPageKind::Bidirectional, job.slots[ab], job.slots[ba]});
        paired[ab] = paired[ba] = true;
    }
    std::vector<const TraceSlot *> rest;
    for (size_t i = 0; i < n; ++i) {
        if (!paired[i])
            rest.push_back(job.slots[i]);
    }
    job.slots = std::move(rest);
    job.count = static_cast<int32_t>(job.slots.size());
}

std::vector<LinkSummary> summaryRowsForSlots(const std::vector<const TraceSlot *> &slots, int count,
                                             const PassThresholds &thresholds)
{
    const size_t n = std::min(slots.size(), static_cast<size_t>(std::max(0, count)));
    std::vector<LinkSummary> rows;
    rows.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const TraceSlot *slot = slots[i];
        const QString file = slot ? slotFilePath(*slot) : QString();
        if (slot && slot->loaded && slot->trace)
            rows.push_back(summarizeTrace(file, *slot->trace, thresholds));
        else
            rows.push_back(unreadableSummary(file));
    }
    return rows;
}

QRect cellRect(int perPage, int i, int w, int h)
{
    if (perPage == 2) {
        const float half = static_cast<float>(w) * 0.5f;
        const int left = static_cast<int>(static_cast<float>(i) * half);
        return rectFromEdges(left, 0, left + static_cast<int>(half), h);
    }
    if (perPage == 4 || perPage == 6 || perPage == 8) {
        const int columns = perPage / 2;
        const int rowHeight = h / 2;
        const float cw = static_cast<float>(w) / static_cast<float>(columns);
        const int column = i % columns;
        const int top = i >= columns ? rowHeight : 0;
        return rectFromEdges(static_cast<int>(static_cast<float>(column) * cw), top,
                             static_cast<int>(static_cast<float>(column + 1) * cw), top + rowHeight);
    }
    return QRect(0, 0, w, h);
}
