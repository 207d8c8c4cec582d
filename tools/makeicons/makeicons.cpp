// Draws the toolbar button images (48 x 48) and the two event-list icons (16 x 16) into a
// folder as <resource number>.png. The PNGs in resources/png are this program's output.
//   makeicons [output folder] [--sheet contact-sheet.png]
//   makeicons --logo logo.bmp     (the report logo, 24-bit BMP)

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr int tile = 48;

const QColor ink(0x26, 0x36, 0x48);       // glyph outlines
const QColor arrowBlue(0x1c, 0x6c, 0xd0);  // movement arrows
const QColor traceOrange(0xe0, 0x6a, 0x10); // trace curves
const QColor cursorRed(0xd0, 0x2c, 0x2c);   // marking lines
const QColor addGreen(0x24, 0x9a, 0x3e);
const QColor deleteRed(0xd0, 0x2c, 0x2c);

// The common face: a rounded tile with a soft vertical gradient and a thin border.
void drawTile(QPainter &p)
{
    QLinearGradient fill(0, 2, 0, 46);
    fill.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    fill.setColorAt(1.0, QColor(0xd9, 0xe2, 0xec));
    p.setPen(QPen(QColor(0x86, 0x98, 0xad), 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(2.5, 2.5, 43, 43), 7, 7);
}

// A filled arrow from `from` to `to` with a shaft of `width` and a head of `head` length.
void drawArrow(QPainter &p, QPointF from, QPointF to, double width, double head, const QColor &colour)
{
    const QPointF d = to - from;
    const double len = std::hypot(d.x(), d.y());
    if (len <= 0)
        return;
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    const QPointF base = to - u * head;
    QPainterPath path;
    path.moveTo(from + n * (width / 2));
    path.lineTo(base + n * (width / 2));
    path.lineTo(base + n * (head * 0.75));
    path.lineTo(to);
    path.lineTo(base - n * (head * 0.75));
    path.lineTo(base - n * (width / 2));
    path.lineTo(from - n * (width / 2));
    path.closeSubpath();
    p.setPen(QPen(colour.darker(130), 1.0));
    p.setBrush(colour);
    p.drawPath(path);
}

void drawDoubleArrow(QPainter &p, QPointF a, QPointF b, const QColor &colour)
{
    const QPointF mid = (a + b) / 2;
    drawArrow(p, mid, a, 3.0, 6.0, colour);
    drawArrow(p, mid, b, 3.0, 6.0, colour);
}

// A falling OTDR-like trace through the given points (pixel coordinates).
void drawTrace(QPainter &p, const std::vector<QPointF> &points, const QColor &colour, double width = 2.5)
{
    QPainterPath path(points.front());
    for (size_t i = 1; i < points.size(); ++i)
        path.lineTo(points[i]);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

// A magnifying glass with a plus or a minus in the lens.
void drawMagnifier(QPainter &p, QPointF centre, double radius, bool plus)
{
    const QPointF handleFrom = centre + QPointF(radius * 0.72, radius * 0.72);
    const QPointF handleTo = handleFrom + QPointF(8, 8);
    p.setPen(QPen(ink, 5.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(handleFrom, handleTo);
    QRadialGradient glass(centre - QPointF(3, 3), radius * 1.3);
    glass.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    glass.setColorAt(1.0, QColor(0xc8, 0xe0, 0xf6));
    p.setPen(QPen(ink, 2.5));
    p.setBrush(glass);
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(ink, 3.0, Qt::SolidLine, Qt::FlatCap));
    const double s = radius * 0.55;
    p.drawLine(centre - QPointF(s, 0), centre + QPointF(s, 0));
    if (plus)
        p.drawLine(centre - QPointF(0, s), centre + QPointF(0, s));
}

// A round badge in the lower right: a plus (add) or a cross (delete).
void drawBadge(QPainter &p, bool add)
{
    const QPointF c(35, 35);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(add ? addGreen : deleteRed);
    p.drawEllipse(c, 8.5, 8.5);
    p.setPen(QPen(Qt::white, 3.0, Qt::SolidLine, Qt::FlatCap));
    if (add) {
        p.drawLine(c - QPointF(5, 0), c + QPointF(5, 0));
        p.drawLine(c - QPointF(0, 5), c + QPointF(0, 5));
    } else {
        p.drawLine(c - QPointF(3.8, 3.8), c + QPointF(3.8, 3.8));
        p.drawLine(c - QPointF(3.8, -3.8), c + QPointF(3.8, -3.8));
    }
}

// A marking line: a vertical line with a small flag carrying its letter.
void drawMarkingLine(QPainter &p, double x, const QColor &colour, const QString &label)
{
    p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(x, 8), QPointF(x, 41));
    if (label.isEmpty())
        return;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    const QRectF flag(x - 5.5, 6, 11, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(flag, 2, 2);
    p.setPen(Qt::white);
    p.drawText(flag, Qt::AlignCenter, label);
}

void iconOpen(QPainter &p)
{
    // Folder back with tab, a sheet inside, and the front flap tilted open.
    QPainterPath back;
    back.moveTo(8, 14);
    back.lineTo(18, 14);
    back.lineTo(21, 17);
    back.lineTo(38, 17);
    back.lineTo(38, 37);
    back.lineTo(8, 37);
    back.closeSubpath();
    p.setPen(QPen(QColor(0x9a, 0x6c, 0x10), 1.5));
    p.setBrush(QColor(0xe8, 0xb0, 0x3a));
    p.drawPath(back);
    p.setPen(QPen(QColor(0x90, 0x98, 0xa4), 1.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(13, 11, 20, 18));
    p.setPen(QPen(QColor(0xa8, 0xb4, 0xc2), 1.0));
    for (int y = 15; y <= 23; y += 4)
        p.drawLine(16, y, 30, y);
    QPainterPath flap;
    flap.moveTo(12, 23);
    flap.lineTo(42, 23);
    flap.lineTo(37, 37);
    flap.lineTo(8, 37);
    flap.closeSubpath();
    QLinearGradient g(0, 23, 0, 37);
    g.setColorAt(0.0, QColor(0xff, 0xd8, 0x6a));
    g.setColorAt(1.0, QColor(0xf0, 0xb8, 0x3c));
    p.setPen(QPen(QColor(0x9a, 0x6c, 0x10), 1.5));
    p.setBrush(g);
    p.drawPath(flap);
}

void iconSave(QPainter &p)
{
    // A diskette: body, metal shutter at the top, paper label at the bottom.
    QPainterPath body;
    body.moveTo(9, 9);
    body.lineTo(35, 9);
    body.lineTo(39, 13);
    body.lineTo(39, 39);
    body.lineTo(9, 39);
    body.closeSubpath();
    p.setPen(QPen(QColor(0x12, 0x3a, 0x72), 1.5));
    p.setBrush(QColor(0x2a, 0x62, 0xb8));
    p.drawPath(body);
    p.setPen(QPen(QColor(0x70, 0x78, 0x84), 1.0));
    p.setBrush(QColor(0xd4, 0xda, 0xe2));
    p.drawRect(QRectF(15, 9.5, 17, 10));
    p.setBrush(QColor(0x2a, 0x62, 0xb8));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(26, 11.5, 4, 6));
    p.setPen(QPen(QColor(0x90, 0x98, 0xa4), 1.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(13, 25, 22, 14));
    p.setPen(QPen(QColor(0xa8, 0xb4, 0xc2), 1.0));
    p.drawLine(16, 30, 32, 30);
    p.drawLine(16, 34, 32, 34);
}

void iconResetView(QPainter &p)
{
    // A whole trace framed by four outward corner marks: back to the full view.
    drawTrace(p, {{12, 16}, {18, 19}, {19, 14}, {21, 21}, {28, 25}, {29, 23}, {30, 28}, {35, 31}, {36, 36}},
              traceOrange, 2.2);
    p.setPen(QPen(arrowBlue, 3.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    const double a = 7, lo = 7.5, hi = 40.5;
    p.drawPolyline(QPolygonF({{lo, lo + a}, {lo, lo}, {lo + a, lo}}));
    p.drawPolyline(QPolygonF({{hi - a, lo}, {hi, lo}, {hi, lo + a}}));
    p.drawPolyline(QPolygonF({{lo, hi - a}, {lo, hi}, {lo + a, hi}}));
    p.drawPolyline(QPolygonF({{hi - a, hi}, {hi, hi}, {hi, hi - a}}));
}

void iconZoomH(QPainter &p, bool in)
{
    drawMagnifier(p, QPointF(20, 17), 10, in);
    drawDoubleArrow(p, QPointF(7, 39), QPointF(41, 39), arrowBlue);
}

void iconZoomV(QPainter &p, bool in)
{
    drawMagnifier(p, QPointF(17, 18), 10, in);
    drawDoubleArrow(p, QPointF(39, 7), QPointF(39, 41), arrowBlue);
}

void iconCursorMove(QPainter &p, bool right)
{
    const double x = right ? 16 : 32;
    drawMarkingLine(p, x, cursorRed, QString());
    if (right)
        drawArrow(p, QPointF(20, 24), QPointF(42, 24), 6.0, 10.0, arrowBlue);
    else
        drawArrow(p, QPointF(28, 24), QPointF(6, 24), 6.0, 10.0, arrowBlue);
}

void iconCurveMove(QPainter &p, bool up)
{
    // The trace sits where it moves from; the arrow shows the direction.
    const double base = up ? 30 : 14;
    drawTrace(p, {{6, base}, {12, base + 3}, {13, base - 3}, {15, base + 5}, {22, base + 7}, {28, base + 9},
                  {29, base + 6}, {30, base + 11}},
              traceOrange, 2.5);
    if (up)
        drawArrow(p, QPointF(38, 41), QPointF(38, 7), 6.0, 10.0, arrowBlue);
    else
        drawArrow(p, QPointF(38, 7), QPointF(38, 41), 6.0, 10.0, arrowBlue);
}

void iconToggleCursor(QPainter &p)
{
    drawMarkingLine(p, 14, cursorRed, QStringLiteral("A"));
    drawMarkingLine(p, 34, arrowBlue, QStringLiteral("B"));
    // Switching between the two lines.
    drawArrow(p, QPointF(24, 30), QPointF(16.5, 30), 3.0, 6.0, ink);
    drawArrow(p, QPointF(24, 30), QPointF(31.5, 30), 3.0, 6.0, ink);
}

void iconToggleCurve(QPainter &p)
{
    // Two traces, the front one bold, and a circular arrow: go to the next trace.
    drawTrace(p, {{6, 12}, {14, 15}, {15, 11}, {17, 18}, {26, 22}, {27, 19}, {28, 25}}, QColor(0x4a, 0x8e, 0x3a), 1.8);
    drawTrace(p, {{6, 20}, {14, 23}, {15, 19}, {17, 26}, {26, 30}, {27, 27}, {28, 33}}, traceOrange, 2.6);
    p.setPen(QPen(arrowBlue, 3.0, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    const QRectF ring(27, 26, 15, 15);
    p.drawArc(ring, 100 * 16, 280 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(arrowBlue);
    p.drawPolygon(QPolygonF({{33.0, 21.5}, {39.5, 26.5}, {32.5, 30.5}}));
}

// A trace with a loss step and a reflective spike, with an event mark on the step.
void drawEventTrace(QPainter &p)
{
    drawTrace(p, {{5, 13}, {17, 17}, {17.5, 24}, {27, 27}, {28, 15}, {29.5, 30}, {33, 31}}, traceOrange, 2.4);
    p.setPen(QPen(ink, 1.5, Qt::DashLine));
    p.drawLine(QPointF(17.5, 8), QPointF(17.5, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPolygon(QPolygonF({{13.5, 6}, {21.5, 6}, {17.5, 11}}));
}

void iconAddEvent(QPainter &p)
{
    drawEventTrace(p);
    drawBadge(p, true);
}

void iconDeleteEvent(QPainter &p)
{
    drawEventTrace(p);
    drawBadge(p, false);
}

// Event-list icons, 16 x 16: a loss step (non-reflective) and a peak (reflective).
void iconNonReflective(QPainter &p)
{
    drawTrace(p, {{1, 4}, {7, 6}, {8, 11}, {15, 13}}, QColor(0x1c, 0x4e, 0x9a), 2.0);
}

void iconReflective(QPainter &p)
{
    drawTrace(p, {{1, 7}, {6, 9}, {7.5, 2}, {9, 12}, {15, 14}}, QColor(0xc0, 0x30, 0x20), 2.0);
}

struct IconDrawing {
    int id;
    int size;
    bool tile;
    std::function<void(QPainter &)> draw;
};

QImage render(const IconDrawing &icon)
{
    QImage image(icon.size, icon.size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (icon.tile)
        drawTile(p);
    icon.draw(p);
    return image;
}

} // namespace

// The report logo: a blue badge with a falling backscatter trace and a reflection spike,
// then the program's name. White background, as the report paper.
QImage reportLogo()
{
    QImage image(360, 96, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF badge(4, 4, 88, 88);
    QLinearGradient fill(0, 4, 0, 92);
    fill.setColorAt(0.0, QColor(0x2a, 0x7f, 0xe0));
    fill.setColorAt(1.0, QColor(0x12, 0x47, 0x8c));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(badge, 16, 16);
    QPainterPath trace;
    trace.moveTo(14, 22);
    trace.lineTo(20, 30);
    trace.lineTo(46, 44);
    trace.lineTo(48, 30);
    trace.lineTo(50, 48);
    trace.lineTo(70, 58);
    trace.lineTo(72, 54);
    trace.lineTo(74, 78);
    trace.lineTo(84, 80);
    p.setPen(QPen(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(trace);
    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(44);
    name.setBold(true);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(name);
    p.setPen(QColor(0x12, 0x47, 0x8c));
    p.drawText(QRectF(104, 6, 256, 58), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("LUMIDOR"));
    QFont tagline(QStringLiteral("DejaVu Sans"));
    tagline.setPixelSize(15);
    p.setFont(tagline);
    p.setPen(QColor(0x4a, 0x5a, 0x6c));
    p.drawText(QRectF(106, 62, 254, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("OTDR trace reports"));
    return image.convertToFormat(QImage::Format_RGB888);
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString outDir = QStringLiteral("resources/png");
    QString sheetPath;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sheet") && i + 1 < args.size())
            sheetPath = args[++i];
        else if (args[i] == QLatin1String("--logo") && i + 1 < args.size())
            return reportLogo().save(args[i + 1], "BMP") ? 0 : 1;
        else
            outDir = args[i];
    }

    const std::vector<IconDrawing> icons = {
        {143, tile, true, iconOpen},
        {145, tile, true, iconSave},
        {135, tile, true, iconResetView},
        {136, tile, true, [](QPainter &p) { iconZoomH(p, true); }},
        {146, tile, true, [](QPainter &p) { iconZoomH(p, false); }},
        {137, tile, true, [](QPainter &p) { iconZoomV(p, true); }},
        {147, tile, true, [](QPainter &p) { iconZoomV(p, false); }},
        {142, tile, true, [](QPainter &p) { iconCursorMove(p, false); }},
        {144, tile, true, [](QPainter &p) { iconCursorMove(p, true); }},
        {149, tile, true, [](QPainter &p) { iconCurveMove(p, true); }},
        {138, tile, true, [](QPainter &p) { iconCurveMove(p, false); }},
        {133, tile, true, iconToggleCursor},
        {148, tile, true, iconToggleCurve},
        {139, tile, true, iconAddEvent},
        {141, tile, true, iconDeleteEvent},
        {150, 16, false, iconNonReflective},
        {151, 16, false, iconReflective},
    };

    QTextStream err(stderr);
    if (!QDir().mkpath(outDir)) {
        err << "cannot create " << outDir << "\n";
        return 1;
    }
    std::vector<QImage> images;
    for (const IconDrawing &icon : icons) {
        const QImage image = render(icon);
        const QString path = QDir(outDir).filePath(QStringLiteral("%1.png").arg(icon.id));
        if (!image.save(path, "PNG")) {
            err << "cannot write " << path << "\n";
            return 1;
        }
        images.push_back(image);
    }

    if (!sheetPath.isEmpty()) {
        // Every image at its own size on a light strip, as the toolbar shows them, then each
        // at twice its size, nine to a row.
        const int gap = 8;
        const int count = static_cast<int>(images.size());
        const int perRow = 9;
        const int bigRows = (count + perRow - 1) / perRow;
        QImage sheet((tile + gap) * count + gap, tile + 2 * gap + bigRows * (2 * tile + gap), QImage::Format_RGB32);
        sheet.fill(QColor(0xf0, 0xf0, 0xf0));
        QPainter p(&sheet);
        for (int i = 0; i < count; ++i)
            p.drawImage(gap + i * (tile + gap), gap, images[i]);
        for (int i = 0; i < count; ++i) {
            const QImage big = images[i].scaled(images[i].size() * 2, Qt::KeepAspectRatio, Qt::FastTransformation);
            p.drawImage(gap + (i % perRow) * (2 * tile + gap), tile + 2 * gap + (i / perRow) * (2 * tile + gap), big);
        }
        p.end();
        if (!sheet.save(sheetPath, "PNG")) {
            err << "cannot write " << sheetPath << "\n";
            return 1;
        }
    }
    return 0;
}
