#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// The visual state of an image button and the rules that move it with the mouse. Kept apart
// from the widget so the transitions and frame choices are tested without a window.
struct PngButtonState {
    enum State { Normal = 1, Hover = 2, Pressed = 3, Disabled = 4 };
    enum Behaviour { PushButton = 16, StaysPressed = 17 };

    int frameCount = 0;        // state pictures side by side in the image: 1..4
    int state = Normal;
    int behaviour = PushButton;
    bool wasPressed = false;

    // Each returns true when the state changed and the button needs a repaint.
    bool press();
    bool release();
    bool hover();
    bool leave();
};

// The part of an image of `imageSize` that shows `state` for `frameCount` pictures side by side;
// nothing when that combination has no picture.
std::optional<QRect> frameSource(const QSize &imageSize, int frameCount, int state);

// Where that part goes in a client area of `clientSize`: centred (integer division) for a
// single picture, the top-left corner otherwise.
QPoint framePosition(const QSize &clientSize, const QSize &sourceSize, int frameCount);

// The button size for an image: one state picture.
QSize frameSize(const QSize &imageSize, int frameCount);
