#pragma once

#include "opm/OpmRecord.h"
#include "print/DefaultCursorPair.h"
#include "trace/CursorMeasurement.h"
#include "trace/LinkSummary.h"

#include <QPageLayout>
#include <QRect>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

struct PassThresholds;
struct TraceSet;
struct TraceSlot;

// Two traces of one fibre on one page: measured from both ends (first launched at A), or at two
// wavelengths (either order).
enum class PairPageKind { Bidirectional, Wavelengths };
struct PairPage {
    PairPageKind kind = PairPageKind::Bidirectional;
    const TraceSlot *first = nullptr;
    const TraceSlot *second = nullptr;
};

// What one preview or print run prints: filled by the caller (main window, batch dialog,
// power-meter viewer) and read by the page renderer.
struct PrintJob {
    QString printType = QStringLiteral("0");   // "0".."4": 1, 2, 4, 6, 8 traces a page
    std::vector<const TraceSlot *> slots;      // the traces to print, in print order
    int32_t count = 0;                         // slots to print (at most slots.size())
    int32_t batchFlag = 0;                     // 1: batch list with its own cursors; 0: main window
    CursorPair viewCursors;                    // the trace view's cursors, used when batchFlag is 0
    MeasurementMode measurementMode = MeasurementMode::TwoPoint; // how the A-B box measures
    // With batchFlag 0, one pair per slot: the view's cursor distances with that slot's own
    // levels (the current slot's exactly as the view shows them).
    std::vector<CursorPair> slotCursors;
    std::shared_ptr<const void> slotOwner;     // keeps slots the job does not borrow alive with it
    int32_t powerMeterMode = 0;                // 1: every page is the power-meter table
    std::vector<OpmRecord> powerMeterRows;
    QString powerMeterFile;                    // path of the power-meter file printed (PDF title)
    // When not empty (and not in power-meter mode) the run starts with the summary table, one
    // row each, before the reports.
    std::vector<LinkSummary> summaryRows;
    // Pages of two traces each, after the summary pages and before the traces' own reports.
    std::vector<PairPage> pairPages;
};

// Power-meter rows on one page.
inline constexpr int powerMeterRowsPerPage = 30;

// The main window's job: print type "0", the first loadedCount slots, batch flag 0 and the
// trace view's cursors (distances with the levels read off the current curve); every other
// slot gets the same distances with its own levels (cursorPairOn).
PrintJob mainWindowPrintJob(const TraceSet &traces, const CursorPair &viewCursors);

// A batch job (the batch dialog, sortool report): every slot in order, each with its own cursors.
PrintJob batchPrintJob(const QString &printType, std::vector<const TraceSlot *> slots);

// A power-meter job: print type "0", power-meter mode on, the records as its rows.
PrintJob powerMeterPrintJob(std::vector<OpmRecord> rows, const QString &file = QString());

// 0 -> 1, 1 -> 2, 2 -> 4, 3 -> 6, 4 -> 8; anything else (also text that is not a number) -> 1.
int tracesPerPage(const QString &printType);

// Font-table column: 1 -> 0, 2 -> 1, 4 -> 2, 6 -> 3, 8 -> 4, anything else -> 0.
int layoutIndex(int tracesPerPage);

// Portrait for print types 0 and 2, landscape for every other value.
QPageLayout::Orientation pageOrientation(const QString &printType);

// Summary table pages at the start of the run: none without summary rows or in power-meter
// mode, else one for every 30 rows begun.
int summaryPageCount(const PrintJob &job);

// Pages of a run: power-meter rows / 30, or the summary pages, one page per pair page and
// count / traces per page, each rounded up.
int pageCount(const PrintJob &job);

// The full path of a slot's file. Main-window slots hold it in filePath; batch slots hold the
// folder there and the name in fileName.
QString slotFilePath(const TraceSlot &slot);

// One summary row for each of the first `count` slots (at most slots.size()), in order: the
// summary of a loaded slot's trace judged with `thresholds`, the unreadable row of a slot
// without a trace (a file that could not be read), so no file drops out of the table.
std::vector<LinkSummary> summaryRowsForSlots(const std::vector<const TraceSlot *> &slots, int count,
                                             const PassThresholds &thresholds);

// Moves the slots of the job that are two directions of one fibre (the same cable, fibre and
// wavelength, locations swapped) into pair pages, A->B first, in the order of their first slot;
// every other slot stays a trace of its own, in order.
void pairBidirectionalSlots(PrintJob &job);

// Cell i of a page of logical size w x h for this many traces a page (1, 2, 4, 6, 8).
QRect cellRect(int tracesPerPage, int i, int w, int h);

// A rectangle given by its edges, the right and bottom edges outside it.
inline QRect rectFromEdges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}
