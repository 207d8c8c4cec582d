#include "panels/PngButtonState.h"

bool PngButtonState::press()
{
    if (state == Pressed)
        return false;
    state = Pressed;
    wasPressed = true;
    return true;
}

bool PngButtonState::release()
{
    if (state == Hover)
        return false;
    state = Hover;
    return true;
}

bool PngButtonState::hover()
{
    if (state == Hover)
        return false;
    state = Hover;
    return true;
}

bool PngButtonState::leave()
{
    const int before = state;
    if (behaviour == StaysPressed && wasPressed)
        state = Pressed;
    else
        state = Normal;
    return state != before;
}

std::optional<QRect> frameSource(const QSize &imageSize, int frameCount, int state)
{
    const int w = imageSize.width();
    const int h = imageSize.height();
    if (w <= 0 || h <= 0)
        return std::nullopt;
    switch (frameCount) {
    case 1:
        return QRect(0, 0, w, h);
    case 2:
        return QRect(0, 0, w / 2, h);
    case 3:
    case 4: {
        if (state < 1 || state > frameCount)
            return std::nullopt;
        const int part = w / frameCount;
        const int left = (state - 1) * part;
        // The last of three pictures runs to the full width; each of four is exactly a quarter.
        const int right = frameCount == 3 && state == 3 ? w : state * part;
        return QRect(left, 0, right - left, h);
    }
    default:
        return std::nullopt;
    }
}

QPoint framePosition(const QSize &clientSize, const QSize &sourceSize, int frameCount)
{
    if (frameCount != 1)
        return QPoint(0, 0);
    return QPoint((clientSize.width() - sourceSize.width()) / 2, (clientSize.height() - sourceSize.height()) / 2);
}

QSize frameSize(const QSize &imageSize, int frameCount)
{
    if (frameCount == 3 || frameCount == 4)
        return QSize(imageSize.width() / frameCount, imageSize.height());
    return imageSize;
}
