#include "batch/CMyBtnPrintType.h"

#include "batch/PrintLayout.h"

#include <QPainter>

CMyBtnPrintType::CMyBtnPrintType(QWidget *parent)
    : CMyButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void CMyBtnPrintType::setLayout(int layout)
{
    m_layout = layout;
    update();
}

void CMyBtnPrintType::DrawContent(QPainter &painter, const QRect &rect)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 0));
    for (const QRect &cell : layoutCells(rect, m_layout))
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}
