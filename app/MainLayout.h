#pragma once

#include <QRect>
#include <QSize>

#include <array>

// Anchoring of the main window's five controls: how each keeps its distance to the client
// edges when the window is resized.
struct MainLayout {
    enum Control { Toolbar, TraceView, InfoPanel, Overview, EventList, ControlCount };

    // Pixel anchors taken once from the controls as first laid out.
    struct Anchor {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        int rightGap = 0;
        int bottomGap = 0;
    };

    std::array<Anchor, ControlCount> anchors{};

    // Records the anchors of `rects` (client coordinates) in a client area of `client`.
    void capture(const std::array<QRect, ControlCount> &rects, QSize client);

    // Where each control goes in a client area of `client`.
    std::array<QRect, ControlCount> apply(QSize client) const;
};
