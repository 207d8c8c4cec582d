#include "view/COtdrTrace.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>

struct COtdrTrace::Snapshot {
    float xMin, xMax, yMin, yMax;
    float cursorA, cursorB;
    int activeCursor;
    size_t curveCount;
    int currentCurve;
};

COtdrTrace::COtdrTrace(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("1000"));
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_hBar = new QScrollBar(Qt::Horizontal, this);
    m_vBar = new QScrollBar(Qt::Vertical, this);
    connect(m_hBar, &QScrollBar::actionTriggered, this, &COtdrTrace::onHorizontalAction);
    connect(m_vBar, &QScrollBar::actionTriggered, this, &COtdrTrace::onVerticalAction);
    // The wheel over the scroll bars does nothing; over the plot it zooms or scrolls (wheelEvent).
    m_hBar->installEventFilter(this);
    m_vBar->installEventFilter(this);
    layoutChildren();
    m_state.InitScrollBars();
    syncScrollBars();
}

COtdrTrace::~COtdrTrace() = default;

void COtdrTrace::setViewSettings(const ViewSettings &settings)
{
    m_settings = settings;
    m_state.invalidateLayer();
    update();
}

void COtdrTrace::setTraceSource(TraceViewState::TraceSource source)
{
    m_state.setTraceSource(std::move(source));
}

void COtdrTrace::setVerdictSource(std::function<int()> verdict)
{
    m_verdict = std::move(verdict);
    update();
}

void COtdrTrace::setVerticalRangeSource(std::function<int()> rangeDb)
{
    m_verticalRange = std::move(rangeDb);
}

void COtdrTrace::setCursorMarksSink(std::function<void(const ViewCursorMarks &)> sink)
{
    m_cursorMarksSink = std::move(sink);
}

COtdrTrace::Snapshot COtdrTrace::snapshot() const
{
    return {m_state.xMin, m_state.xMax, m_state.yMin, m_state.yMax, m_state.cursorA.distance,
            m_state.cursorB.distance, m_state.activeCursor, m_state.curves.size(), m_state.currentCurve};
}

void COtdrTrace::finish(const Snapshot &before)
{
    syncScrollBars();
    update();
    const Snapshot after = snapshot();
    if (before.curveCount != after.curveCount || before.currentCurve != after.currentCurve)
        Q_EMIT curvesChanged();
    if (before.xMin != after.xMin || before.xMax != after.xMax || before.yMin != after.yMin
        || before.yMax != after.yMax)
        Q_EMIT viewChanged();
    if (before.cursorA != after.cursorA || before.cursorB != after.cursorB
        || before.activeCursor != after.activeCursor)
        Q_EMIT cursorMoved();
}

#define TRACE_OP(call)                 \
    do {                               \
        const Snapshot before = snapshot(); \
        m_state.call;                  \
        finish(before);                \
    } while (false)

void COtdrTrace::SetView(float x0, float x1, float y0, float y1, bool updateScroll)
{
    TRACE_OP(SetView(x0, x1, y0, y1, updateScroll));
}
void COtdrTrace::ZoomInH(float f) { TRACE_OP(ZoomInH(f)); }
void COtdrTrace::ZoomOutH(float f) { TRACE_OP(ZoomOutH(f)); }
void COtdrTrace::ZoomInV(float f) { TRACE_OP(ZoomInV(f)); }
void COtdrTrace::ZoomOutV(float f) { TRACE_OP(ZoomOutV(f)); }
void COtdrTrace::ResetView() { TRACE_OP(ResetView()); }
void COtdrTrace::MoveCurve(int dy) { TRACE_OP(MoveCurve(dy)); }
void COtdrTrace::StepCursor(int dx) { TRACE_OP(StepCursor(dx)); }
void COtdrTrace::DragCursorTo(int x) { TRACE_OP(DragCursorTo(x)); }
void COtdrTrace::MoveCursorToEvent(int j) { TRACE_OP(MoveCursorToEvent(j)); }
void COtdrTrace::AddCurve(TraceCurve curve) { TRACE_OP(AddCurve(std::move(curve))); }
void COtdrTrace::SelectCurve(int i) { TRACE_OP(SelectCurve(i)); }
void COtdrTrace::RefreshCurves() { TRACE_OP(RefreshCurves()); }
void COtdrTrace::RemoveCurve(int i) { TRACE_OP(RemoveCurve(i)); }
void COtdrTrace::RemoveAllCurves() { TRACE_OP(RemoveAllCurves()); }
void COtdrTrace::PlaceCursors() { TRACE_OP(PlaceCursors()); }
void COtdrTrace::InitScrollBars() { TRACE_OP(InitScrollBars()); }

int COtdrTrace::syncCurves(const TraceSet &set)
{
    const Snapshot before = snapshot();
    const int built = m_state.syncCurves(set);
    finish(before);
    return built;
}

void COtdrTrace::SetMarkers(int curve, const TraceData &trace)
{
    m_state.SetMarkers(curve, trace);
    m_state.invalidateLayer();
    update();
}

#undef TRACE_OP

int COtdrTrace::HitTestCursor(int x) const { return m_state.HitTestCursor(x); }
float COtdrTrace::ValueAt(float d) const { return m_state.ValueAt(d); }
int COtdrTrace::CursorSampleIndex() const { return m_state.CursorSampleIndex(); }

void COtdrTrace::setActiveCursor(int which)
{
    const Snapshot before = snapshot();
    m_state.activeCursor = which;
    finish(before);
}

void COtdrTrace::setMeasurementMode(MeasurementMode mode, const QString &name)
{
    m_state.measurementMode = mode;
    m_state.measurementName = name;
    update();
}

void COtdrTrace::setCursorsVisible(bool visible)
{
    m_state.cursorsVisible = visible ? 1 : 0;
    update();
}

void COtdrTrace::setSingleCurveMode(bool single)
{
    m_state.singleCurveMode = single ? 1 : 0;
}

void COtdrTrace::setCurveVisible(int i, bool visible)
{
    if (i < 0 || i >= static_cast<int>(m_state.curves.size()))
        return;
    m_state.curves[static_cast<size_t>(i)].visible = visible ? 1 : 0;
    m_state.invalidateLayer();
    update();
}

void COtdrTrace::layoutChildren()
{
    const int barH = m_hBar->sizeHint().height();
    const int barW = m_vBar->sizeHint().width();
    const int clientW = std::max(0, width() - barW);
    const int clientH = std::max(0, height() - barH);
    m_hBar->setGeometry(0, clientH, clientW, barH);
    m_vBar->setGeometry(clientW, 0, barW, clientH);
    m_state.setClientRect(QRect(0, 0, clientW, clientH), true);
    m_layer.resize(m_state.plotRect.size());
}

void COtdrTrace::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
    syncScrollBars();
}

void COtdrTrace::syncScrollBars()
{
    if (m_syncedScroll == m_state.scrollVersion())
        return;
    m_syncedScroll = m_state.scrollVersion();
    // A range 0..M with a page P is, for QScrollBar, 0..max(0, M - P) with page step P.
    const HorizontalScroll &h = m_state.hScroll;
    {
        const QSignalBlocker block(m_hBar);
        const int top = std::max(0, h.maximum - h.page);
        m_hBar->setRange(0, top);
        m_hBar->setPageStep(std::max(1, h.page));
        m_hBar->setSingleStep(std::max(1, h.lineStep));
        m_hBar->setValue(std::clamp(h.position, 0, top));
        m_hBar->setEnabled(top > 0);
    }
    const VerticalScroll &v = m_state.vScroll;
    {
        const QSignalBlocker block(m_vBar);
        const int page = static_cast<int>(v.page);
        const int top = std::max(0, VerticalScroll::maximum - page);
        m_vBar->setRange(0, top);
        m_vBar->setPageStep(std::max(1, page));
        m_vBar->setSingleStep(std::max(1, static_cast<int>(v.lineStep)));
        m_vBar->setValue(std::clamp(static_cast<int>(v.position), 0, top));
        m_vBar->setEnabled(top > 0);
    }
}

namespace {

ScrollAction scrollAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return ScrollAction::LineBack;
    case QAbstractSlider::SliderSingleStepAdd: return ScrollAction::LineForward;
    case QAbstractSlider::SliderPageStepSub: return ScrollAction::PageBack;
    case QAbstractSlider::SliderPageStepAdd: return ScrollAction::PageForward;
    case QAbstractSlider::SliderMove: return ScrollAction::Thumb;
    default: return ScrollAction::Other;
    }
}

} // namespace

// Called while the bar applies an action: the state decides the new position and the bar's
// pending position is replaced by it.
void COtdrTrace::onHorizontalAction(int action)
{
    const Snapshot before = snapshot();
    m_state.HScroll(scrollAction(action), m_hBar->sliderPosition());
    m_syncedScroll = ~uint64_t(0);
    syncScrollBars();
    m_hBar->setSliderPosition(m_hBar->value());
    finish(before);
}

void COtdrTrace::onVerticalAction(int action)
{
    const Snapshot before = snapshot();
    const int range = m_verticalRange ? m_verticalRange() : 0;
    m_state.VScroll(scrollAction(action), static_cast<float>(m_vBar->sliderPosition()), range);
    m_syncedScroll = ~uint64_t(0);
    syncScrollBars();
    m_vBar->setSliderPosition(m_vBar->value());
    finish(before);
}

void COtdrTrace::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    // Qt grabs the mouse for the pressed widget, so the release is seen even outside.
    setFocus(Qt::MouseFocusReason);
    const Snapshot before = snapshot();
    m_state.Press(event->position().toPoint());
    finish(before);
}

void COtdrTrace::mouseMoveEvent(QMouseEvent *event)
{
    const Snapshot before = snapshot();
    if (m_state.Move(event->position().toPoint()))
        finish(before);
}

void COtdrTrace::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const Snapshot before = snapshot();
    m_state.Release(event->position().toPoint());
    finish(before);
}

// A context-menu request over the view does nothing, and goes no further.
void COtdrTrace::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
}

bool COtdrTrace::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_hBar || watched == m_vBar) && event->type() == QEvent::Wheel) {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// Wheel: zoom the distance window around the pointer; with Shift, or a sideways wheel, scroll it.
void COtdrTrace::wheelEvent(QWheelEvent *event)
{
    const QPoint delta = event->angleDelta();
    const bool sideways = delta.y() == 0;
    const int units = sideways ? delta.x() : delta.y();
    if (units == 0) {
        event->ignore();
        return;
    }
    const Snapshot before = snapshot();
    if (sideways || (event->modifiers() & Qt::ShiftModifier))
        m_state.WheelScrollH(units / 120.0);
    else
        m_state.WheelZoomH(event->position().toPoint().x(), units / 120.0);
    finish(before);
    event->accept();
}

// Left/right arrows step the active cursor (Shift: the large step); every other key goes on
// to the window, so Esc still ends the program.
void COtdrTrace::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers others = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    const int key = event->key();
    if (others != Qt::NoModifier || (key != Qt::Key_Left && key != Qt::Key_Right)) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int32_t step = (event->modifiers() & Qt::ShiftModifier) ? TraceViewState::cursorKeyLargeStep
                                                                    : TraceViewState::cursorKeyStep;
    StepCursor(key == Qt::Key_Left ? -step : step);
    event->accept();
}

void COtdrTrace::paintInto(QPainter &painter)
{
    if (m_layer.renderedVersion != m_state.layerVersion()) {
        m_layer.resize(m_state.plotRect.size());
        m_layer.render(m_state, m_settings);
        m_layer.renderedVersion = m_state.layerVersion();
    }
    const int verdict = m_verdict ? m_verdict() : 0;
    paintTraceView(painter, m_state, m_layer.image(), m_settings, verdict, m_fonts);
    if (m_state.cursorsVisible && m_cursorMarksSink)
        m_cursorMarksSink(m_state.cursorMarks());
}

void COtdrTrace::paintEvent(QPaintEvent *)
{
    const QRect client = m_state.clientRect;
    if (client.isEmpty())
        return;
    if (m_paintBuffer.size() != client.size())
        m_paintBuffer = QImage(client.size(), QImage::Format_RGB32);
    {
        QPainter buffer(&m_paintBuffer);
        paintInto(buffer);
    }
    QPainter screen(this);
    screen.drawImage(0, 0, m_paintBuffer);
    // The corner between the two scroll bars.
    screen.fillRect(QRect(client.width(), client.height(), width() - client.width(),
                          height() - client.height()), palette().window());
}

QImage COtdrTrace::renderToImage()
{
    QImage image(m_state.clientRect.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    QPainter painter(&image);
    paintInto(painter);
    return image;
}
