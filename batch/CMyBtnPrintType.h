#pragma once

#include "panels/CMyButton.h"

// The page-layout picture of the batch dialog: the cells of one page for the chosen print type
// (0 one, 1 two, 2 four, 3 six, 4 eight per page), outlined in black, inside a black border.
class CMyBtnPrintType : public CMyButton {
    Q_OBJECT

public:
    explicit CMyBtnPrintType(QWidget *parent = nullptr);

    int layout() const { return m_layout; }
    // Stores the layout value and repaints.
    void setLayout(int layout);

protected:
    void DrawContent(QPainter &painter, const QRect &rect) override;

private:
    int m_layout = 0;
};
