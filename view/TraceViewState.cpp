#include "view/TraceViewState.h"

#include "trace/TraceFormat.h"
#include "trace/Units.h"
#include "view/Truncation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

using viewmath::truncToInt;
using viewmath::truncToInt64;

constexpr int plotLeftMargin = 25;   // pixels left of the plot for the level labels
constexpr int plotBottomMargin = 20; // pixels below the plot for the distance labels

// Sample index under a distance: trunc((d - 0.001) / s), division in double precision.
int64_t sampleIndexAt(float d, float spacing)
{
    return truncToInt64((static_cast<double>(d) - 0.001) / static_cast<double>(spacing));
}

QString metresText(float d)
{
    return QString::asprintf("%.3fm", static_cast<double>(d));
}

int64_t usableSamples(const TraceCurve &c)
{
    return std::min<int64_t>(std::max<int32_t>(c.sampleCount, 0),
                             static_cast<int64_t>(c.levels.size()));
}

} // namespace

TraceCurve buildTraceCurve(const TraceData &trace, std::vector<float> levels, float userOffset)
{
    TraceCurve c;
    c.sampleCount = static_cast<int32_t>(
        std::min<uint64_t>(trace.sampleCount, std::numeric_limits<int32_t>::max()));
    c.length = trace.fibreLength;
    c.spacing = trace.sampleSpacing;
    c.levels = std::move(levels);
    c.markers.reserve(trace.events.size());
    for (const TraceEvent &e : trace.events)
        c.markers.push_back({e.index, e.distance});
    c.userOffset = userOffset;
    c.caption = trace.gps;
    return c;
}

TraceCurve curveOfTrace(const TraceData &trace)
{
    const size_t n = std::min<size_t>(trace.sampleCount, trace.samples.size());
    std::vector<float> levels(trace.sampleCount, 0.0f);
    for (size_t i = 0; i < n; ++i)
        levels[i] = static_cast<float>(TraceMapping::levelDb(trace.samples[i]));
    return buildTraceCurve(trace, std::move(levels), trace.userOffset);
}

TraceViewState::TraceViewState()
{
    cursorA.label = QStringLiteral("A");
    cursorB.label = QStringLiteral("B");
}

void TraceViewState::setClientRect(const QRect &client, bool withMargins)
{
    clientRect = client;
    plotRect = client;
    if (withMargins)
        plotRect.adjust(plotLeftMargin, 0, 0, -plotBottomMargin);
    if (plotRect.height() > 0)
        dbPerPixel = (yMax - yMin) / static_cast<float>(plotRect.height());
    ++m_layerVersion;
}

bool TraceViewState::insidePlot(QPoint p) const
{
    return p.x() >= plotRect.left() && p.x() < plotRect.left() + plotRect.width()
        && p.y() >= plotRect.top() && p.y() < plotRect.top() + plotRect.height();
}

int32_t TraceViewState::distanceToColumn(float d) const
{
    const float w = static_cast<float>(plotRect.width());
    const float x = w * (d - xMin) / (xMax - xMin) + static_cast<float>(plotRect.left());
    return truncToInt(x);
}

float TraceViewState::columnToDistance(int32_t x) const
{
    if (plotRect.width() <= 0)
        return xMin;
    return static_cast<float>(x - plotRect.left()) * (xMax - xMin)
        / static_cast<float>(plotRect.width()) + xMin;
}

int32_t TraceViewState::levelToRow(float v, int32_t pixelOffset) const
{
    const float h = static_cast<float>(plotRect.height());
    return truncToInt(h + static_cast<float>(pixelOffset) - (v - yMin) * h / (yMax - yMin));
}

const TraceCurve *TraceViewState::current() const
{
    if (currentCurve < 0 || currentCurve >= static_cast<int>(curves.size()))
        return nullptr;
    return &curves[static_cast<size_t>(currentCurve)];
}

TraceCurve *TraceViewState::current()
{
    if (currentCurve < 0 || currentCurve >= static_cast<int>(curves.size()))
        return nullptr;
    return &curves[static_cast<size_t>(currentCurve)];
}

void TraceViewState::SetView(float x0, float x1, float y0, float y1, bool updateScroll)
{
    if (x0 == x1 || y0 == y1 || x0 > x1 || y0 > y1)
        return;
    if (x0 < 0.0f)
        x0 = 0.0f;
    if (curves.empty())
        return;
    if (x1 > fullScale)
        fullScale = x1;
    // Horizontal zoom-in limit: at least 10 samples of the first curve.
    const float s = curves.front().spacing;
    const double visible = std::trunc((static_cast<double>(x1) - 0.001) / s)
        - std::trunc((static_cast<double>(x0) - 0.001) / s);
    if (!(visible >= 10.0))
        return;
    if (!(y1 - y0 > 0.01)) // vertical zoom-in limit
        return;
    if (y0 < 0.0f)
        y0 = 0.0f;
    if (y1 > 50.0f)
        y1 = 50.0f;
    // A window that the clamp left empty or reversed would divide by zero when drawn.
    if (!(y1 - y0 > 0.01))
        return;
    xMin = x0;
    xMax = x1;
    yMin = y0;
    yMax = y1;
    if (plotRect.height() > 0)
        dbPerPixel = (yMax - yMin) / static_cast<float>(plotRect.height());
    ++m_layerVersion;
    if (updateScroll)
        updateScrollBars(x0, x1, y0, y1);
}

void TraceViewState::updateScrollBars(float x0, float x1, float y0, float y1)
{
    hScroll.maximum = truncToInt(fullScale);
    hScroll.page = static_cast<int32_t>(static_cast<uint32_t>(truncToInt(x1 - x0)));
    hScroll.position = truncToInt(x0);
    hScroll.lineStep = truncToInt(static_cast<double>(static_cast<uint32_t>(hScroll.page)) * 0.02);
    vScroll.page = (y1 - y0) * 1000.0f;
    vScroll.lineStep = static_cast<float>(static_cast<double>(vScroll.page) * 0.02);
    vScroll.position = static_cast<float>(truncToInt(y0 * 1000.0f));
    ++m_scrollVersion;
}

void TraceViewState::setHorizontalRange(float fullScaleM)
{
    hScroll.maximum = truncToInt(fullScaleM);
    ++m_scrollVersion;
}

void TraceViewState::InitScrollBars()
{
    const int32_t w = std::max(plotRect.width(), 0);
    hScroll = {w, w, 0, truncToInt(w * 0.02)};
    vScroll = VerticalScroll{};
    ++m_scrollVersion;
}

float TraceViewState::zoomCentre() const
{
    if (activeCursor == 1)
        return cursorA.distance;
    if (activeCursor == 2)
        return cursorB.distance;
    return (cursorA.distance + cursorB.distance) / 2.0f;
}

void TraceViewState::ZoomInH(float f)
{
    const float k = 1.0f - f;
    const float p = zoomCentre();
    SetView(p - (p - xMin) * k, p + (xMax - p) * k, yMin, yMax, true);
}

void TraceViewState::ZoomOutH(float f)
{
    const float k = 1.0f / (1.0f - f);
    const float p = zoomCentre();
    float x0 = p - (p - xMin) * k;
    float x1 = p + (xMax - p) * k;
    if (x1 - x0 > fullScale) {
        x0 = 0.0f;
        x1 = fullScale;
    }
    SetView(x0, x1, yMin, yMax, true);
}

void TraceViewState::ZoomInV(float f)
{
    const float k = 1.0f - f;
    const float v = ValueAt(zoomCentre());
    SetView(xMin, xMax, v - (v - yMin) * k, v + (yMax - v) * k, true);
}

void TraceViewState::ZoomOutV(float f)
{
    const float k = 1.0f / (1.0f - f);
    const float v = ValueAt(zoomCentre());
    SetView(xMin, xMax, v - (v - yMin) * k, v + (yMax - v) * k, true);
}

void TraceViewState::ResetView()
{
    for (TraceCurve &c : curves)
        c.pixelOffset = 0;
    // The offsets changed even if the window stays as it is.
    ++m_layerVersion;
    SetView(0.0f, curves.empty() ? 0.0f : fullScale, 0.0f, 50.0f, true);
}

void TraceViewState::MoveCurve(int32_t dy)
{
    TraceCurve *c = current();
    if (!c)
        return;
    const int64_t offset = static_cast<int64_t>(c->pixelOffset) + dy;
    c->pixelOffset = static_cast<int32_t>(std::clamp<int64_t>(offset, INT32_MIN, INT32_MAX));
    ++m_layerVersion;
}

float TraceViewState::ValueAt(float d) const
{
    const TraceCurve *c = current();
    if (!c)
        return 0.0f;
    const int64_t n = usableSamples(*c);
    if (n <= 0)
        return 0.0f;
    int64_t i = sampleIndexAt(d, c->spacing);
    if (i >= n)
        i = n - 1;
    i = i + 1; // a distance between two samples reads the later one
    if (i > n - 1)
        i = n - 1;
    if (i < 0)
        i = 0;
    return c->levels[static_cast<size_t>(i)];
}

int32_t TraceViewState::CursorSampleIndex() const
{
    const TraceCurve *c = current();
    if (!c || !(c->spacing > 0.0f)) // without a usable spacing no sample lies under a cursor
        return 0;
    if (activeCursor == 1)
        return truncToInt(static_cast<double>(sampleIndexAt(cursorA.distance, c->spacing)));
    if (activeCursor == 2)
        return truncToInt(static_cast<double>(sampleIndexAt(cursorB.distance, c->spacing)));
    return 0;
}

int TraceViewState::HitTestCursor(int32_t x) const
{
    int hit = 0;
    int64_t bestGap = 6;
    for (int which = 1; which <= 2; ++which) {
        const ViewCursor &c = which == 1 ? cursorA : cursorB;
        if (!(c.distance >= xMin && c.distance <= xMax))
            continue;
        const int64_t gap = std::llabs(static_cast<int64_t>(distanceToColumn(c.distance)) - x);
        if (gap < bestGap) { // strict: A wins a tie
            hit = which;
            bestGap = gap;
        }
    }
    return hit;
}

void TraceViewState::DragCursorTo(int32_t x)
{
    const TraceCurve *c = current();
    if (!c || (dragTarget != 1 && dragTarget != 2))
        return;
    ViewCursor &mover = cursor(dragTarget);
    const float old = mover.distance;
    mover.column = x;
    float d = columnToDistance(x);
    if (c->spacing > 0.0f) // snap to the sample grid
        d = static_cast<float>(sampleIndexAt(d, c->spacing)) * c->spacing;
    mover.distance = d;
    mover.distanceText = metresText(d);
    if (activeCursor == 3) {
        ViewCursor &other = cursor(3 - dragTarget);
        other.distance = other.distance + mover.distance - old;
        other.column = distanceToColumn(other.distance);
        other.distanceText = metresText(other.distance);
    }
}

void TraceViewState::StepCursor(int32_t dx)
{
    int mover = 0;
    if (activeCursor == 1) {
        mover = 1;
    } else if (activeCursor == 2) {
        mover = 2;
    } else if (activeCursor == 3) {
        if (dx >= 0)
            mover = cursorB.column > cursorA.column ? 2 : 1;
        else
            mover = cursorB.column < cursorA.column ? 2 : 1;
    }
    if (mover != 0) {
        const int64_t column = static_cast<int64_t>(cursor(mover).column) + dx;
        const int64_t right = static_cast<int64_t>(plotRect.left()) + plotRect.width();
        if (column >= plotRect.left() && column < right) {
            dragTarget = mover;
            DragCursorTo(static_cast<int32_t>(column));
        }
    }
    dragTarget = 0;
}

void TraceViewState::MoveCursorToEvent(int j)
{
    const TraceCurve *c = current();
    if (!c || j < 0 || j >= static_cast<int>(c->markers.size()))
        return;
    const float d = c->markers[static_cast<size_t>(j)].distance;
    if (activeCursor == 1)
        cursorA.distance = d;
    else if (activeCursor == 2)
        cursorB.distance = d;
}

void TraceViewState::PlaceCursors()
{
    const TraceData *trace = m_traceSource ? m_traceSource() : nullptr;
    if (!trace)
        return;
    cursorA.column = plotRect.left();
    cursorA.distance = xMin;
    cursorB.column = plotRect.left() + plotRect.width() / 3;
    cursorB.distance = columnToDistance(cursorB.column);
    if (trace->cursorA != 0.0f && trace->cursorB != 0.0f) {
        cursorA.distance = trace->cursorA;
        cursorA.column = distanceToColumn(cursorA.distance);
        cursorB.distance = trace->cursorB;
        cursorB.column = distanceToColumn(cursorB.distance);
        return;
    }
    for (const TraceEvent &e : trace->events) {
        if (e.codeLetter == 'S') {
            cursorA.distance = e.distance;
            cursorA.column = distanceToColumn(e.distance);
        } else if (e.codeLetter == 'E') {
            cursorB.distance = e.distance;
            cursorB.column = distanceToColumn(e.distance);
        }
    }
}

void TraceViewState::AddCurve(TraceCurve curve)
{
    // Never read past the levels actually handed over.
    curve.sampleCount = static_cast<int32_t>(usableSamples(curve));
    const float length = curve.length;
    curves.push_back(std::move(curve));
    fullScale = singleCurveMode ? length : std::max(fullScale, length);
    setHorizontalRange(fullScale);
    SetView(0.0f, length, 0.0f, 50.0f, true);
    PlaceCursors();
    SelectCurve(static_cast<int>(curves.size()) - 1);
    ++m_layerVersion;
}

void TraceViewState::SetMarkers(int curve, const TraceData &trace)
{
    if (curve < 0 || curve >= static_cast<int>(curves.size()))
        return;
    std::vector<EventMark> &marks = curves[static_cast<size_t>(curve)].markers;
    marks.clear();
    for (const TraceEvent &e : trace.events)
        marks.push_back({e.index, e.distance});
}

void TraceViewState::SelectCurve(int i)
{
    const int n = static_cast<int>(curves.size());
    if (i >= 0 && i < n) {
        currentCurve = i;
        for (int k = 0; k < n; ++k)
            curves[static_cast<size_t>(k)].visible = (!singleCurveMode || k == i) ? 1 : 0;
        RefreshCurves();
    } else if (currentCurve < 0 || currentCurve >= n) {
        currentCurve = n - 1;
    }
}

void TraceViewState::RefreshCurves()
{
    const int n = static_cast<int>(curves.size());
    if (currentCurve > n - 1)
        currentCurve = n - 1;
    if (currentCurve < 0)
        currentCurve = 0;
    if (n == 0) {
        forgetRemovedTraces();
        ++m_layerVersion;
        return;
    }
    curves[static_cast<size_t>(currentCurve)].showMarkers = 1;
    float longest = 0.0f;
    for (const TraceCurve &c : curves) {
        if (c.visible == 1)
            longest = std::max(longest, c.length);
    }
    fullScale = longest;
    SetView(0.0f, fullScale, yMin, yMax, true);
    setHorizontalRange(fullScale);
    PlaceCursors();
}

void TraceViewState::RemoveCurve(int i)
{
    if (i < 0 || i >= static_cast<int>(curves.size()))
        return;
    curves.erase(curves.begin() + i);
    RefreshCurves();
}

void TraceViewState::RemoveAllCurves()
{
    curves.clear();
    forgetRemovedTraces();
    ++m_layerVersion;
}

int TraceViewState::syncCurves(const TraceSet &set)
{
    const int loaded = std::min<int>(set.loadedCount, TraceSet::slotCount);
    const auto holds = [&set, loaded](const TraceCurve &c) {
        for (int i = 0; i < loaded; ++i) {
            const TraceSlot &slot = set.slots[static_cast<size_t>(i)];
            if (slot.loaded && c.source == slot.trace.get() && c.loadStamp == slot.loadStamp)
                return true;
        }
        return false;
    };
    // Curves of slots gone, all at once when none is kept (Delete), else one by one.
    if (std::none_of(curves.begin(), curves.end(), holds)) {
        if (!curves.empty())
            RemoveAllCurves();
    } else {
        for (int i = static_cast<int>(curves.size()) - 1; i >= 0; --i)
            if (!holds(curves[static_cast<size_t>(i)]))
                RemoveCurve(i);
    }
    // The kept curves lead in slot order; should they not, the curves are built anew.
    size_t kept = 0;
    while (kept < curves.size() && static_cast<int>(kept) < loaded
           && curves[kept].source == set.slots[kept].trace.get() && curves[kept].loadStamp == set.slots[kept].loadStamp)
        ++kept;
    if (kept < curves.size()) {
        RemoveAllCurves();
        kept = 0;
    }
    int built = 0;
    for (int i = static_cast<int>(kept); i < loaded; ++i) {
        const TraceSlot &slot = set.slots[static_cast<size_t>(i)];
        if (!slot.loaded)
            continue;
        TraceCurve c = curveOfTrace(*slot.trace);
        c.source = slot.trace.get();
        c.loadStamp = slot.loadStamp;
        AddCurve(std::move(c));
        ++built;
    }
    m_curvesBuilt += static_cast<uint64_t>(built);
    return built;
}

void TraceViewState::forgetRemovedTraces()
{
    // With the last trace gone, its distances must not linger in the window, the scroll range
    // or the cursor readouts: the view goes back to how it opened.
    xMin = 0.0f;
    xMax = 0.0f;
    fullScale = 0.0f;
    setHorizontalRange(0.0f);
    for (ViewCursor *c : {&cursorA, &cursorB}) {
        c->distance = 0.0f;
        c->column = 0;
    }
    dragTarget = 0;
    mouseDown = 0;
}

void TraceViewState::Press(QPoint p)
{
    if (!insidePlot(p))
        return;
    const int h = HitTestCursor(p.x());
    dragTarget = h;
    if (h != 0) {
        activeCursor = h;
        mouseDown = 1;
    } else if (mouseDown == 0) {
        zoomStart = p;
        zoomEnd = p;
        mouseDown = 1;
    }
}

bool TraceViewState::Move(QPoint p)
{
    if (!insidePlot(p))
        return false;
    mousePoint = p;
    if (dragTarget != 0 && mouseDown == 1)
        DragCursorTo(p.x());
    else if (dragTarget == 0 && mouseDown == 1)
        zoomEnd = p;
    return true;
}

void TraceViewState::Release(QPoint p)
{
    if (mouseDown == 0) {
        dragTarget = 0;
        return;
    }
    if (dragTarget != 0) {
        mouseDown = 0;
        dragTarget = 0;
        return;
    }
    if (insidePlot(p))
        zoomEnd = p;
    mouseDown = 0;
    if (zoomStart != zoomEnd && plotRect.width() > 0) {
        const float w = static_cast<float>(plotRect.width());
        const int bottom = plotRect.top() + plotRect.height();
        const float x0 = static_cast<float>(zoomStart.x() - plotRect.left()) * (xMax - xMin) / w + xMin;
        const float x1 = static_cast<float>(zoomEnd.x() - plotRect.left()) * (xMax - xMin) / w + xMin;
        const float y1 = static_cast<float>(bottom - zoomStart.y()) * dbPerPixel + yMin;
        const float y0 = static_cast<float>(bottom - zoomEnd.y()) * dbPerPixel + yMin;
        SetView(x0, x1, y0, y1, true);
    }
    zoomStart = QPoint(0, 0);
    zoomEnd = QPoint(0, 0);
}

void TraceViewState::HScroll(ScrollAction action, int32_t trackPosition)
{
    int32_t &p = hScroll.position;
    const int32_t page = hScroll.page;
    const int32_t step = hScroll.lineStep;
    const int32_t m = hScroll.maximum;
    const float pf = static_cast<float>(page);
    const float sf = static_cast<float>(step);
    switch (action) {
    case ScrollAction::LineBack:
        if (p == 0)
            return;
        p = static_cast<int32_t>(std::max<int64_t>(0, static_cast<int64_t>(p) - step));
        if (p == 0)
            SetView(0.0f, pf, yMin, yMax, false);
        else
            SetView(xMin - sf, xMax - sf, yMin, yMax, false);
        break;
    case ScrollAction::LineForward:
        if (static_cast<int64_t>(p) + page > m)
            return;
        p = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(p) + step, m));
        SetView(xMin + sf, xMax + sf, yMin, yMax, false);
        break;
    case ScrollAction::PageBack:
        if (static_cast<int64_t>(p) - page < 0) {
            p = 0;
            SetView(0.0f, pf, yMin, yMax, false);
        } else {
            p = static_cast<int32_t>(static_cast<int64_t>(p) - page);
            SetView(xMin - pf, xMax - pf, yMin, yMax, false);
        }
        break;
    case ScrollAction::PageForward:
        if (static_cast<int64_t>(p) + page > m) {
            p = m;
            SetView(fullScale - pf, fullScale, yMin, yMax, false);
        } else {
            p = p + page; // p + page <= m here, so this cannot overflow
            if (static_cast<float>(static_cast<int64_t>(p) + page) > fullScale)
                SetView(fullScale - pf, fullScale, yMin, yMax, false);
            else
                SetView(static_cast<float>(p), static_cast<float>(p) + pf, yMin, yMax, false);
        }
        break;
    case ScrollAction::Thumb:
        p = std::clamp(trackPosition, 0, std::max(m, 0)); // the bar never reports more
        SetView(static_cast<float>(p), static_cast<float>(p) + pf, yMin, yMax, false);
        break;
    case ScrollAction::Other:
        return;
    }
    ++m_scrollVersion;
}

void TraceViewState::VScroll(ScrollAction action, float trackPosition, int verticalRangeDb)
{
    float &q = vScroll.position;
    const float page = vScroll.page;
    const float step = vScroll.lineStep;
    const float top = static_cast<float>(VerticalScroll::maximum);
    switch (action) {
    case ScrollAction::LineBack:
        if (yMin == 0.0f)
            return;
        q = std::max(0.0f, q - step);
        if (q == 0.0f)
            SetView(xMin, xMax, 0.0f, page / 1000.0f, false);
        else
            SetView(xMin, xMax, yMin - step / 1000.0f, yMax - step / 1000.0f, false);
        break;
    case ScrollAction::LineForward:
        if (q == top)
            return;
        q = std::min(q + step, top);
        SetView(xMin, xMax, yMin + step / 1000.0f, yMax + step / 1000.0f, false);
        break;
    case ScrollAction::PageBack:
        q = std::max(0.0f, q - page);
        SetView(xMin, xMax, q / 1000.0f, (q + page) / 1000.0f, false);
        break;
    case ScrollAction::PageForward:
        q = q + page;
        if (q > top) {
            q = top;
            const float g = static_cast<float>(verticalRangeDb);
            SetView(xMin, xMax, g - page / 1000.0f, g, false);
        } else {
            SetView(xMin, xMax, q / 1000.0f, (q + page) / 1000.0f, false);
        }
        break;
    case ScrollAction::Thumb:
        q = trackPosition;
        SetView(xMin, xMax, q / 1000.0f, (q + page) / 1000.0f, false);
        break;
    case ScrollAction::Other:
        return;
    }
    ++m_scrollVersion;
}

void TraceViewState::UpdateCursorTexts(const QString &unit)
{
    const TraceCurve *c = current();
    const float offset = c ? c->userOffset : 0.0f;
    const bool metric = unit == QLatin1String("m");
    const bool miles = unit == QLatin1String("mi");
    const bool kft = unit == QLatin1String("ft");

    for (ViewCursor *k : {&cursorA, &cursorB}) {
        const float e = k->distance - offset;
        if (metric) {
            k->distanceText = e > 10000.0f
                ? QString::asprintf("%.3fkm", static_cast<double>(e / 1000.0f))
                : QString::asprintf("%.2fm", static_cast<double>(e));
        } else if (miles) {
            k->distanceText = QString::asprintf(
                "%.3fmiles", static_cast<double>(units::convertKm(e / 1000.0f, unit)));
        } else if (kft) {
            k->distanceText = QString::asprintf(
                "%.3fkft", static_cast<double>(units::convertKm(e / 1000.0f, unit)));
        }
        k->levelText = QString::asprintf("%.2fdB", static_cast<double>(ValueAt(k->distance)));
    }

    const units::DistanceUnit shownUnit = units::distanceUnitOf(unit);
    const traceformat::AbTexts ab = traceformat::abTexts(cursorA.distance, cursorB.distance,
                                                         ValueAt(cursorA.distance) - ValueAt(cursorB.distance),
                                                         shownUnit, traceformat::AbSpelling::View);
    abReadout.levelText = ab.loss;
    // A unit the view does not know leaves the distance as it was.
    if (shownUnit != units::DistanceUnit::Unknown)
        abReadout.distanceText = ab.distance;
    abReadout.slopeText = ab.slope;
    if (measurementMode != MeasurementMode::TwoPoint)
        applyMeasurementMode(unit);
}

void TraceViewState::applyMeasurementMode(const QString &unit)
{
    const TraceData *trace = m_traceSource ? m_traceSource() : nullptr;
    const auto m = trace ? measureCursors(*trace, measurementMode, cursorA.distance, cursorB.distance)
                         : std::optional<CursorMeasurement>{};
    const bool metric = unit == QLatin1String("m");
    const bool miles = unit == QLatin1String("mi");
    const char *per = metric ? "km" : miles ? "miles" : "kft";
    if (!m) {
        abReadout.levelText = QStringLiteral("--dB");
        abReadout.slopeText = QStringLiteral("-- dB/%1").arg(QLatin1String(per));
        return;
    }
    abReadout.levelText = QString::asprintf("%.3fdB", m->lossDb);
    // The attenuation per unit of the readout: dB/km over the length of one unit in km.
    const double unitKm = metric ? 1.0 : 1.0 / static_cast<double>(units::convertKm(1.0f, unit));
    abReadout.slopeText = QString::asprintf("%.3f dB/%s", m->attenuationDbKm * unitKm, per);
}

QString TraceViewState::cursorLabel(const ViewCursor &c) const
{
    return c.label + QLatin1Char(' ') + c.distanceText + QLatin1Char(' ') + c.levelText;
}

QString TraceViewState::abReadoutText() const
{
    const QString gap = QStringLiteral("  ");
    const QString name = measurementName.isEmpty() ? QString() : QLatin1Char(' ') + measurementName;
    return QStringLiteral("A-B") + name + QLatin1Char(':') + gap + abReadout.distanceText + gap + abReadout.levelText + gap
        + abReadout.slopeText;
}

bool TraceViewState::cursorInView(const ViewCursor &c) const
{
    return c.distance >= xMin && c.distance <= xMax;
}

ViewCursorMarks TraceViewState::cursorMarks() const
{
    ViewCursorMarks m;
    m.enabled = cursorsVisible != 0;
    const float span = xMax - xMin;
    if (span != 0.0f) {
        m.fractionA = (cursorA.distance - xMin) / span;
        m.fractionB = (cursorB.distance - xMin) / span;
    }
    m.distanceTextA = cursorA.distanceText;
    m.levelTextA = cursorA.levelText;
    m.labelA = cursorA.label;
    m.distanceTextB = cursorB.distanceText;
    m.levelTextB = cursorB.levelText;
    m.labelB = cursorB.label;
    return m;
}

namespace {

// Wheel deltas beyond this many notches in one event are taken as this many.
constexpr double maxWheelNotches = 10.0;

double boundedNotches(double notches)
{
    return std::clamp(notches, -maxWheelNotches, maxWheelNotches);
}

} // namespace

void TraceViewState::WheelZoomH(int32_t x, double notches)
{
    if (curves.empty() || !(notches != 0.0) || plotRect.width() <= 0 || !(xMax > xMin))
        return;
    const int64_t left = plotRect.left();
    const int64_t column = std::clamp<int64_t>(x, left, left + plotRect.width() - 1);
    const double d = columnToDistance(static_cast<int32_t>(column));
    const double k = std::pow(wheelZoomFactor, boundedNotches(notches));
    const double full = fullScale;
    double x0 = d - (d - xMin) * k;
    double x1 = d + (xMax - d) * k;
    if (x1 - x0 >= full) {
        x0 = 0.0;
        x1 = full;
    } else if (x0 < 0.0) {
        x1 -= x0;
        x0 = 0.0;
    } else if (x1 > full) {
        x0 -= x1 - full;
        x1 = full;
    }
    SetView(static_cast<float>(x0), static_cast<float>(x1), yMin, yMax, true);
}

void TraceViewState::WheelScrollH(double notches)
{
    if (curves.empty() || !(notches != 0.0) || !(xMax > xMin))
        return;
    const double width = static_cast<double>(xMax) - xMin;
    const double last = std::max(0.0, static_cast<double>(fullScale) - width);
    const double x0 = std::clamp(xMin - boundedNotches(notches) * 0.1 * width, 0.0, last);
    if (static_cast<float>(x0) == xMin)
        return;
    SetView(static_cast<float>(x0), static_cast<float>(x0 + width), yMin, yMax, true);
}
