#include "view/DialogUnits.h"

#include <QFontMetrics>

namespace {

// The average width of the 52 Latin letters, rounded, as dialog managers measure it.
int averageLetterWidth(const QFontMetrics &metrics)
{
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
}

} // namespace

DialogUnits::DialogUnits(const QFont &font)
    : DialogUnits(averageLetterWidth(QFontMetrics(font)), QFontMetrics(font).height())
{
}

DialogUnits::DialogUnits(int averageCharWidth, int charHeight)
    : m_averageCharWidth(averageCharWidth > 0 ? averageCharWidth : 1), m_charHeight(charHeight > 0 ? charHeight : 1)
{
}

QRect DialogUnits::rect(int left, int top, int width, int height) const
{
    return QRect(x(left), y(top), x(width), y(height));
}
