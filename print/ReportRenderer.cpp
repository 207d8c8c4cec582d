#include "print/ReportRenderer.h"

#include "config/AtomicWrite.h"
#include "print/PairReportPage.h"
#include "print/SummaryPage.h"
#include "print/TextBatch.h"
#include "trace/TraceData.h"
#include "trace/TraceMapping.h"
#include "trace/TraceSet.h"
#include "trace/Verdict.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include "print/PdfMetadata.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Rectangle edges as the page layout computes them; right and bottom lie outside.
struct Box {
    int l = 0;
    int t = 0;
    int r = 0;
    int b = 0;
    int w() const { return r - l; }
    int h() const { return b - t; }
    QRect rect() const { return rectFromEdges(l, t, r, b); }
};

Box boxOf(const QRect &r)
{
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

int trunc(double v)
{
    return static_cast<int>(v);
}

QSize textSize(const QPainter &p, const QString &text)
{
    return p.fontMetrics().size(Qt::TextSingleLine, text);
}

// Height of a line of text for the layout: the em size. The report layout assumes a face whose
// cell is one em high; faces with taller ascent and descent would push the boxes off the page.
int lineHeight(const QPainter &p)
{
    const int em = p.font().pixelSize();
    return em > 0 ? em : p.fontMetrics().height();
}

int textWidth(const QPainter &p, const QString &text)
{
    return p.fontMetrics().horizontalAdvance(text);
}


// Outline covering the pixels l..r-1 and t..b-1, with the painter's brush inside.
void drawBox(QPainter &p, const Box &b)
{
    p.drawRect(QRect(b.l, b.t, std::max(0, b.w() - 1), std::max(0, b.h() - 1)));
}

QColor colourOf(uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

// What every drawing routine of one report shares.
struct ReportPainter {
    QPainter &p;
    const PrintJob &job;
    const ReportEnvironment &env;
    const PageGeometry &g;
    const ReportFonts &fonts;
    int perPage = 1;

    // The page's text, drawn by flush(). Every routine of the report draws its text through
    // drawText (single line, unclipped) and its boxes through drawBox, which flushes first.
    TextBatch batch;

    void drawText(QPainter &, const Box &b, int flags, const QString &s) { batch.add(p, b.rect(), flags, s); }
    void drawBox(QPainter &, const Box &b)
    {
        // A filled box covers the text drawn before it.
        if (p.brush().style() != Qt::NoBrush)
            batch.flush(p);
        ::drawBox(p, b);
    }
    void flush() { batch.flush(p); }

    // Metrics of one report.
    int h = 0;
    int L = 0;
    int d = 0;
    Box content;
    int G = 0;

    void metrics(const Box &cell, bool full)
    {
        p.setFont(fonts.text);
        h = lineHeight(p);
        if (full) {
            L = trunc(h + std::max(0.5 * h, 4.0));
        } else {
            const double m = perPage == 6 ? 2.0 : (perPage < 4 ? 4.0 : 2.0);
            L = trunc(h + std::max(0.2 * h, m));
        }
        d = h / 2;
        content = {cell.l + d, cell.t + d, cell.r - d, cell.b - d};
        G = 3 * d;
        p.setPen(QPen(Qt::black, 0));
        p.setBrush(Qt::white);
        p.setBackgroundMode(Qt::TransparentMode);
    }

    void sectionBox(const QString &title, const Box &b)
    {
        drawBox(p, b);
        const QString text = QLatin1Char(' ') + title + QLatin1Char(' ');
        const int width = textWidth(p, text);
        const int height = lineHeight(p);
        const int top = b.t - height / 2;
        const Box band{b.l, top, b.r, top + height};
        const int left = b.l + (b.w() - width) / 2;
        flush();
        p.fillRect(QRect(left, top, width, height), Qt::white);
        drawText(p, band, Qt::AlignHCenter | Qt::AlignVCenter, text);
    }

    void labelColumn(const std::vector<QString> &labels, const std::vector<QString> &values, int rowHeight, int x, int y)
    {
        if (labels.size() != values.size())
            return;
        int labelWidth = 0;
        for (const QString &l : labels)
            labelWidth = std::max(labelWidth, textWidth(p, l));
        for (size_t i = 0; i < labels.size(); ++i) {
            const int top = y + static_cast<int>(i) * rowHeight;
            drawText(p, {x, top, x + labelWidth, top + rowHeight}, Qt::AlignLeft | Qt::AlignVCenter, labels[i]);
            if (!labels[i].isEmpty())
                drawText(p, {x + labelWidth, top, x + labelWidth + 4000, top + rowHeight}, Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral(": ") + values[i]);
        }
    }

    // Title with the logo left of it; returns the running y below the title and date row.
    int titleAndLogo(const Box &cell, int slotIndex, bool full)
    {
        p.setFont(fonts.title);
        const Box titleBox{cell.l, content.t, cell.l + content.w(), content.t + 3 * L};
        drawText(p, titleBox, Qt::AlignHCenter | Qt::AlignVCenter, env.labels.title);
        const int t = lineHeight(p);
        p.setFont(fonts.text);
        const Box r4{content.l, content.t + 3 * L, content.r, content.t + 4 * L};
        const QImage &logo = env.logo;
        if (!logo.isNull() && (!full || slotIndex % perPage == 0)) {
            const int bottom = r4.b - 2 - (env.settings.selectShowVersion ? L : 0);
            const int available = bottom - cell.t;
            const int limit = r4.l + (content.w() - t) / (full ? 2 : 3);
            int top = 0;
            int right = 0;
            if (logo.height() < available) {
                top = bottom - logo.height();
                right = r4.l + logo.width() < limit ? r4.l + logo.width() : limit;
            } else {
                const int w = logo.height() > 0 ? logo.width() * available / logo.height() : 0;
                right = w < limit - r4.l ? r4.l + w : limit - 10;
                top = cell.t;
            }
            if (right > r4.l && bottom > top) {
                flush();
                p.drawImage(rectFromEdges(r4.l, top, right, bottom), logo);
            }
        }
        return r4.t;
    }

    void tracePlot(const TraceData &trace, const CursorFractions &fractions, const Box &rect);
    void fullReport(int slotIndex, const Box &cell);
    void compactReport(int slotIndex, const Box &cell);
    void powerMeterPage(int page);

    const TraceSlot *slotAt(int index) const
    {
        if (index < 0 || index >= job.count || static_cast<size_t>(index) >= job.slots.size())
            return nullptr;
        const TraceSlot *slot = job.slots[static_cast<size_t>(index)];
        return (slot && slot->loaded && slot->trace) ? slot : nullptr;
    }
};

void ReportPainter::tracePlot(const TraceData &trace, const CursorFractions &fractions, const Box &rect)
{
    const int wL = textWidth(p, QStringLiteral("40.50"));
    const int hL = lineHeight(p);
    const Box P{rect.l + wL, rect.t, rect.r, rect.b - (hL + 4)};

    if (env.gridVisible) {
        const float sx = static_cast<float>(P.w()) / 10.0f;
        const float sy = static_cast<float>(P.h()) / 10.0f;
        const float v = trace.fibreLength * 0.001f / 10.0f;
        const float o = trace.userOffset == 0.0f ? 0.0f : trace.userOffset / 1000.0f;
        const int decimals = trace.fibreLength < 2000.0f ? 3 : 1;
        for (int i = 0; i < 10; ++i) {
            const QString text = QString::asprintf("%.*f", decimals, static_cast<double>(static_cast<float>(i) * v - o));
            int left = trunc(P.l + i * sx);
            if (i > 0)
                left -= textWidth(p, text) / 2;
            drawText(p, {left, P.b + 2, P.r, P.b + hL + 4}, Qt::AlignLeft | Qt::AlignTop, text);
        }
        drawText(p, {trunc(P.r - sx), P.b + 2, P.r, P.b + hL + 4}, Qt::AlignRight | Qt::AlignTop, QStringLiteral("km"));
        for (int i = 0; i < 10; ++i) {
            const QString text = QString::asprintf("%.1f", 5.0 * i + 0.04);
            const int bottom = i == 0 ? P.b : trunc(P.b + hL / 2 - i * sy);
            drawText(p, {P.l - 102, bottom - hL - 2, P.l - 2, bottom}, Qt::AlignRight | Qt::AlignVCenter, text);
        }
        drawText(p, {P.l - 102, P.t, P.l - 2, P.t + hL + 2}, Qt::AlignRight | Qt::AlignTop, QStringLiteral("dB"));

        flush();
        const QPen previous = p.pen();
        QPen dotted(colourOf(env.gridColour), 0, Qt::DotLine);
        p.setPen(dotted);
        const float columnStep = static_cast<float>(P.w() / 10);
        const float rowStep = static_cast<float>(P.h() / 10);
        for (int i = 1; i < 10; ++i) {
            const int x = trunc(P.l + i * columnStep);
            p.drawLine(x, P.b, x, P.t);
            const int y = trunc(P.b - i * rowStep);
            p.drawLine(P.l, y, P.r, y);
        }
        p.setPen(previous);
    }

    const int verdict = ComputeVerdict(&trace, env.thresholds);

    // From here on device pixels, so the curve keeps the device's full resolution.
    flush();
    p.setWindow(0, 0, g.deviceWidth, g.deviceHeight);
    const Box Q{trunc(P.l * g.scaleX), trunc(P.t * g.scaleY), trunc(P.r * g.scaleX), trunc(P.b * g.scaleY)};
    const QPen blackPen(Qt::black, 0);
    p.setPen(blackPen);

    const size_t n = std::min<size_t>(trace.sampleCount, trace.samples.size());
    if (n >= 100) {
        p.save();
        // Reflection peaks and noise beyond the 50 dB window would otherwise run over the
        // neighbouring boxes and cells.
        p.setClipRect(Q.rect());
        // Columns of 1/150 inch (0.17 mm): as fine as a printed trace line, and a quarter of the
        // points of a 600 dpi page, which is what makes a PDF of a whole cable small and quick.
        const int column = std::max(1, static_cast<int>(g.scaleX * static_cast<float>(g.screenDpi) / 150.0f));
        const std::vector<QPoint> points = clippedPath(reducedCurvePoints(trace.samples.data(), n, Q.rect(), column), Q.rect());
        p.drawPolyline(points.data(), static_cast<int>(points.size()));

        p.setFont(fonts.plotLabel);
        p.setBrush(Qt::white);
        const int u = trunc(std::min(Q.h() / 10, 20) * g.scaleY) / 2;
        const int b = trunc(g.scaleY * 4.0);
        for (size_t k = 0; k < trace.events.size(); ++k) {
            const int32_t s = trace.events[k].index;
            if (s < 0 || static_cast<size_t>(s) >= n)
                continue;
            const int x = Q.l + static_cast<int>((static_cast<uint64_t>(std::max(0, Q.w())) * static_cast<uint64_t>(s)) / n);
            const int y = trunc(Q.b - TraceMapping::levelDb(trace.samples[static_cast<size_t>(s)]) * Q.h() / 50.0);
            p.drawLine(x, y - u, x, y + u);
            drawBox(p, {x - b / 2, y + u, x + b / 2 + (k > 8 ? 2 : 0), y + u + b});
            const QString text = QStringLiteral("  %1").arg(k + 1);
            const int w = textWidth(p, text);
            const QSize size = textSize(p, text);
            drawText(p, {x, y + b + w, x + size.width() + 1, y + b + w + size.height()}, 0, text);
        }
        flush();
        p.restore();
    }

    p.setFont(fonts.plotText);
    const int e = Q.h() / 20;
    const struct {
        float fraction;
        const char *label;
    } marks[2] = {{fractions.a, "A"}, {fractions.b, "B"}};
    for (const auto &mark : marks) {
        if (!(mark.fraction > 0.0f))
            continue;
        const int x = trunc(Q.l + Q.w() * mark.fraction);
        p.drawLine(x, Q.t + e, x, Q.b);
        const QString text = QString::fromLatin1(mark.label);
        const QSize size = textSize(p, text);
        const int left = trunc(x + 2 * g.scaleX);
        drawText(p, {left, Q.t + e, left + size.width() + 1, Q.t + e + size.height()}, Qt::AlignLeft | Qt::AlignTop, text);
    }

    const QString verdictLabel = verdictText(verdict);
    if (!verdictLabel.isEmpty()) {
        p.setFont(fonts.verdict);
        drawText(p, {Q.l + (Q.w() * 8) / 10, Q.t, Q.r, Q.t + (Q.h() * 2) / 10}, Qt::AlignCenter, verdictLabel);
    }

    p.setBrush(Qt::NoBrush);
    drawBox(p, Q);
    p.setBrush(Qt::white);

    flush();
    applyPageMapping(p, g);
    p.setFont(fonts.text);
}

void ReportPainter::fullReport(int slotIndex, const Box &cell)
{
    const TraceSlot *slot = slotAt(slotIndex);
    if (!slot)
        return;
    const TraceData &trace = *slot->trace;
    const ReportLabels &lb = env.labels;
    metrics(cell, true);
    const ReportValues v = reportValues(*slot, env.settings, lb.autoText);

    int y = titleAndLogo(cell, slotIndex, true);
    const Box r4{content.l, y, content.r, y + L};
    drawText(p, r4, Qt::AlignLeft | Qt::AlignVCenter, modelLine(v.model, v.serialNumber));
    drawText(p, r4, Qt::AlignRight | Qt::AlignVCenter, env.printTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    y = content.t + 4 * L;

    if (env.settings.selectJob) {
        const Box box{content.l, y, content.r, y + 2 * (L + h)};
        sectionBox(lb.taskBox, box);
        labelColumn({lb.fileName, lb.operatorName}, {v.fileName, v.operatorName}, L, content.l + d, y + h);
        labelColumn({lb.testDate, QStringLiteral("GPS")}, {v.testDate, QStringLiteral(" ")}, L,
                    content.l + d + content.w() / 2, y + h);
        y += box.h() + G;
    }
    if (env.settings.selectConfig) {
        const Box box{content.l, y, content.r, y + 2 * (h + 3 * L)};
        sectionBox(lb.configurationBox, box);
        const QString db = QStringLiteral("(dB)");
        const int x1 = content.l + d;
        // The third row carries the link's figures: the fibre end's total loss and the ORL.
        labelColumn({lb.startCable, lb.endLocation, lb.totalLoss + db, lb.wavelength, lb.averageTime,
                     lb.reflectionThreshold + db},
                    {v.startCable, v.endLocation, v.totalLoss, v.wavelength + QStringLiteral("nm"),
                     v.average + QStringLiteral("s"), v.reflectionThreshold},
                    L, x1, y + h);
        labelColumn({lb.startFiber, lb.direction, lb.orl + db, lb.testRange, lb.backscatter + db, lb.endThreshold},
                    {v.startFiber, v.direction, v.orl, rangeText(v.range), v.backscatter, v.endThreshold}, L,
                    x1 + content.w() / 3, y + h);
        labelColumn({lb.startLocation, {}, {}, lb.pulseWidth, lb.lossThreshold + db, lb.refractiveIndex},
                    {v.startLocation, {}, {}, pulseText(v.pulse), v.lossThreshold, v.index}, L,
                    x1 + 2 * content.w() / 3, y + h);
        y += box.h() + G;
    }

    const CursorPair cursors = reportCursors(job, *slot);
    const AbTexts ab = measuredAbTexts(cursors, trace, job.measurementMode, lb, env.distanceUnit);
    const CursorFractions fractions = cursorFractions(cursors, trace);

    if (env.settings.selectTrace) {
        const Box box{content.l, y, content.r, y + trunc(0.45 * content.w())};
        sectionBox(lb.traceBox, box);
        tracePlot(trace, fractions, {box.l + d, box.t + h + h / 2, box.r - d, box.b - h});
        y += box.h() + G;
    }

    {
        p.setBackgroundMode(Qt::OpaqueMode);
        const Box box{content.l, y + 4, content.r, trunc(1.5 * L + (y + 4) + 2 * h)};
        sectionBox(lb.abBox, box);
        p.setBackgroundMode(Qt::TransparentMode);
        const int rowY = trunc((y + 4 + h) + 0.5 * L);
        const QString suffix = QStringLiteral("(A-B)");
        labelColumn({lb.abDistance + suffix}, {ab.distance}, L, content.l + d, rowY);
        labelColumn({lb.abLoss + suffix}, {ab.loss}, L, content.l + d + content.w() / 3, rowY);
        labelColumn({lb.abSlope + suffix}, {ab.slope}, L, content.l + d + 2 * content.w() / 3, rowY);
        y += box.h() + G;
    }

    if (env.settings.selectEvent) {
        const std::vector<ReportEventRow> rows = eventRows(trace, env.distanceUnit, lb);
        const int n = static_cast<int>(rows.size());
        const Box box{content.l, y + 4, content.r, (n + 1) * L + (y + 4) + h};
        sectionBox(lb.eventBox, box);
        const float c = static_cast<float>(content.w() / 7);
        const int columnWidth = trunc(c + 24.0);
        const int columnStep = trunc(c - 6.0);
        int top = box.t + h;
        for (int k = 0; k < 7; ++k) {
            const int left = content.l + k * columnStep;
            drawText(p, {left, top, left + columnWidth, top + L}, Qt::AlignHCenter | Qt::AlignVCenter, lb.eventColumns[k]);
        }
        for (const ReportEventRow &row : rows) {
            p.drawLine(content.l, top + L, content.r, top + L);
            top += L;
            for (int k = 0; k < 7; ++k) {
                const int left = content.l + k * columnStep;
                if (k == 0)
                    drawText(p, {left + d, top, left + columnWidth, top + L}, Qt::AlignLeft | Qt::AlignVCenter, row[0]);
                else
                    drawText(p, {left, top, left + columnWidth, top + L}, Qt::AlignHCenter | Qt::AlignVCenter,
                             row[static_cast<size_t>(k)]);
            }
        }
    }
}

void ReportPainter::compactReport(int slotIndex, const Box &cell)
{
    const TraceSlot *slot = slotAt(slotIndex);
    if (!slot)
        return;
    const TraceData &trace = *slot->trace;
    const ReportLabels &lb = env.labels;
    metrics(cell, false);
    const ReportValues v = reportValues(*slot, env.settings, lb.autoText);

    int y = titleAndLogo(cell, slotIndex, false);
    drawText(p, {content.l, y, content.r, y + L}, Qt::AlignRight | Qt::AlignVCenter,
             env.printTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    y = content.t + 4 * L;

    if (env.settings.selectJob) {
        const Box box{content.l, y, content.r, y + 2 * (L + h)};
        sectionBox(lb.taskBox, box);
        labelColumn({lb.fileName, lb.operatorName}, {v.fileName, v.operatorName}, L, content.l + d, y + h);
        labelColumn({lb.testDate}, {v.testDate}, L, content.l + d + content.w() / 2, y + h);
        y += box.h() + G;
    }
    if (env.settings.selectConfig) {
        const Box box{content.l, y, content.r, y + 2 * (h + 2 * L)};
        sectionBox(lb.configurationBox, box);
        const QString db = QStringLiteral("(dB)");
        labelColumn({lb.wavelength, lb.pulseWidth, lb.refractiveIndex, lb.reflectionThreshold + db},
                    {v.wavelength + QStringLiteral("nm"), pulseText(v.pulse), v.index, v.reflectionThreshold}, L,
                    content.l + d, y + h);
        labelColumn({lb.testRange, lb.averageTime, lb.lossThreshold + db, lb.endThreshold},
                    {rangeText(v.range), v.average + QStringLiteral("s"), v.lossThreshold, v.endThreshold}, L,
                    content.l + d + content.w() / 2, y + h);
        y += box.h() + G;
    }

    const CursorPair cursors = reportCursors(job, *slot);
    const AbTexts ab = measuredAbTexts(cursors, trace, job.measurementMode, lb, env.distanceUnit);
    const CursorFractions fractions = cursorFractions(cursors, trace);

    const CompactEventLimits limits = compactEventLimits(perPage);
    const int eventRowHeight = trunc(L * limits.rowFactor);

    if (env.settings.selectTrace) {
        const double share = perPage == 6 ? 0.35 : 0.45;
        int traceHeight = trunc(share * content.w());
        // In wide cells the plot would push the A-B and event boxes out of the cell: the plot
        // gives up the excess height, keeping at least a third of its size.
        const int below = G + (trunc(1.5 * L + 4 + 2 * h) + G)
                          + (env.settings.selectEvent ? 4 + (limits.rows + 1) * eventRowHeight + h : 0);
        const int excess = y + traceHeight + below - content.b;
        if (excess > 0)
            traceHeight = std::max(traceHeight / 3, traceHeight - excess);
        const Box box{content.l, y, content.r, y + traceHeight};
        sectionBox(lb.traceBox, box);
        tracePlot(trace, fractions, {box.l + d, box.t + h + h / 2, box.r - d, box.b - h});
        y += box.h() + G;
    }

    {
        p.setBackgroundMode(Qt::OpaqueMode);
        const Box box{content.l, y + 4, content.r, trunc(1.5 * L + (y + 4) + 2 * h)};
        sectionBox(lb.abBox + QStringLiteral("(A-B)"), box);
        p.setBackgroundMode(Qt::TransparentMode);
        const int rowY = trunc((y + 4 + h) + 0.5 * L);
        labelColumn({lb.abDistance}, {ab.distance}, L, content.l + d, rowY);
        labelColumn({lb.abLoss}, {ab.loss}, L, content.l + d + content.w() / 3, rowY);
        labelColumn({lb.abSlope}, {ab.slope}, L, content.l + d + 2 * content.w() / 3, rowY);
        y += box.h() + G;
    }

    if (env.settings.selectEvent) {
        const std::vector<ReportEventRow> rows = eventRows(trace, env.distanceUnit, lb);
        const int rowHeight = eventRowHeight;
        const Box box{content.l, y + 4, content.r, (limits.rows + 1) * rowHeight + (y + 4) + h};
        sectionBox(lb.eventBox, box);
        const float W = static_cast<float>(content.w());
        const int a = trunc(0.02 * W);
        const int b = trunc(0.24 * W);
        const int e = trunc(0.18 * W);
        const int last = trunc(0.2 * W);
        const size_t columns[5] = {0, 1, 3, 4, 5};
        const auto columnBox = [&](int k, int top) {
            const int left = content.l + a + b + (k - 1) * e;
            return Box{left, top, left + (k == 4 ? last : e), top + rowHeight};
        };
        int top = box.t + h;
        drawText(p, {content.l, top, content.l + b, top + rowHeight}, Qt::AlignHCenter | Qt::AlignVCenter, lb.eventColumns[0]);
        for (int k = 1; k < 5; ++k)
            drawText(p, columnBox(k, top), Qt::AlignHCenter | Qt::AlignVCenter, lb.eventColumns[columns[k]]);
        const size_t shown = std::min(rows.size(), static_cast<size_t>(limits.rows));
        for (size_t r = 0; r < shown; ++r) {
            top += rowHeight;
            p.drawLine(content.l, top, content.r, top);
            p.drawLine(content.l, top + rowHeight, content.r, top + rowHeight);
            drawText(p, {content.l + a, top, content.l + a + b, top + rowHeight}, Qt::AlignLeft | Qt::AlignVCenter, rows[r][0]);
            for (int k = 1; k < 5; ++k)
                drawText(p, columnBox(k, top), Qt::AlignHCenter | Qt::AlignVCenter, rows[r][columns[k]]);
        }
    }
}

void ReportPainter::powerMeterPage(int page)
{
    const std::vector<OpmRecord> &records = job.powerMeterRows;
    p.setFont(fonts.text);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::white);
    const int hh = lineHeight(p);
    const int dd = hh / 2;
    const Box page_{0, 0, g.logicalWidth, g.logicalHeight};
    const Box c{page_.l + dd, page_.t + dd, page_.r - dd, page_.b - dd};
    // Title (3 lines), header and 30 rows must stay on the paper whatever the face's height.
    const int fitting = (c.h() - 4 - hh) / (3 + powerMeterRowsPerPage + 1);
    const int line = std::min(trunc(hh + std::max(1.5 * hh, 6.0)), std::max(1, fitting));

    p.setFont(fonts.title);
    drawText(p, {page_.l, c.t, page_.l + c.w(), c.t + 3 * line}, Qt::AlignHCenter | Qt::AlignVCenter, env.labels.powerMeterTitle);
    p.setFont(fonts.text);

    const int count = static_cast<int>(records.size());
    const int first = powerMeterRowsPerPage * (page - 1);
    if (first < 0 || first >= count)
        return;
    const int rows = std::min(powerMeterRowsPerPage, count - first);
    const int boxTop = c.t + 3 * line + 4;
    drawBox(p, {c.l, boxTop, c.r, (rows + 1) * line + boxTop + hh});

    const float cw = static_cast<float>(c.w() / 6);
    const int step = trunc(cw - 6.0);
    const int width = trunc(cw);
    int top = boxTop + hh;
    for (int k = 0; k < 6; ++k) {
        const int left = c.l + k * step;
        drawText(p, {left, top, left + width, top + line}, Qt::AlignHCenter | Qt::AlignVCenter, env.labels.powerMeterColumns[k]);
    }
    for (int r = 0; r < rows; ++r) {
        const OpmRecord &record = records[static_cast<size_t>(first + r)];
        const QString *fields[6] = {&record.fiberId, &record.cableId, &record.date, &record.time, &record.value,
                                    &record.operatorName};
        p.drawLine(c.l, top + line, c.r - 1, top + line); // ends on the box's right edge
        top += line;
        for (int k = 0; k < 6; ++k) {
            const int left = c.l + k * step + (k == 0 ? dd : 0);
            drawText(p, {left, top, c.l + k * step + width, top + line}, Qt::AlignHCenter | Qt::AlignVCenter, *fields[k]);
        }
    }
}

} // namespace

PageGeometry pageGeometry(int widthMm, int heightMm, int deviceWidth, int deviceHeight, int dpiX, int dpiY, int screenDpi)
{
    PageGeometry g;
    g.logicalWidth = widthMm * screenDpi * 10 / 254;
    g.logicalHeight = heightMm * screenDpi * 10 / 254;
    g.deviceWidth = deviceWidth;
    g.deviceHeight = deviceHeight;
    g.scaleX = static_cast<float>(dpiX) / static_cast<float>(screenDpi);
    g.scaleY = static_cast<float>(dpiY) / static_cast<float>(screenDpi);
    g.screenDpi = screenDpi;
    return g;
}

PageGeometry pageGeometry(const QPaintDevice &device, int screenDpi)
{
    return pageGeometry(device.widthMM(), device.heightMM(), device.width(), device.height(), device.logicalDpiX(),
                        device.logicalDpiY(), screenDpi);
}

void applyPageMapping(QPainter &painter, const PageGeometry &g)
{
    painter.setWindow(0, 0, g.logicalWidth, g.logicalHeight);
    painter.setViewport(0, 0, g.deviceWidth, g.deviceHeight);
}

namespace {

struct CurveMapping {
    float fx;
    float fy;
    float base;
    float left;
};

CurveMapping curveMapping(size_t n, const QRect &q)
{
    const int width = q.width();
    const int height = q.height();
    const int bottom = q.top() + height;
    return {static_cast<float>(static_cast<double>(width) / static_cast<double>(n)),
            static_cast<float>(static_cast<double>(height) / 50000.0),
            // Raw s lies at bottom - levelDb(s) x height / 50, as the event marks do.
            static_cast<float>(bottom - height * (TraceMapping::fullScaleRaw / 50000.0)), static_cast<float>(q.left())};
}

QPoint curvePoint(const CurveMapping &m, size_t i, uint16_t sample)
{
    return {static_cast<int>(static_cast<float>(i) * m.fx + m.left), static_cast<int>(static_cast<float>(sample) * m.fy + m.base)};
}

} // namespace

std::vector<QPoint> curvePoints(const uint16_t *samples, size_t n, const QRect &q)
{
    std::vector<QPoint> points;
    if (n == 0)
        return points;
    const CurveMapping m = curveMapping(n, q);
    points.reserve(n);
    for (size_t i = 0; i < n; ++i)
        points.push_back(curvePoint(m, i, samples[i]));
    return points;
}

std::vector<QPoint> reducedCurvePoints(const uint16_t *samples, size_t n, const QRect &q, int columnWidth)
{
    std::vector<QPoint> points;
    if (n == 0)
        return points;
    const int width = std::max(1, columnWidth);
    const CurveMapping m = curveMapping(n, q);
    points.reserve(std::min<size_t>(n, static_cast<size_t>(std::max(1, q.width() / width + 2)) * 4));
    // A point equal to the one before it draws nothing; leaving it out keeps the path short.
    const auto add = [&points](const QPoint &pt) {
        if (points.empty() || points.back() != pt)
            points.push_back(pt);
    };
    const auto column = [&](const QPoint &pt) { return (pt.x() - q.left()) / width; };
    size_t i = 0;
    while (i < n) {
        const QPoint first = curvePoint(m, i, samples[i]);
        const int c = column(first);
        QPoint low = first;
        QPoint high = first;
        QPoint last = first;
        size_t j = i + 1;
        for (; j < n; ++j) {
            const QPoint pt = curvePoint(m, j, samples[j]);
            if (column(pt) != c)
                break;
            if (pt.y() < low.y())
                low = pt;
            if (pt.y() > high.y())
                high = pt;
            last = pt;
        }
        add(first);
        if (j - i > 1) {
            // The extremes in the order they occur, so the stroke does not double back.
            if (low.x() <= high.x()) {
                add(low);
                add(high);
            } else {
                add(high);
                add(low);
            }
            add(last);
        }
        i = j;
    }
    return points;
}

std::vector<QPoint> clippedPath(std::vector<QPoint> points, const QRect &clip)
{
    // Which side of the clip a point lies beyond, with a pixel to spare: -1 above, 1 below.
    const int top = clip.top() - 1;
    const int bottom = clip.top() + clip.height();
    const auto side = [&](const QPoint &pt) { return pt.y() < top ? -1 : (pt.y() > bottom ? 1 : 0); };
    std::vector<QPoint> kept;
    kept.reserve(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        const QPoint &pt = points[i];
        if (!kept.empty() && kept.back() == pt)
            continue;
        const size_t k = kept.size();
        // Between two points beyond the same edge the line stays beyond it: of a run of such
        // points only the first and the last are needed.
        if (k >= 2 && side(pt) != 0 && side(kept[k - 1]) == side(pt) && side(kept[k - 2]) == side(pt)) {
            kept.back() = pt;
            continue;
        }
        // The middle of three points on one horizontal or vertical line going on in the same
        // direction draws nothing of its own.
        if (k >= 2) {
            const QPoint &a = kept[k - 2];
            const QPoint &b = kept[k - 1];
            const bool horizontal = a.y() == b.y() && b.y() == pt.y() && (b.x() - a.x()) * (pt.x() - b.x()) > 0;
            const bool vertical = a.x() == b.x() && b.x() == pt.x() && (b.y() - a.y()) * (pt.y() - b.y()) > 0;
            if (horizontal || vertical) {
                kept.back() = pt;
                continue;
            }
        }
        kept.push_back(pt);
    }
    return kept;
}

CursorPair reportCursors(const PrintJob &job, const TraceSlot &slot)
{
    if (job.batchFlag == 0) {
        for (size_t i = 0; i < job.slots.size() && i < job.slotCursors.size(); ++i)
            if (job.slots[i] == &slot)
                return job.slotCursors[i];
        return job.viewCursors;
    }
    return {slot.cursorADistance, slot.cursorALevel, slot.cursorBDistance, slot.cursorBLevel};
}

void drawReportPage(QPainter &painter, const PrintJob &job, const ReportEnvironment &env, int page, const PageGeometry &g)
{
    const int perPage = tracesPerPage(job.printType);
    const ReportFonts fonts = reportFonts(env.fontTable, perPage, g.scaleY, g.screenDpi);
    painter.save();
    applyPageMapping(painter, g);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    ReportPainter r{painter, job, env, g, fonts, perPage, {}, 0, 0, 0, {}, 0};
    const int summaryPages = summaryPageCount(job);
    if (job.powerMeterMode) {
        r.powerMeterPage(page);
    } else if (page >= 1 && page <= summaryPages) {
        // The table takes the one-a-page fonts whatever the layout, so it reads alike in every run.
        const ReportFonts tableFonts = reportFonts(env.fontTable, 1, g.scaleY, g.screenDpi);
        painter.setFont(tableFonts.text);
        const int margin = lineHeight(painter) / 2;
        const QRect area(margin, margin, g.logicalWidth - 2 * margin, g.logicalHeight - 2 * margin);
        summarypage::drawSummaryPage(painter, area, tableFonts.title, tableFonts.text, tableFonts.textBold,
                                     job.summaryRows, page, env.labels.summary);
    } else if (page - summaryPages <= static_cast<int>(job.pairPages.size())) {
        // A fibre's two traces take the whole page with the one-a-page fonts.
        const ReportFonts pairFonts = reportFonts(env.fontTable, 1, g.scaleY, g.screenDpi);
        drawPairPage(painter, QRectF(0, 0, g.logicalWidth, g.logicalHeight),
                     job.pairPages[static_cast<size_t>(page - summaryPages - 1)], env.labels.pair, pairFonts.title,
                     pairFonts.text, pairFonts.textBold, env.printTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                     std::min(static_cast<double>(g.scaleX), 150.0 / g.screenDpi));
    } else {
        page -= summaryPages + static_cast<int>(job.pairPages.size());
        const int first = (page - 1) * perPage;
        if (perPage == 1) {
            r.fullReport(first, boxOf(cellRect(1, 0, g.logicalWidth, g.logicalHeight)));
        } else {
            for (int i = 0; i < perPage && first + i < job.count; ++i)
                r.compactReport(first + i, boxOf(cellRect(perPage, i, g.logicalWidth, g.logicalHeight)));
        }
    }
    r.flush();
    painter.restore();
}

bool drawReportPages(QPainter &painter, QPagedPaintDevice &device, const PrintJob &job, const ReportEnvironment &env,
                     const std::function<bool(int page, int pages)> &pageDone)
{
    const int pages = pageCount(job);
    const PageGeometry g = pageGeometry(device);
    // The device always has a first page: an empty power-meter table shows its title there.
    if (pages == 0 && job.powerMeterMode)
        drawReportPage(painter, job, env, 1, g);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1 && !device.newPage())
            return false;
        drawReportPage(painter, job, env, page, g);
        if (pageDone && !pageDone(page, pages))
            return false;
    }
    return true;
}

namespace {

bool writePdfFile(const QString &path, const PrintJob &job, const ReportEnvironment &env, int resolution,
                  const std::function<bool(int page, int pages)> &pageDone)
{
    const PdfMetadata meta = reportPdfMetadata(job, env.labels);
    QPdfWriter writer(path);
    writer.setResolution(resolution);
    writer.setCreator(meta.creator);
    writer.setTitle(meta.title);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), pageOrientation(job.printType), QMarginsF(5, 5, 5, 5),
                                     QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    // A run stopped half-way (pageDone said no) is no report: the old file stays.
    const bool complete = drawReportPages(painter, writer, job, env, pageDone);
    if (!painter.end() || !complete)
        return false;
    QFile file(path);
    return file.exists() && file.size() > 0 && addPdfAuthorToFile(path, meta.author);
}

} // namespace

bool writeReportPdf(const QString &path, const PrintJob &job, const ReportEnvironment &env, int resolution,
                    const std::function<bool(int page, int pages)> &pageDone)
{
    return writeThroughTemporaryFile(path, [&](const QString &temporaryPath) {
        return writePdfFile(temporaryPath, job, env, resolution, pageDone);
    });
}
