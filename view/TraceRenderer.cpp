#include "view/TraceRenderer.h"

#include "trace/Units.h"
#include "view/Truncation.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

using viewmath::truncToInt;
using viewmath::truncToInt64;

const QColor currentCurveColour(225, 225, 0);
const QColor markColour(255, 0, 0);
const QColor cursorTextColour(255, 255, 255);
const QColor axisTextColour(30, 168, 234);
const QColor zoomBoxColour(255, 0, 0);
const QColor arrowColour(200, 200, 200);
const QColor passFailColour(255, 0, 0);

// Font heights are character-cell heights (ascent + descent) in pixels; Arial's em square is
// 2048 / 2288 of its cell.
QFont makeFont(int cellHeight, bool bold)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(qRound(cellHeight * 2048.0 / 2288.0));
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    return f;
}

// A rectangle outline with exclusive right and bottom edges: columns left..right-1, rows
// top..bottom-1.
void drawOutline(QPainter &p, int left, int top, int right, int bottom)
{
    p.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

// Sample range and pixel scales of one curve in the current window.
struct CurveGeometry {
    bool drawn = false;
    int64_t first = 0;
    int64_t last = 0;
    float width = 0.0f;
    float span = 0.0f; // xMax - xMin
    float k = 0.0f;    // pixels per dB
    float b = 0.0f;    // row of 0 dB
};

CurveGeometry curveGeometry(const TraceViewState &state, const TraceCurve &curve)
{
    CurveGeometry g;
    const int w = state.plotRect.width();
    const int h = state.plotRect.height();
    const int64_t n = std::min<int64_t>(std::max(curve.sampleCount, 0),
                                        static_cast<int64_t>(curve.levels.size()));
    if (w <= 0 || h <= 0 || n <= 0 || !(curve.spacing > 0.0f) || !(state.xMax > state.xMin)
        || !(state.yMax > state.yMin))
        return g;
    const double s = curve.spacing;
    g.first = truncToInt64((static_cast<double>(state.xMin) - 0.001) / s);
    g.last = truncToInt64((static_cast<double>(state.xMax) - 0.001) / s);
    // A window starting before sample 0 draws nothing; deciding that first keeps the
    // difference below from overflowing with absurd spacings.
    if (g.first >= n || g.first < 0)
        return g;
    // With fewer samples than columns one more sample reaches the right edge.
    if (g.last - g.first < w)
        g.last += 1;
    if (g.last >= n)
        g.last = n - 1;
    if (g.last < g.first)
        return g;
    g.drawn = true;
    g.width = static_cast<float>(w);
    g.span = state.xMax - state.xMin;
    const float hf = static_cast<float>(h);
    g.k = hf / (state.yMax - state.yMin);
    g.b = hf * state.yMin / (state.yMax - state.yMin) + hf + static_cast<float>(curve.pixelOffset);
    return g;
}

// One-pixel lines drawn straight into the layer, both end points included and every pixel
// decided by its own row or column, so that clipping never changes which pixels inside the
// layer are lit. Qt's cosmetic stroker lights or drops a segment's end pixel depending on
// direction and clipping, which would make a column-reduced polyline differ from the full one.
struct Canvas {
    explicit Canvas(QImage &image)
        : bits(reinterpret_cast<QRgb *>(image.bits()))
        , stride(image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb)))
        , width(image.width())
        , height(image.height())
    {
    }
    void plot(int64_t x, int64_t y, QRgb colour)
    {
        if (x >= 0 && y >= 0 && x < width && y < height)
            bits[y * stride + x] = colour;
    }
    QRgb *bits;
    qsizetype stride; // pixels per line
    int width;
    int height;
};

// Nearest integer, halves away from zero; inline, unlike the library call.
int64_t roundToInt64(double v)
{
    return static_cast<int64_t>(v < 0.0 ? v - 0.5 : v + 0.5);
}

void drawSegment(Canvas &canvas, QPoint a, QPoint b, QRgb colour)
{
    const int64_t dx = static_cast<int64_t>(b.x()) - a.x();
    const int64_t dy = static_cast<int64_t>(b.y()) - a.y();
    if (dx == 0) { // the common case of a reduced curve: one column
        if (a.x() < 0 || a.x() >= canvas.width)
            return;
        const int64_t from = std::max<int64_t>(std::min(a.y(), b.y()), 0);
        const int64_t to = std::min<int64_t>(std::max(a.y(), b.y()), canvas.height - 1);
        QRgb *pixel = canvas.bits + a.x();
        for (int64_t y = from; y <= to; ++y)
            pixel[y * canvas.stride] = colour;
        return;
    }
    if (std::llabs(dx) >= std::llabs(dy)) {
        const int64_t from = std::max<int64_t>(std::min(a.x(), b.x()), 0);
        const int64_t to = std::min<int64_t>(std::max(a.x(), b.x()), canvas.width - 1);
        const double slope = static_cast<double>(dy) / static_cast<double>(dx);
        for (int64_t x = from; x <= to; ++x)
            canvas.plot(x, a.y() + roundToInt64(static_cast<double>(x - a.x()) * slope), colour);
    } else {
        const int64_t from = std::max<int64_t>(std::min(a.y(), b.y()), 0);
        const int64_t to = std::min<int64_t>(std::max(a.y(), b.y()), canvas.height - 1);
        const double slope = static_cast<double>(dx) / static_cast<double>(dy);
        for (int64_t y = from; y <= to; ++y)
            canvas.plot(a.x() + roundToInt64(static_cast<double>(y - a.y()) * slope), y, colour);
    }
}

void drawPolyline(QImage &image, const std::vector<QPoint> &points, const QColor &colour)
{
    Canvas canvas(image);
    const QRgb c = colour.rgb();
    if (points.size() == 1)
        canvas.plot(points[0].x(), points[0].y(), c);
    for (size_t i = 1; i < points.size(); ++i)
        drawSegment(canvas, points[i - 1], points[i], c);
}

void drawMarks(QPainter &p, const TraceViewState &state, const TraceCurve &curve,
               const CurveGeometry &g, const ViewSettings &settings, const TraceViewFonts &fonts)
{
    const QColor textColour = bgrColor(settings.colors.eventMarks);
    p.setBackgroundMode(Qt::TransparentMode);
    p.setFont(fonts.markNumber);
    p.setPen(textColour);
    const QFontMetrics boldMetrics(fonts.markNumber);
    const int plotWidth = state.plotRect.width();
    p.drawText(QRect(0, 0, plotWidth, boldMetrics.height()), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
               curve.caption);

    for (size_t j = 0; j < curve.markers.size(); ++j) {
        const EventMark &m = curve.markers[j];
        if (m.sampleIndex < g.first || m.sampleIndex > g.last)
            continue;
        const int x = truncToInt((m.distance - state.xMin) * g.width / g.span);
        const int y = truncToInt(g.b - curve.levels[static_cast<size_t>(m.sampleIndex)] * g.k);
        // A mark this far off the layer shows nothing and would overflow the box arithmetic.
        constexpr int farOff = 1 << 20;
        if (x < -farOff || x > farOff || y < -farOff || y > farOff)
            continue;
        const int boxLeft = x - 8;
        const int boxTop = y + 20;
        const int boxRight = x + 8 + (j > 8 ? 2 : 0); // two-digit numbers need a wider box
        const int boxBottom = y + 38;

        p.setPen(QPen(markColour, 0));
        p.drawLine(x, y - 10, x, y + 20);
        drawOutline(p, boxLeft, boxTop, boxRight, boxBottom);

        const QString number = QString::number(static_cast<int>(j) + 1);
        p.setPen(textColour);
        p.setFont(fonts.markNumber);
        p.drawText(QRect(boxLeft + 2, boxTop + 2, boxRight - boxLeft - 4, boxBottom - boxTop - 4),
                   Qt::AlignCenter | Qt::TextSingleLine, number);

        const float km = (m.distance - curve.userOffset) / 1000.0f;
        QString label;
        if (settings.unit == QLatin1String("m"))
            label = QString::asprintf("%.3fkm", static_cast<double>(km));
        else if (settings.unit == QLatin1String("mi"))
            label = QString::asprintf("%.3fmiles", static_cast<double>(units::convertKm(km, settings.unit)));
        else if (settings.unit == QLatin1String("ft"))
            label = QString::asprintf("%.3fkft", static_cast<double>(units::convertKm(km, settings.unit)));
        else
            label = number;
        const int w = boldMetrics.horizontalAdvance(label);
        const int h = boldMetrics.height();
        // Reads upward and ends at the bottom of the box, centred on the mark line.
        p.save();
        p.translate(x - h / 2, boxBottom + w);
        p.rotate(-90.0);
        p.setFont(fonts.markLabel);
        p.drawText(QRect(0, 0, w, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, label);
        p.restore();
    }
}

void drawGrid(QPainter &p, const TraceViewState &state, const ViewSettings &settings)
{
    const int left = state.plotRect.left();
    const int right = left + state.plotRect.width();
    const int w = state.plotRect.width();
    const int h = state.plotRect.height();
    QList<QPoint> dots;
    for (int i = 0; i <= 9; ++i) {
        const int x = i * (w / 10) + left;
        for (int y = h; y > 0; y -= 2)
            dots.append(QPoint(x, y));
    }
    for (int j = 0; j <= 9; ++j) {
        const int y = h - j * (h / 10);
        for (int x = left; x < right; x += 2)
            dots.append(QPoint(x, y));
    }
    p.setPen(QPen(bgrColor(settings.colors.grid), 0));
    p.drawPoints(dots.constData(), static_cast<int>(dots.size()));
}

void drawLevelLabels(QPainter &p, const TraceViewState &state, const TraceViewFonts &fonts)
{
    if (!(state.yMax >= 0.0f && state.yMax <= 100.0f))
        return;
    const QFontMetrics fm(fonts.axis);
    const int th = fm.height();
    const int h = state.plotRect.height();
    const int left = state.clientRect.left();
    for (int k = 1; k <= 9; ++k) {
        const float v = state.yMin + (state.yMax - state.yMin) * static_cast<float>(k) / 10.0f;
        const int y = h - k * (h / 10);
        p.drawText(QRect(left, y - th / 2, 23, th), Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
                   QString::asprintf("%.1f", static_cast<double>(v)));
    }
    p.drawText(QRect(left, state.clientRect.top() + 5, 23, th), Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
               QStringLiteral("dB"));
}

void drawDistanceLabels(QPainter &p, const TraceViewState &state, const TraceViewFonts &fonts)
{
    if (!(state.xMax > 0.0f))
        return;
    const TraceCurve *c = state.current();
    const float offset = c ? c->userOffset : 0.0f;
    const QFontMetrics fm(fonts.axis);
    const int th = fm.height();
    const int bottom = state.clientRect.top() + state.clientRect.height() - 3;
    const int w = state.plotRect.width();
    const int left = state.plotRect.left();
    for (int k = 0; k <= 9; ++k) {
        const float v = ((state.xMax - state.xMin) * static_cast<float>(k) / 10.0f + state.xMin - offset) * 0.001f;
        const QString text = QString::asprintf(v > 1.0f ? "%.1f" : "%.3f", static_cast<double>(v));
        const int x = k * (w / 10) + left;
        const int tw = fm.horizontalAdvance(text);
        p.drawText(QRect(x - tw / 2, bottom - th, tw, th), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
    const QString km = QStringLiteral("km");
    const int kw = fm.horizontalAdvance(km);
    const int right = state.clientRect.left() + state.clientRect.width() - 10;
    p.drawText(QRect(right - kw, bottom - th, kw, th), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, km);
}

void drawCursor(QPainter &p, TraceViewState &state, const ViewCursor &k, bool isA,
                const ViewSettings &settings, const TraceViewFonts &fonts)
{
    const int plotLeft = state.plotRect.left();
    const int plotRight = plotLeft + state.plotRect.width();
    const int plotBottom = state.plotRect.top() + state.plotRect.height();
    // Float overflow in an absurd window can give a saturated column; hold it where the
    // label arithmetic cannot overflow.
    int x = std::clamp(state.distanceToColumn(k.distance), -(1 << 20), 1 << 20);
    if (x < plotLeft + 1)
        x = plotLeft + 2;
    const bool active = (isA && state.activeCursor == 1) || (!isA && state.activeCursor == 2)
        || state.activeCursor == 3;
    p.setPen(QPen(active ? bgrColor(settings.colors.cursor) : bgrColor(k.colour), 2));
    p.drawLine(x, state.plotRect.top() + 30, x, plotBottom);

    p.setFont(fonts.cursor);
    p.setPen(cursorTextColour);
    p.setBackgroundMode(Qt::TransparentMode);
    state.UpdateCursorTexts(settings.unit);

    const QFontMetrics fm(fonts.cursor);
    const QString label = state.cursorLabel(k);
    const int w = fm.horizontalAdvance(label);
    const int h = fm.height();
    const int top = isA ? 30 : 50;
    const QRect box = x + 1 + w > plotRight ? QRect(x - w - 1, top, w, h) : QRect(x + 1, top, w, h);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, label);

    const QString ab = state.abReadoutText();
    const int aw = fm.horizontalAdvance(ab);
    const int right = plotRight - 1;
    p.drawText(QRect(right - aw, 0, aw, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, ab);
}

void drawPassFail(QPainter &p, const TraceViewState &state, int verdict, const TraceViewFonts &fonts)
{
    if (verdict != 1 && verdict != 2)
        return;
    const QRect c = state.clientRect;
    const int right = c.left() + c.width();
    const int wc = c.width();
    const int hc = c.height();
    const int top = c.top() + hc / 20;
    const QRect box(right - wc / 10, top, wc / 10, hc / 10);
    p.setFont(fonts.passFail);
    p.setPen(passFailColour);
    p.setBackgroundMode(Qt::TransparentMode);
    p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine,
               verdict == 1 ? QStringLiteral("PASS") : QStringLiteral("FAIL"));
}

void drawArrows(QPainter &p, const TraceViewState &state)
{
    if (state.curves.empty())
        return;
    // Columns of cursors far outside the plot are held where arrows stay invisible but their
    // arithmetic cannot overflow.
    constexpr int farOff = 1 << 20;
    const int mx = std::clamp(state.mousePoint.x(), -farOff, farOff);
    const int my = std::clamp(state.mousePoint.y(), -farOff, farOff);
    const int ca = std::clamp(state.cursorA.column, -farOff, farOff);
    const int cb = std::clamp(state.cursorB.column, -farOff, farOff);
    int c = 0;
    if (state.dragTarget == 1) {
        c = ca;
    } else if (state.dragTarget == 2) {
        c = cb;
    } else {
        const int64_t da = std::llabs(static_cast<int64_t>(ca) - mx);
        const int64_t db = std::llabs(static_cast<int64_t>(cb) - mx);
        if (da > 6 && db > 6)
            return;
        c = db < da ? cb : ca;
    }
    p.setPen(QPen(arrowColour, 0));
    const QPoint leftHead[] = {{c - 6, my - 3}, {c - 9, my}, {c - 6, my + 3}};
    const QPoint rightHead[] = {{c + 3, my - 3}, {c + 6, my}, {c + 3, my + 3}};
    p.drawPolyline(leftHead, 3);
    p.drawPolyline(rightHead, 3);
}

} // namespace

QColor bgrColor(uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

TraceViewFonts::TraceViewFonts()
    : passFail(makeFont(32, true))
    , cursor(makeFont(16, true))
    , axis(makeFont(15, true))
    , markNumber(makeFont(16, true))
    , markLabel(makeFont(16, false))
{
}

std::vector<QPoint> curvePoints(const TraceViewState &state, const TraceCurve &curve,
                                CurveDrawMode mode, int32_t *first, int32_t *last)
{
    std::vector<QPoint> points;
    const CurveGeometry g = curveGeometry(state, curve);
    if (!g.drawn)
        return points;
    if (first)
        *first = static_cast<int32_t>(g.first);
    if (last)
        *last = static_cast<int32_t>(g.last);

    const float s = curve.spacing;
    const float xMin = state.xMin;
    const float *levels = curve.levels.data();
    auto column = [&](int64_t i) { return truncToInt((static_cast<float>(i) * s - xMin) * g.width / g.span); };
    auto row = [&](int64_t i) { return truncToInt(g.b - levels[i] * g.k); };

    const bool reduce = mode == CurveDrawMode::Reduced && g.last - g.first > g.width;
    if (!reduce) {
        points.reserve(static_cast<size_t>(g.last - g.first + 1));
        for (int64_t i = g.first; i <= g.last; ++i)
            points.emplace_back(column(i), row(i));
        return points;
    }

    // Each run of samples in one pixel column becomes its first, highest, lowest and last
    // point, which covers the same pixels as the full polyline. Columns never decrease with
    // the sample index, so a run ends where the next column starts; that place is estimated
    // from the mapping and then settled with the exact column arithmetic.
    const double perColumn = static_cast<double>(g.span) / static_cast<double>(g.width);
    auto nextColumnStart = [&](int64_t from, int x) {
        const double estimate = ((static_cast<double>(x) + 1.0) * perColumn + xMin) / s;
        int64_t i = std::clamp<int64_t>(truncToInt64(std::floor(estimate)) - 1, from + 1, g.last + 1);
        while (i > from + 1 && column(i - 1) > x)
            --i;
        while (i <= g.last && column(i) <= x)
            ++i;
        return i;
    };
    auto rowOf = [&](float level) { return truncToInt(g.b - level * g.k); };
    auto add = [&points](int px, int py) {
        if (points.empty() || points.back() != QPoint(px, py))
            points.emplace_back(px, py);
    };
    points.reserve(static_cast<size_t>(state.plotRect.width()) * 4 + 8);
    int64_t i = g.first;
    while (i <= g.last) {
        const int x = column(i);
        const int64_t j = nextColumnStart(i, x);
        add(x, row(i));
        if (j - i > 1) {
            // Four independent lanes keep the comparisons from waiting on each other.
            float lo[4] = {levels[i], levels[i], levels[i], levels[i]};
            float hi[4] = {levels[i], levels[i], levels[i], levels[i]};
            int64_t k = i + 1;
            for (; k + 4 <= j; k += 4) {
                for (int lane = 0; lane < 4; ++lane) {
                    lo[lane] = std::min(lo[lane], levels[k + lane]);
                    hi[lane] = std::max(hi[lane], levels[k + lane]);
                }
            }
            for (; k < j; ++k) {
                lo[0] = std::min(lo[0], levels[k]);
                hi[0] = std::max(hi[0], levels[k]);
            }
            const float low = std::min(std::min(lo[0], lo[1]), std::min(lo[2], lo[3]));
            const float high = std::max(std::max(hi[0], hi[1]), std::max(hi[2], hi[3]));
            add(x, rowOf(high)); // rows grow downward: the highest level is the top row
            add(x, rowOf(low));
            add(x, row(j - 1));
        }
        i = j;
    }
    return points;
}

void TraceLayer::resize(const QSize &size)
{
    if (m_image.size() == size)
        return;
    m_image = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    renderedVersion = ~uint64_t(0);
}

void TraceLayer::render(const TraceViewState &state, const ViewSettings &settings, CurveDrawMode mode)
{
    if (m_image.isNull())
        resize(state.plotRect.size());
    m_image.fill(qRgb(0, 0, 0));
    const int n = static_cast<int>(state.curves.size());
    for (int i = 0; i < n; ++i) {
        const TraceCurve &c = state.curves[static_cast<size_t>(i)];
        if (c.visible != 1 || i == state.currentCurve)
            continue;
        const uint32_t colour = settings.colors.trace[static_cast<size_t>(i) % settings.colors.trace.size()];
        drawPolyline(m_image, curvePoints(state, c, mode), bgrColor(colour));
    }
    if (const TraceCurve *c = state.current()) {
        const std::vector<QPoint> pts = curvePoints(state, *c, mode);
        drawPolyline(m_image, pts, currentCurveColour);
        if (!pts.empty() && c->showMarkers == 1) {
            QPainter p(&m_image);
            p.setRenderHint(QPainter::Antialiasing, false);
            drawMarks(p, state, *c, curveGeometry(state, *c), settings, m_fonts);
        }
    }
    // Black is the layer's transparent colour.
    const QRgb black = qRgb(0, 0, 0);
    const int width = m_image.width();
    const int height = m_image.height();
    const qsizetype stride = m_image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    QRgb *bits = reinterpret_cast<QRgb *>(m_image.bits());
    for (int y = 0; y < height; ++y) {
        QRgb *line = bits + y * stride;
        for (int x = 0; x < width; ++x)
            line[x] = line[x] == black ? 0 : line[x];
    }
}

void paintTraceView(QPainter &p, TraceViewState &state, const QImage &layer,
                    const ViewSettings &settings, int verdict, const TraceViewFonts &fonts)
{
    const QColor background = bgrColor(settings.colors.background);
    p.fillRect(state.clientRect, background);
    if (settings.grid)
        drawGrid(p, state, settings);

    p.setFont(fonts.axis);
    p.setPen(axisTextColour);
    p.setBackground(background);
    p.setBackgroundMode(Qt::OpaqueMode);
    drawLevelLabels(p, state, fonts);

    p.drawImage(state.plotRect.topLeft(), layer);

    if (state.zoomStart != state.zoomEnd) {
        p.setPen(QPen(zoomBoxColour, 0));
        const QPoint box[] = {state.zoomStart, QPoint(state.zoomEnd.x(), state.zoomStart.y()), state.zoomEnd,
                              QPoint(state.zoomStart.x(), state.zoomEnd.y()), state.zoomStart};
        p.drawPolyline(box, 5);
    }

    p.setFont(fonts.axis);
    p.setPen(axisTextColour);
    p.setBackground(background);
    p.setBackgroundMode(Qt::OpaqueMode);
    drawDistanceLabels(p, state, fonts);

    // An empty view shows both cursors at the plot's left edge with zero readouts; only a
    // negative current index hides them.
    if (state.cursorsVisible && state.currentCurve >= 0) {
        if (state.cursorInView(state.cursorA))
            drawCursor(p, state, state.cursorA, true, settings, fonts);
        if (state.cursorInView(state.cursorB))
            drawCursor(p, state, state.cursorB, false, settings, fonts);
    }
    drawPassFail(p, state, verdict, fonts);
    drawArrows(p, state);
}
