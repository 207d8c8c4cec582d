#include "panels/CSubDlgToolbar.h"

#include "panels/CUiPngButton.h"
#include "view/DialogUnits.h"

namespace {

enum class Kind { Click, Hold, Hidden };

struct ButtonPlace {
    int id;
    int leftDu;       // left edge, dialog units
    int image;        // PNG resource number, 0 for none
    int toolTipText;  // text identifier, 0 for none
    Kind kind;
    HoldRepeat::Action action;
};

// In strip order, left to right.
constexpr ButtonPlace buttonPlaces[] = {
    {CSubDlgToolbar::IdOpen, 2, 143, 163, Kind::Click, HoldRepeat::None},
    {CSubDlgToolbar::IdSave, 36, 145, 164, Kind::Click, HoldRepeat::None},
    {CSubDlgToolbar::IdResetView, 70, 135, 165, Kind::Click, HoldRepeat::None},
    {CSubDlgToolbar::IdZoomInH, 104, 136, 166, Kind::Hold, HoldRepeat::ZoomInH},
    {CSubDlgToolbar::IdZoomOutH, 138, 146, 167, Kind::Hold, HoldRepeat::ZoomOutH},
    {CSubDlgToolbar::IdZoomInV, 172, 137, 168, Kind::Hold, HoldRepeat::ZoomInV},
    {CSubDlgToolbar::IdZoomOutV, 206, 147, 169, Kind::Hold, HoldRepeat::ZoomOutV},
    {CSubDlgToolbar::IdCursorLeft, 240, 142, 171, Kind::Hold, HoldRepeat::CursorLeft},
    {CSubDlgToolbar::IdCursorRight, 274, 144, 170, Kind::Hold, HoldRepeat::CursorRight},
    {CSubDlgToolbar::IdCurveUp, 308, 149, 172, Kind::Hold, HoldRepeat::CurveUp},
    {CSubDlgToolbar::IdCurveDown, 342, 138, 173, Kind::Hold, HoldRepeat::CurveDown},
    {CSubDlgToolbar::IdToggleCursor, 376, 133, 174, Kind::Click, HoldRepeat::None},
    {CSubDlgToolbar::IdNextTrace, 410, 148, 175, Kind::Click, HoldRepeat::None},
    {CSubDlgToolbar::IdAddEvent, 444, 139, 176, Kind::Click, HoldRepeat::None},
    {CSubDlgToolbar::IdDeleteEvent, 478, 141, 177, Kind::Click, HoldRepeat::None},
    {CSubDlgToolbar::IdHidden1015, 500, 0, 0, Kind::Hidden, HoldRepeat::None},
    {CSubDlgToolbar::IdHidden1018, 519, 0, 0, Kind::Hidden, HoldRepeat::None},
};

constexpr int toolTipDelayMs = 150;

} // namespace

CSubDlgToolbar::CSubDlgToolbar(TextLookup texts, QWidget *parent)
    : QWidget(parent), m_texts(std::move(texts))
{
    setObjectName(QStringLiteral("toolbarStrip"));
    // Tooltips of the strip: black on white.
    setStyleSheet(QStringLiteral("QToolTip { color: black; background-color: white; border: 1px solid black; }"));
    m_repeatTimer.setInterval(HoldRepeat::tickMs);
    m_repeatTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_repeatTimer, &QTimer::timeout, this, &CSubDlgToolbar::onTick);
    createButtons();
    const DialogUnits du(font());
    resize(du.x(templateWidthDu), std::max(du.y(templateHeightDu), 50));
}

CSubDlgToolbar::~CSubDlgToolbar()
{
}

CUiPngButton *CSubDlgToolbar::button(int id) const
{
    for (const Entry &entry : m_buttons) {
        if (entry.id == id)
            return entry.button;
    }
    return nullptr;
}

void CSubDlgToolbar::createButtons()
{
    const DialogUnits du(font());
    int i = 0;
    for (const ButtonPlace &place : buttonPlaces) {
        auto *b = new CUiPngButton(this);
        b->setObjectName(QStringLiteral("button%1").arg(place.id));
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(du.x(place.leftDu), 1, 48, 48);
        m_buttons[i++] = {place.id, b};
        if (place.kind == Kind::Hidden) {
            b->hide();
            continue;
        }
        b->LoadPng(place.image);
        const QString tip = lookupText(m_texts, place.toolTipText);
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        b->setToolTipDelay(toolTipDelayMs);
        if (place.kind == Kind::Hold) {
            const HoldRepeat::Action action = place.action;
            connect(b, &QAbstractButton::pressed, this, [this, action] { startHold(action); });
            connect(b, &QAbstractButton::released, this, &CSubDlgToolbar::stopHold);
            continue;
        }
        switch (place.id) {
        case IdOpen: connect(b, &QAbstractButton::clicked, this, &CSubDlgToolbar::openRequested); break;
        case IdSave: connect(b, &QAbstractButton::clicked, this, &CSubDlgToolbar::saveRequested); break;
        case IdResetView: connect(b, &QAbstractButton::clicked, this, &CSubDlgToolbar::resetViewRequested); break;
        case IdToggleCursor:
            connect(b, &QAbstractButton::clicked, this, &CSubDlgToolbar::cursorToggleRequested);
            break;
        case IdNextTrace: connect(b, &QAbstractButton::clicked, this, &CSubDlgToolbar::nextTraceRequested); break;
        case IdAddEvent: connect(b, &QAbstractButton::clicked, this, &CSubDlgToolbar::addEventRequested); break;
        case IdDeleteEvent:
            connect(b, &QAbstractButton::clicked, this, &CSubDlgToolbar::deleteEventRequested);
            break;
        default: break;
        }
    }
}

void CSubDlgToolbar::startHold(HoldRepeat::Action action)
{
    // A second press (a double click) restarts the same hold.
    m_hold.release();
    m_hold.press(action);
    m_repeatTimer.start();
}

void CSubDlgToolbar::stopHold()
{
    m_repeatTimer.stop();
    m_hold.release();
}

void CSubDlgToolbar::onTick()
{
    const HoldRepeat::Step step = m_hold.tick();
    if (step.action == HoldRepeat::None) {
        m_repeatTimer.stop();
        return;
    }
    emitStep(step);
}

void CSubDlgToolbar::emitStep(const HoldRepeat::Step &step)
{
    switch (step.action) {
    case HoldRepeat::ZoomInH: Q_EMIT zoomInHRequested(step.zoomFactor); break;
    case HoldRepeat::ZoomOutH: Q_EMIT zoomOutHRequested(step.zoomFactor); break;
    case HoldRepeat::ZoomInV: Q_EMIT zoomInVRequested(step.zoomFactor); break;
    case HoldRepeat::ZoomOutV: Q_EMIT zoomOutVRequested(step.zoomFactor); break;
    case HoldRepeat::CursorLeft:
    case HoldRepeat::CursorRight: Q_EMIT cursorStepRequested(step.pixels); break;
    case HoldRepeat::CurveUp:
    case HoldRepeat::CurveDown: Q_EMIT curveMoveRequested(step.pixels); break;
    case HoldRepeat::None: break;
    }
}
