#include "batch/CDlgThumbnail.h"

#include "trace/TraceData.h"
#include "view/TraceRenderer.h"

#include <QPainter>
#include <QPolygon>

CDlgThumbnail::CDlgThumbnail(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("overviewPanel"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CDlgThumbnail::setTrace(const TraceData *trace)
{
    m_trace = trace;
    BuildOverviewPoints();
}

void CDlgThumbnail::BuildOverviewPoints()
{
    rebuildPoints();
    update();
}

void CDlgThumbnail::showTrace(const TraceData *trace, int verticalRangeDb)
{
    m_trace = trace;
    m_verticalRangeDb = verticalRangeDb;
    BuildOverviewPoints();
}

void CDlgThumbnail::rebuildPoints()
{
    ++m_builds;
    if (m_trace)
        m_points = overviewPoints(m_trace->samples, m_trace->sampleCount, width(), height(), m_verticalRangeDb);
    else
        m_points.clear();
    m_pointsSize = size();
}

void CDlgThumbnail::setViewWindow(const OverviewWindow &window)
{
    m_window = window;
    update();
}

void CDlgThumbnail::setVerticalRange(int verticalRangeDb)
{
    if (verticalRangeDb == m_verticalRangeDb)
        return;
    m_verticalRangeDb = verticalRangeDb;
    BuildOverviewPoints();
}

void CDlgThumbnail::setBackground(uint32_t colour)
{
    m_background = colour;
    update();
}

QRect CDlgThumbnail::viewRect() const
{
    if (!m_trace)
        return QRect();
    return viewWindowRect(m_window, m_trace->sampleCount, width(), height(), m_verticalRangeDb);
}

void CDlgThumbnail::resizeEvent(QResizeEvent *event)
{
    // The points are per pixel column: a new width needs new points.
    BuildOverviewPoints();
    QWidget::resizeEvent(event);
}

void CDlgThumbnail::paintEvent(QPaintEvent *)
{
    // A resize of the hidden panel reaches resizeEvent only when it is shown.
    if (m_pointsSize != size())
        rebuildPoints();
    QImage layer(size(), QImage::Format_RGB32);
    layer.fill(QColor::fromRgb(panelColour));
    {
        QPainter p(&layer);
        const QRect client(0, 0, width(), height());
        p.fillRect(client, bgrColor(m_background));
        if (m_trace) {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(bgrColor(m_background));
            p.drawRect(client.adjusted(0, 0, -1, -1));
            if (!m_points.empty()) {
                QPolygon line(static_cast<int>(m_points.size()));
                for (size_t i = 0; i < m_points.size(); ++i)
                    line.setPoint(static_cast<int>(i), m_points[i].x, m_points[i].y);
                p.setPen(QPen(bgrColor(m_trace->colour), 1));
                p.drawPolyline(line);
            }
        }
        const QRect view = viewRect();
        if (!view.isEmpty()) {
            p.setPen(QPen(QColor(0, 0xFF, 0), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(view.adjusted(0, 0, -1, -1));
        }
    }
    QPainter painter(this);
    painter.drawImage(0, 0, layer);
}
