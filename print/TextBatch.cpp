#include "print/TextBatch.h"

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QTextLayout>

#include <deque>

namespace {

// One line of text laid out as the painter's drawText lays out a single unclipped line: its
// glyphs with their positions from the line's top left, its height and its advance.
struct LaidOutLine {
    QList<QGlyphRun> runs;
    qreal height = 0;
    qreal advance = 0;
};

// Laid-out lines by font and text: the labels and many values repeat on every cell of a run.
// A report uses a handful of fonts, so they are told apart one by one.
class LineCache {
public:
    const LaidOutLine &line(const QPainter &p, const QString &text)
    {
        const QFont &font = p.font();
        const int dpi = p.device()->logicalDpiY();
        Lines *lines = nullptr;
        for (Lines &known : fonts_)
            if (known.dpi == dpi && known.font == font)
                lines = &known;
        if (!lines) {
            if (fonts_.size() > 32)
                fonts_.clear();
            fonts_.push_back({font, dpi, {}});
            lines = &fonts_.back();
        }
        const auto found = lines->byText.constFind(text);
        if (found != lines->byText.constEnd())
            return *found;
        if (lines->byText.size() > 20000)
            lines->byText.clear();
        QTextLayout layout(text, font, p.device());
        QTextOption option;
        option.setAlignment(Qt::AlignLeft);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine textLine = layout.createLine();
        LaidOutLine out;
        if (textLine.isValid()) {
            textLine.setLineWidth(0x01000000);
            textLine.setPosition(QPointF(0, 0));
        }
        layout.endLayout();
        if (textLine.isValid()) {
            out.height = textLine.ascent() + textLine.descent();
            out.advance = textLine.horizontalAdvance();
            out.runs = layout.glyphRuns();
        }
        return *lines->byText.insert(text, out);
    }

private:
    struct Lines {
        QFont font;
        int dpi;
        QHash<QString, LaidOutLine> byText;
    };
    std::deque<Lines> fonts_;
};

LineCache &lineCache()
{
    thread_local LineCache cache;
    return cache;
}

// Text drawText lays out on one line as given, left to right.
bool plainLine(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == u'&' || u == 0x9c || u >= 0x0590)
            return false;
    }
    return true;
}

} // namespace

void TextBatch::add(QPainter &p, const QRect &rect, int flags, const QString &text)
{
    if (text.isEmpty())
        return;
    if (p.backgroundMode() == Qt::OpaqueMode || !plainLine(text)) {
        flush(p);
        p.drawText(rect, flags | Qt::TextSingleLine | Qt::TextDontClip, text);
        return;
    }
    if (!runs_.empty() && p.pen() != pen_)
        flush(p);
    pen_ = p.pen();
    const LaidOutLine &line = lineCache().line(p, text);
    const QRectF r(rect);
    qreal xoff = 0;
    qreal yoff = 0;
    if (flags & Qt::AlignBottom)
        yoff = r.height() - line.height;
    else if (flags & Qt::AlignVCenter)
        yoff = (r.height() - line.height) / 2;
    if (flags & Qt::AlignRight)
        xoff = r.width() - line.advance;
    else if (flags & Qt::AlignHCenter)
        xoff = (r.width() - line.advance) / 2;
    const QPointF origin(r.x() + xoff, r.y() + yoff);
    for (const QGlyphRun &glyphs : line.runs) {
        Run &run = runFor(glyphs.rawFont());
        run.glyphs += glyphs.glyphIndexes();
        for (const QPointF &position : glyphs.positions())
            run.positions.push_back(origin + position);
    }
}

void TextBatch::flush(QPainter &p)
{
    if (runs_.empty())
        return;
    const bool otherPen = p.pen() != pen_;
    if (otherPen) {
        p.save();
        p.setPen(pen_);
    }
    for (Run &run : runs_) {
        QGlyphRun glyphs;
        glyphs.setRawFont(run.font);
        glyphs.setGlyphIndexes(run.glyphs);
        glyphs.setPositions(run.positions);
        p.drawGlyphRun(QPointF(0, 0), glyphs);
    }
    if (otherPen)
        p.restore();
    runs_.clear();
}

TextBatch::Run &TextBatch::runFor(const QRawFont &font)
{
    for (Run &run : runs_)
        if (run.font == font)
            return run;
    runs_.push_back({font, {}, {}});
    return runs_.back();
}
