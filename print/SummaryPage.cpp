#include "print/SummaryPage.h"

#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>

namespace summarypage {

namespace {

constexpr int columnCount = 11 - 1; // the summary's columns without the status

// Share of the page width of each column, in thousandths; the file name gets the most.
constexpr std::array<int, columnCount> columnShare = {180, 100, 75, 95, 65, 85, 95, 100, 105, 100};
static_assert([] {
    int sum = 0;
    for (int s : columnShare)
        sum += s;
    return sum == 1000;
}());

QString orDashes(const QString &cell)
{
    return cell.isEmpty() ? QStringLiteral("--") : cell;
}

// Left and right edges of each column inside `table`.
std::array<int, columnCount + 1> columnEdges(const QRect &table)
{
    std::array<int, columnCount + 1> edges{};
    int share = 0;
    for (int c = 0; c <= columnCount; ++c) {
        edges[size_t(c)] = table.left() + static_cast<int>(static_cast<long long>(table.width()) * share / 1000);
        if (c < columnCount)
            share += columnShare[size_t(c)];
    }
    return edges;
}

// `text` cut to `width` with an ellipsis: about a third of the room for its start, the rest for
// its end, where file names usually carry the fibre number.
QString shortened(const QFontMetrics &metrics, const QString &text, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const QString ellipsis(QChar(0x2026));
    const int room = width - metrics.horizontalAdvance(ellipsis);
    if (room <= 0)
        return metrics.elidedText(text, Qt::ElideRight, width);
    qsizetype head = 0;
    while (head < text.size() && metrics.horizontalAdvance(text.left(head + 1)) <= room / 3)
        ++head;
    const int headWidth = metrics.horizontalAdvance(text.left(head));
    qsizetype tail = 0;
    while (head + tail + 1 < text.size() && headWidth + metrics.horizontalAdvance(text.right(tail + 1)) <= room)
        ++tail;
    return text.left(head) + ellipsis + text.right(tail);
}

void drawCell(QPainter &painter, const QRect &cell, const QString &text, Qt::Alignment align, bool wrap)
{
    const int pad = std::max(1, painter.fontMetrics().averageCharWidth() / 2);
    const QRect inner = cell.adjusted(pad, 0, -pad, 0);
    if (wrap) {
        // A word wider than the cell cannot wrap and would run over the grid (faces differ from
        // machine to machine): the cell's font shrinks until its widest word fits.
        const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const auto widestWord = [&words](const QFontMetrics &metrics) {
            int widest = 0;
            for (const QString &word : words)
                widest = std::max(widest, metrics.horizontalAdvance(word));
            return widest;
        };
        painter.save();
        QFont font = painter.font();
        int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
        while (pixels > 1 && widestWord(painter.fontMetrics()) > inner.width()) {
            font.setPixelSize(--pixels);
            painter.setFont(font);
        }
        painter.drawText(inner, int(align | Qt::AlignVCenter | Qt::TextWordWrap), text);
        painter.restore();
        return;
    }
    // A long text first gets a font down to three quarters of its size, then is shortened.
    painter.save();
    QFont font = painter.font();
    const int full = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    const int smallest = std::max(1, full * 3 / 4);
    for (int pixels = full; pixels > smallest && painter.fontMetrics().horizontalAdvance(text) > inner.width();) {
        font.setPixelSize(--pixels);
        painter.setFont(font);
    }
    painter.drawText(inner, int(align | Qt::AlignVCenter), shortened(painter.fontMetrics(), text, inner.width()));
    painter.restore();
}

} // namespace

int pageCount(size_t rowCount)
{
    return std::max<int>(1, static_cast<int>((rowCount + rowsPerPage - 1) / rowsPerPage));
}

QStringList headerTexts(const SummaryLabels &labels)
{
    QStringList texts;
    for (const QString &header : labels.headers)
        texts << header;
    return texts;
}

QStringList rowTexts(const LinkSummary &row, const SummaryLabels &labels)
{
    const QStringList cells = summaryCells(row);
    QStringList texts;
    texts << QFileInfo(row.file).fileName();
    for (int c = 2; c < 10; ++c)
        texts << orDashes(cells[c]);
    if (!row.readable)
        texts << labels.unreadable;
    else if (row.verdict == VerdictIncomplete)
        texts << labels.incomplete;
    else
        texts << orDashes(verdictWord(row.verdict));
    return texts;
}

int drawSummaryPage(QPainter &painter, const QRect &page, const QFont &title, const QFont &text, const QFont &bold,
                    const std::vector<LinkSummary> &rows, int pageNumber, const SummaryLabels &labels)
{
    const int pages = pageCount(rows.size());
    painter.save();
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);

    // Title, then a footer line with the page number; the table takes the height between.
    painter.setFont(title);
    const int titleHeight = painter.fontMetrics().height() * 2;
    painter.drawText(QRect(page.left(), page.top(), page.width(), titleHeight), Qt::AlignHCenter | Qt::AlignVCenter,
                     labels.title);
    painter.setFont(text);
    const int lineHeight = painter.fontMetrics().height();
    const int footerHeight = lineHeight * 2;
    painter.drawText(QRect(page.left(), page.bottom() - footerHeight + 1, page.width(), footerHeight),
                     Qt::AlignRight | Qt::AlignVCenter, labels.pageOf.arg(pageNumber).arg(pages));

    painter.setFont(bold);
    const int headerHeight = painter.fontMetrics().height() * 2 + lineHeight / 2;
    const int tableTop = page.top() + titleHeight;
    const int rowHeight = std::max(1, (page.height() - titleHeight - footerHeight - headerHeight) / rowsPerPage);
    const QRect table(page.left(), tableTop, page.width(), headerHeight + rowHeight * rowsPerPage);
    const auto edges = columnEdges(table);
    const auto cellRect = [&](int c, int top, int height) {
        return QRect(edges[size_t(c)], top, edges[size_t(c) + 1] - edges[size_t(c)], height);
    };

    const QStringList heads = headerTexts(labels);
    for (int c = 0; c < columnCount; ++c)
        drawCell(painter, cellRect(c, tableTop, headerHeight), heads[c], Qt::AlignHCenter, true);

    const size_t first = static_cast<size_t>(std::max(0, pageNumber - 1)) * rowsPerPage;
    const size_t last = pageNumber < 1 ? first : std::min(rows.size(), first + rowsPerPage);
    const int drawn = static_cast<int>(last > first ? last - first : 0);
    const int bodyTop = tableTop + headerHeight;
    for (int r = 0; r < drawn; ++r) {
        const QStringList texts = rowTexts(rows[first + size_t(r)], labels);
        const int top = bodyTop + r * rowHeight;
        for (int c = 0; c < columnCount; ++c) {
            const bool result = c == columnCount - 1;
            painter.setFont(result ? bold : text);
            drawCell(painter, cellRect(c, top, rowHeight), texts[c], c == 0 ? Qt::AlignLeft : Qt::AlignHCenter, false);
        }
    }

    // Grid: the header and the drawn rows, so an unfilled last page ends with its last row.
    const int bottom = bodyTop + drawn * rowHeight;
    painter.drawRect(QRect(table.left(), tableTop, table.width() - 1, bottom - tableTop));
    for (int r = 0; r <= drawn; ++r)
        painter.drawLine(table.left(), bodyTop + r * rowHeight, table.right(), bodyTop + r * rowHeight);
    for (int c = 1; c < columnCount; ++c)
        painter.drawLine(edges[size_t(c)], tableTop, edges[size_t(c)], bottom);

    painter.restore();
    return drawn;
}

} // namespace summarypage
