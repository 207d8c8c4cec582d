#include "panels/HoldRepeat.h"

void HoldRepeat::press(Action action)
{
    m_repeatAction = action;
}

void HoldRepeat::release()
{
    m_repeatAction = None;
    m_heldMs = 0;
}

HoldRepeat::Step HoldRepeat::tick()
{
    if (m_repeatAction == None)
        return {};
    const Step step = stepFor(m_repeatAction, m_heldMs);
    m_heldMs += tickMs;
    return step;
}

HoldRepeat::Step HoldRepeat::stepFor(Action action, int heldMs)
{
    const bool small = heldMs <= smallStepMs;
    Step step;
    step.action = action;
    switch (action) {
    case ZoomInH:
    case ZoomOutH:
    case ZoomInV:
    case ZoomOutV:
        step.zoomFactor = 0.02f;
        break;
    case CursorLeft:
        step.pixels = small ? -2 : -10;
        break;
    case CursorRight:
        step.pixels = small ? 2 : 10;
        break;
    case CurveUp:
        step.pixels = small ? -1 : -10;
        break;
    case CurveDown:
        step.pixels = small ? 1 : 10;
        break;
    case None:
        break;
    }
    return step;
}

int nextActiveCursor(int activeCursor)
{
    switch (activeCursor) {
    case 1: return 2;
    case 2: return 3;
    default: return 1;
    }
}
