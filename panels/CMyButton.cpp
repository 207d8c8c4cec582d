#include "panels/CMyButton.h"

#include <QPainter>

#include <algorithm>

CMyButton::CMyButton(QWidget *parent)
    : QAbstractButton(parent)
{
}

void CMyButton::paintEvent(QPaintEvent *)
{
    const QRect client = rect();
    if (client.isEmpty())
        return;
    if (client.width() > m_buffer.width() || client.height() > m_buffer.height()) {
        const QSize grown(std::max(client.width(), m_buffer.width()), std::max(client.height(), m_buffer.height()));
        m_buffer = QImage(grown, QImage::Format_RGB32);
    }
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
