#include "print/ReportFontTable.h"

#include "print/PrintJob.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

// size x dpi / 72 rounded to the nearest integer, as a multiply-divide does.
int pointsToPixels(int size, int dpi)
{
    return static_cast<int>(std::lround(static_cast<double>(size) * dpi / 72.0));
}

QFont reportFont(const QString &face, int pixels, bool bold)
{
    // Faces missing here (e.g. "宋体") fall back to an installed CJK face rather than to a
    // Latin-only default, so Chinese operator or location names print legibly.
    QFont font;
    font.setFamilies({face, QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(std::max(1, pixels));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

} // namespace

ReportFontTable startupReportFontTable()
{
    ReportFontTable table;
    table.face = QStringLiteral("宋体");
    table.sizes[0] = {12, 12, 6, 6, 6};
    table.sizes[1] = {9, 8, 7, 6, 5};
    table.sizes[2] = {7, 6, 5, 5, 5};
    return table;
}

ReportFonts reportFonts(const ReportFontTable &table, int perPage, float scaleY, int screenDpi)
{
    const size_t column = static_cast<size_t>(layoutIndex(perPage));
    const auto size = [&](size_t row) { return table.sizes[row][column]; };
    ReportFonts fonts;
    fonts.title = reportFont(table.face, pointsToPixels(size(0), screenDpi), true);
    fonts.text = reportFont(table.face, pointsToPixels(size(1), screenDpi), false);
    fonts.textBold = reportFont(table.face, pointsToPixels(size(1), screenDpi), true);
    fonts.plotLabel = reportFont(QStringLiteral("Times New Roman"),
                                 static_cast<int>(std::lround(size(2) * scaleY * screenDpi / 72.0)), false);
    fonts.plotText = reportFont(table.face, static_cast<int>(static_cast<float>(size(3)) * scaleY), false);
    fonts.verdict = reportFont(table.face, static_cast<int>(static_cast<float>(size(4)) * scaleY), true);
    return fonts;
}
