#pragma once

#include "print/PrintJob.h"
#include "print/ReportEnvironment.h"
#include "print/ReportFontTable.h"
#include "print/ReportTexts.h"

#include <QPoint>
#include <QRect>

#include <functional>

#include <cstdint>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
struct TraceData;
struct TraceSlot;

// Sizes of one printed page: the logical page (screen pixels of the paper) and the device.
struct PageGeometry {
    int logicalWidth = 0;
    int logicalHeight = 0;
    int deviceWidth = 0;   // device pixels
    int deviceHeight = 0;
    float scaleX = 1.0f;   // device pixels per screen pixel
    float scaleY = 1.0f;
    int screenDpi = 96;
};

// Logical size = device size in mm x screen pixels per inch x 10 / 254 (integer arithmetic).
PageGeometry pageGeometry(int widthMm, int heightMm, int deviceWidth, int deviceHeight, int dpiX, int dpiY,
                          int screenDpi = 96);
PageGeometry pageGeometry(const QPaintDevice &device, int screenDpi = 96);

// Maps the logical page onto the device.
void applyPageMapping(QPainter &painter, const PageGeometry &geometry);

// The points of the plotted curve in device pixels inside `q` (edges; 50 dB window). The full
// form has one point per sample; the reduced one keeps each pixel column's first, lowest,
// highest and last point, which draws the same pixels with a fraction of the points; a point
// equal to the one before it is left out. `columnWidth` device pixels make one column.
std::vector<QPoint> curvePoints(const uint16_t *samples, size_t n, const QRect &q);
std::vector<QPoint> reducedCurvePoints(const uint16_t *samples, size_t n, const QRect &q, int columnWidth = 1);

// The points of a polyline drawn clipped to `clip`, shortened without changing what is drawn
// inside it: repeated points, the inner points of runs beyond the top or the bottom edge and
// of straight horizontal or vertical runs are left out.
std::vector<QPoint> clippedPath(std::vector<QPoint> points, const QRect &clip);

// Draws page `page` (from 1) of the job: power-meter rows, a page of the summary table (the
// first summaryPageCount pages), one full report, or the compact reports of its cells. The
// painter must be active on the device the geometry describes.
void drawReportPage(QPainter &painter, const PrintJob &job, const ReportEnvironment &env, int page,
                    const PageGeometry &geometry);

// The cursors of a slot: for a main-window job the pair the job holds for it (the view's
// distances, the slot's own levels), the slot's own otherwise.
CursorPair reportCursors(const PrintJob &job, const TraceSlot &slot);

// Draws every page of the job on a paged device (printer or PDF), newPage between pages.
// `pageDone` (may be empty) is told each finished page and returns false to stop.
bool drawReportPages(QPainter &painter, QPagedPaintDevice &device, const PrintJob &job,
                     const ReportEnvironment &env, const std::function<bool(int page, int pages)> &pageDone = {});

// Writes the job as an A4 PDF in the print type's orientation. False when the file could not
// be written. `pageDone` as for drawReportPages: a caller that loads its traces page by page
// frees a finished page's traces there and loads the next page's.
bool writeReportPdf(const QString &path, const PrintJob &job, const ReportEnvironment &env, int resolution = 600,
                    const std::function<bool(int page, int pages)> &pageDone = {});
