#include "panels/CMyButton.h"

#include <QPainter>

CMyButton::CMyButton(QWidget *parent)
    : QAbstractButton(parent)
{
}

void CMyButton::paintEvent(QPaintEvent *)
{
    const QRect client = rect();
    if (client.isEmpty())
        return;
    // A buffer too narrow or too low is replaced by one of the client size; a smaller client
    // keeps drawing into the corner of the existing one.
    if (client.width() > m_buffer.width() || client.height() > m_buffer.height())
        m_buffer = QImage(client.size(), QImage::Format_RGB32);
    {
        QPainter buffer(&m_buffer);
        buffer.fillRect(client, QColor::fromRgb(faceColour));
        DrawContent(buffer, client);
    }
    QPainter painter(this);
    painter.drawImage(client.topLeft(), m_buffer, client);
}

void CMyButton::DrawContent(QPainter &, const QRect &)
{
}
