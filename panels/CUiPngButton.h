#pragma once

#include "panels/PngButtonState.h"

#include <QAbstractButton>
#include <QImage>
#include <QTimer>

// A picture button: shows a PNG from the program's resources (":/png/<id>.png") and follows the
// mouse through normal, hover, pressed and disabled states. Images drawn with their alpha over
// whatever lies behind the button.
class CUiPngButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit CUiPngButton(QWidget *parent = nullptr);

    // Loads resource `resourceId` and sizes the button to one state picture, keeping its
    // position. Without such a resource the button keeps its size, has no image and draws nothing.
    bool LoadPng(int resourceId);
    // Same from any image (tests, generated faces).
    void setImage(const QImage &image, int frameCount = 1);

    const QImage &image() const { return m_image; }
    int frameCount() const { return m_state.frameCount; }
    int state() const { return m_state.state; }
    int behaviour() const { return m_state.behaviour; }
    void setBehaviour(int behaviour) { m_state.behaviour = behaviour; }

    // Shows the tooltip this many milliseconds after the pointer comes to rest on the button
    // (negative: the platform's own delay).
    void setToolTipDelay(int ms) { m_toolTipDelayMs = ms; }
    int toolTipDelay() const { return m_toolTipDelayMs; }
    // True while the rest delay runs; showToolTipNow is what its end does (tests call it).
    bool toolTipPending() const { return m_toolTipTimer.isActive(); }
    void showToolTipNow();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;

    // Paints the current state's picture; derived buttons may draw more.
    virtual void PaintState(QPainter &painter);
    void DrawImage(QPainter &painter, const QImage &image, int state);

private:
    QImage m_image;
    PngButtonState m_state;
    int m_toolTipDelayMs = -1;
    QTimer m_toolTipTimer;
};
