#pragma once

#include "panels/HoldRepeat.h"
#include "panels/TextLookup.h"

#include <QTimer>
#include <QWidget>

#include <array>

class CUiPngButton;

// The strip of picture buttons above the trace view. Click buttons emit one request each; the
// eight hold buttons repeat their request every 50 ms while held (small steps for the first
// 250 ms, then large ones). The strip only asks: the main window connects the requests to the
// trace view, the file commands and the information panel.
class CSubDlgToolbar : public QWidget {
    Q_OBJECT

public:
    // Button identifiers, also the buttons' objectNames ("button1004").
    enum ButtonId {
        IdOpen = 1004,
        IdSave = 1005,
        IdResetView = 1006,
        IdZoomInH = 1007,
        IdZoomOutH = 1008,
        IdZoomInV = 1009,
        IdZoomOutV = 1010,
        IdCursorLeft = 1011,
        IdCursorRight = 1012,
        IdCurveUp = 1013,
        IdCurveDown = 1014,
        IdHidden1015 = 1015,
        IdAddEvent = 1016,
        IdDeleteEvent = 1017,
        IdHidden1018 = 1018,
        IdToggleCursor = 1019,
        IdNextTrace = 1020,
    };

    static constexpr int templateWidthDu = 539;
    static constexpr int templateHeightDu = 20;

    explicit CSubDlgToolbar(TextLookup texts, QWidget *parent = nullptr);
    ~CSubDlgToolbar() override;

    CUiPngButton *button(int id) const;

    // Milliseconds the current hold has lasted (0 when nothing is held). The menu's cursor and
    // trace moves take the large step while this exceeds 250, as the held buttons do.
    int heldMs() const { return m_hold.heldMs(); }
    int repeatAction() const { return m_hold.repeatAction(); }
    // True while a hold's repeat timer runs; tick() is one of its ticks (tests drive the hold
    // with it instead of waiting for the timer).
    bool repeating() const { return m_repeatTimer.isActive(); }
    void tick() { onTick(); }

Q_SIGNALS:
    void openRequested();
    void saveRequested();
    void resetViewRequested();       // trace view ResetView
    void cursorToggleRequested();    // activeCursor = nextActiveCursor(activeCursor), repaint
    void nextTraceRequested();       // information panel SelectNextRow
    void addEventRequested();
    void deleteEventRequested();
    void zoomInHRequested(float factor);
    void zoomOutHRequested(float factor);
    void zoomInVRequested(float factor);
    void zoomOutVRequested(float factor);
    void cursorStepRequested(int dx);  // pixels, StepCursor
    void curveMoveRequested(int dy);   // pixels, MoveCurve (negative: up)

private:
    void createButtons();
    void startHold(HoldRepeat::Action action);
    void stopHold();
    void onTick();
    void emitStep(const HoldRepeat::Step &step);

    TextLookup m_texts;
    struct Entry {
        int id;
        CUiPngButton *button;
    };
    std::array<Entry, 17> m_buttons{};
    HoldRepeat m_hold;
    QTimer m_repeatTimer;
};
