#include "view/TraceExport.h"

#include "config/AtomicWrite.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>

QByteArray tracePointsCsv(const TraceCurve &curve)
{
    const size_t n = std::min(static_cast<size_t>(std::max(curve.sampleCount, 0)), curve.levels.size());
    QByteArray out("distance_km,level_db\n");
    out.reserve(static_cast<qsizetype>(24 + n * 22));
    for (size_t i = 0; i < n; ++i) {
        // The renderer's own arithmetic (float) for where a sample is drawn. QByteArray::number
        // ignores the process locale.
        const float metres = static_cast<float>(i) * curve.spacing - curve.userOffset;
        out.append(QByteArray::number(static_cast<double>(metres) / 1000.0, 'f', 6));
        out.append(',');
        out.append(QByteArray::number(static_cast<double>(curve.levels[i]), 'f', 3));
        out.append('\n');
    }
    return out;
}

QImage renderTracePicture(const TraceViewState &state, const ViewSettings &settings, int verdict, QSize size)
{
    if (size.isEmpty())
        return QImage();
    TraceViewState at = state;
    at.setClientRect(QRect(QPoint(0, 0), size), true);
    // Cursors keep their distances; their columns follow the new width. The mouse is not part
    // of the picture: no drag arrows, no zoom box.
    at.cursorA.column = at.distanceToColumn(at.cursorA.distance);
    at.cursorB.column = at.distanceToColumn(at.cursorB.distance);
    constexpr int farAway = 1 << 20;
    at.mousePoint = QPoint(farAway, farAway);
    at.dragTarget = 0;
    at.mouseDown = 0;
    TraceLayer layer;
    layer.resize(at.plotRect.size());
    layer.render(at, settings);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    const TraceViewFonts fonts;
    paintTraceView(painter, at, layer.image(), settings, verdict, fonts);
    return image;
}

ViewSettings viewSettingsFrom(const DisplaySettings &display)
{
    const ColourSettings &c = display.viewColours;
    ViewSettings v;
    v.colors.trace = c.trace;
    v.colors.background = c.back;
    v.colors.grid = c.grid;
    v.colors.eventMarks = c.eventMarker;
    v.colors.cursor = c.cursor;
    v.grid = display.gridVisible;
    v.unit = display.distanceUnit;
    return v;
}

bool writePngAtomically(const QString &path, const QImage &image)
{
    if (image.isNull())
        return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(image) && writeBytesAtomically(path, bytes);
}
