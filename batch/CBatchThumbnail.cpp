#include "batch/CBatchThumbnail.h"

#include "trace/CSorFileBase.h"
#include "trace/TraceAnalysis.h"
#include "trace/TraceData.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

QColor fromBgr(uint32_t c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// Win32-style client rectangle of the widget.
QRect clientOf(const QWidget &w)
{
    return w.rect();
}

} // namespace

CBatchThumbnail::CBatchThumbnail(CursorStore &store, QM7ZZZ_Acount_Total_Loss_fn totalLoss,
                                 QM7ZZZ_Event_Analysis_fn analysis, QWidget *parent)
    : CMyButton(parent)
    , m_store(store)
    , m_totalLoss(totalLoss)
    , m_analysis(analysis)
    , m_file(std::make_unique<CSorFileBase>())
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

CBatchThumbnail::~CBatchThumbnail() = default;

void CBatchThumbnail::setPath(const QString &path)
{
    m_path = path;
    update();
}

bool CBatchThumbnail::ensureLoaded()
{
    if (m_path.isEmpty())
        return false;
    if (m_path == m_loadedPath)
        return true;
    return load();
}

bool CBatchThumbnail::load()
{
    if (!m_path.right(4).endsWith(QLatin1String(".sor"), Qt::CaseInsensitive))
        return false;
    SorRecord record;
    int result = 5;
    try {
        result = m_file->ReadFile(m_path, record);
    } catch (...) {
        result = 5; // a reader failure counts as an unacceptable file
    }
    m_file->ClearSamples();
    if (result != 1 || record.traces.empty())
        return false;

    m_record = std::move(record);
    const SorTrace &first = m_record.traces.front();
    const size_t count = std::min(first.points.size(), static_cast<size_t>(std::max(first.pointCount, 0)));
    m_points.resize(count);
    normalisedPoints(first, count, m_points.data());

    TraceData trace;
    loadTrace(m_record, trace, m_totalLoss);
    // Its default cursors come from the events the program would show.
    analyzeIfNoEvents(trace, m_analysis);
    const CursorPair *stored = m_store.find(m_path);
    m_pair = stored ? *stored : defaultCursorPair(trace);
    m_traceLength = static_cast<float>(trace.sampleCount) * trace.sampleSpacing;
    m_markA = m_pair.aDistance;
    m_markB = m_pair.bDistance;
    m_loadedPath = m_path;
    m_abTexts = thumbnailAbTexts(m_pair);
    Q_EMIT abTextsChanged(m_abTexts);
    return true;
}

int CBatchThumbnail::markA() const
{
    return markX(clientOf(*this), m_markA, m_traceLength);
}

int CBatchThumbnail::markB() const
{
    return markX(clientOf(*this), m_markB, m_traceLength);
}

void CBatchThumbnail::DrawContent(QPainter &painter, const QRect &rect)
{
    if (!ensureLoaded())
        return;
    const std::vector<QPoint> curve = reducedCurve(rect, m_points);
    if (!curve.empty()) {
        painter.setPen(QPen(QColor(0x00, 0xA2, 0xE8), 0));
        painter.drawPolyline(curve.data(), static_cast<int>(curve.size()));
    }
    if (m_markA >= 0.0f && m_markA <= m_traceLength)
        drawMark(painter, rect, m_markA, QStringLiteral("A"));
    if (m_markB >= 0.0f && m_markB <= m_traceLength)
        drawMark(painter, rect, m_markB, QStringLiteral("B"));
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

void CBatchThumbnail::drawMark(QPainter &painter, const QRect &rect, float distance, const QString &label) const
{
    const int x = markX(rect, distance, m_traceLength);
    const int bottom = rect.top() + rect.height();
    painter.setPen(QPen(fromBgr(m_cursorColour), 0));
    painter.drawLine(x, rect.top() + 30, x, bottom - 1);

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setWeight(QFont::Bold);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(label);
    const int height = metrics.height();
    QRect box(x + 1, 30, width, height);
    if (box.left() + width > rect.left() + rect.width())
        box.moveLeft(x - width - 1);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, label);
}

void CBatchThumbnail::setPair(const CursorPair &pair)
{
    m_pair = pair;
    m_abTexts = thumbnailAbTexts(m_pair);
    Q_EMIT abTextsChanged(m_abTexts);
}

void CBatchThumbnail::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() != Qt::LeftButton) {
        m_dragging = false;
        return;
    }
    const QRect client = clientOf(*this);
    m_hit = 0;
    if (client.contains(pos) && m_path == m_loadedPath && !m_loadedPath.isEmpty())
        m_hit = hitMark(client, pos.x(), m_markA, m_markB, m_traceLength);
    m_dragging = m_hit != 0 && m_draggingAllowed;
    event->accept();
}

void CBatchThumbnail::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const QRect client = clientOf(*this);
    if (!m_dragging || m_hit == 0 || !client.contains(pos))
        return;
    (m_hit == 1 ? m_markA : m_markB) = dragDistance(client, pos.x(), m_traceLength);

    const float spacing = m_record.sampleSpacing;
    if (spacing > 0.0f) {
        const double indexA = std::trunc(double(m_markA) / spacing);
        const double indexB = std::trunc(double(m_markB) / spacing);
        const double n = double(m_points.size());
        if (indexA >= 0.0 && indexB >= 0.0 && indexA < n && indexB < n) {
            setPair({m_markA, static_cast<float>(TraceMapping::levelDb(m_points[size_t(indexA)])), m_markB,
                     static_cast<float>(TraceMapping::levelDb(m_points[size_t(indexB)]))});
            m_store.store(m_loadedPath, m_pair);
        }
    }
    update();
}

void CBatchThumbnail::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    m_hit = 0;
    event->accept();
}
