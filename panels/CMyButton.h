#pragma once

#include <QAbstractButton>
#include <QImage>

// Base of the buttons that paint their whole face: paints through an off-screen image filled
// with the panel colour (238, 232, 219) and leaves the content to DrawContent. When the button
// outgrows the image in either direction the image is replaced by one of the button's size; a
// smaller button keeps the image it has.
class CMyButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit CMyButton(QWidget *parent = nullptr);

    QSize bufferSize() const { return m_buffer.size(); }

    static constexpr QRgb faceColour = 0xFFEEE8DB;

protected:
    void paintEvent(QPaintEvent *event) override;

    // Draws the button's content over the filled face; draws nothing here.
    virtual void DrawContent(QPainter &painter, const QRect &rect);

private:
    QImage m_buffer;
};
