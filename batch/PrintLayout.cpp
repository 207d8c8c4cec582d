#include "batch/PrintLayout.h"

std::optional<int> printTypeForText(const QString &text, const TextLookup &texts)
{
    for (int k = 0; k < printTypeCount; ++k)
        if (text == lookupText(texts, firstPrintTypeText + k))
            return k;
    return std::nullopt;
}

std::vector<QRect> layoutCells(const QRect &client, int layout)
{
    constexpr int margin = 10;
    constexpr int gap = 6;
    const int left = client.left() + margin;
    const int top = client.top() + margin;
    const int w = client.width() - 2 * margin;
    const int h = client.height() - 2 * margin;
    std::vector<QRect> cells;
    if (w <= 0 || h <= 0)
        return cells;
    const int columnWidth = (w - gap) / 2;
    switch (layout) {
    case 0:
        cells.emplace_back(left, top, w, h);
        break;
    case 1:
        cells.emplace_back(left, top, columnWidth, h);
        cells.emplace_back(left + columnWidth + gap, top, columnWidth, h);
        break;
    case 2:
    case 3:
    case 4: {
        const int rows = layout; // 2, 3, 4 cells a column
        const int cellHeight = (h - gap * (rows - 1)) / rows;
        for (int column = 0; column < 2; ++column)
            for (int row = 0; row < rows; ++row)
                cells.emplace_back(left + column * (columnWidth + gap), top + row * (cellHeight + gap), columnWidth,
                                   cellHeight);
        break;
    }
    default:
        break;
    }
    return cells;
}
