#pragma once

#include <QList>
#include <QPen>
#include <QPointF>
#include <QRawFont>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;

// Single lines of text gathered into one glyph run per font and drawn in one go. The PDF writer
// writes one text object for a run instead of one (with its own state and matrix) for every
// string, which was most of a report page's bytes. add() places the glyphs where
// QPainter::drawText(rect, flags | Qt::TextSingleLine | Qt::TextDontClip, text) puts them; text
// it cannot place that way (opaque background, line breaks, tabs, mnemonics, right-to-left
// scripts) is drawn directly, after what was gathered. Each string is laid out once per font
// for the whole run (a report repeats its labels and many values on every cell).
class TextBatch {
public:
    void add(QPainter &p, const QRect &rect, int flags, const QString &text);

    // Draws what was gathered, with the pen it was gathered under. Call it before the painter's
    // mapping or clip changes, before painting over the text, and at the end of the page.
    void flush(QPainter &p);

private:
    struct Run {
        QRawFont font;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    Run &runFor(const QRawFont &font);

    std::vector<Run> runs_;
    QPen pen_;
};
