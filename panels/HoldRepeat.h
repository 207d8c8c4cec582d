#pragma once

// Auto-repeat of the toolbar's hold buttons. A press arms the repeat; every timer tick (50 ms)
// yields one step of the held action, small for the first 250 ms of the hold and large after.
class HoldRepeat {
public:
    enum Action {
        None = 0,
        ZoomInH = 1,
        ZoomOutH = 2,
        ZoomInV = 3,
        ZoomOutV = 4,
        CursorLeft = 5,
        CursorRight = 6,
        CurveUp = 7,
        CurveDown = 8,
    };

    static constexpr int tickMs = 50;
    static constexpr int smallStepMs = 250; // holds up to this long use the small step

    // One step of an action: a zoom factor for actions 1-4, a signed pixel count for 5-8.
    struct Step {
        Action action = None;
        float zoomFactor = 0.0f;
        int pixels = 0;
    };

    void press(Action action);
    void release();
    // The step for this tick (action None when nothing is held); heldMs grows by one tick after.
    Step tick();

    Action repeatAction() const { return m_repeatAction; }
    int heldMs() const { return m_heldMs; }

    // The step an action takes after a hold of `heldMs`; the menu's cursor and trace moves use
    // the same rule with the toolbar's current heldMs.
    static Step stepFor(Action action, int heldMs);

private:
    Action m_repeatAction = None;
    int m_heldMs = 0;
};

// The active cursor after "Toggle marking line": A (1) -> B (2) -> both (3) -> A.
int nextActiveCursor(int activeCursor);
