#pragma once

#include <QFont>
#include <QRect>

// Converts dialog-unit rectangles to pixels from a dialog font, as dialog templates are laid
// out: one horizontal unit is a quarter of the average character width, one vertical unit an
// eighth of the character height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont &font);
    DialogUnits(int averageCharWidth, int charHeight);

    int x(int units) const { return units * m_averageCharWidth / 4; }
    int y(int units) const { return units * m_charHeight / 8; }
    QRect rect(int left, int top, int width, int height) const;

private:
    int m_averageCharWidth; // pixels
    int m_charHeight;       // pixels
};
