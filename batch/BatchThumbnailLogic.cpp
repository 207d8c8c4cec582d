#include "batch/BatchThumbnailLogic.h"

#include "print/ReportTexts.h"
#include "trace/TraceMapping.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr uint32_t minimumCurveSamples = 100;
constexpr int hitDistance = 6; // pixels

int truncToInt(float v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483520.0f)
        return 2147483647;
    if (v <= -2147483648.0f)
        return -2147483647 - 1;
    return static_cast<int>(v);
}

} // namespace

const CursorPair *CursorStore::find(const QString &path) const
{
    for (const Entry &e : m_entries)
        if (e.path == path)
            return &e.pair;
    return nullptr;
}

void CursorStore::store(const QString &path, const CursorPair &pair)
{
    for (Entry &e : m_entries) {
        if (e.path == path) {
            e.pair = pair;
            return;
        }
    }
    m_entries.push_back({path, pair});
}

bool CursorStore::remove(const QString &path)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->path == path) {
            m_entries.erase(it);
            return true;
        }
    }
    return false;
}

int markHitX(const QRect &client, float distance, float traceLength)
{
    if (traceLength == 0.0f)
        return client.left();
    return truncToInt(static_cast<float>(client.width()) * distance / traceLength + static_cast<float>(client.left()));
}

int markX(const QRect &client, float distance, float traceLength)
{
    const int x = markHitX(client, distance, traceLength);
    return x < client.left() + 1 ? client.left() + 2 : x;
}

int hitMark(const QRect &client, int x, float aDistance, float bDistance, float traceLength)
{
    auto hits = [&](float d, int &gap) {
        if (!(d >= 0.0f && d <= traceLength))
            return false;
        gap = std::abs(markHitX(client, d, traceLength) - x);
        return gap < hitDistance;
    };
    int gapA = 0;
    int gapB = 0;
    const bool a = hits(aDistance, gapA);
    const bool b = hits(bDistance, gapB);
    if (a && b)
        return gapA <= gapB ? 1 : 2;
    return a ? 1 : (b ? 2 : 0);
}

float dragDistance(const QRect &client, int x, float traceLength)
{
    if (client.width() <= 0)
        return 0.0f;
    return static_cast<float>(x - client.left()) * traceLength / static_cast<float>(client.width());
}

QStringList thumbnailAbTexts(const CursorPair &pair)
{
    const AbTexts t = abTexts(pair);
    return {QStringLiteral("A-B:"), t.distance, t.loss, t.slope};
}

QPoint curvePoint(const QRect &client, uint32_t i, uint32_t n, uint16_t raw)
{
    const float width = static_cast<float>(client.width());
    const float height = static_cast<float>(client.height());
    const float bottom = static_cast<float>(client.top() + client.height());
    const float x = static_cast<float>(i) * (width / static_cast<float>(n)) + static_cast<float>(client.left());
    const float y = bottom - height * static_cast<float>(TraceMapping::fullScaleRaw / 50000.0) +
                    (height / 50000.0f) * static_cast<float>(raw);
    return {truncToInt(x), truncToInt(y)};
}

std::vector<QPoint> fullCurve(const QRect &client, const std::vector<uint16_t> &raw)
{
    std::vector<QPoint> points;
    const auto n = static_cast<uint32_t>(raw.size());
    if (n < minimumCurveSamples)
        return points;
    points.reserve(n);
    for (uint32_t i = 0; i < n; ++i)
        points.push_back(curvePoint(client, i, n, raw[i]));
    return points;
}

std::vector<QPoint> reducedCurve(const QRect &client, const std::vector<uint16_t> &raw)
{
    std::vector<QPoint> points;
    const auto n = static_cast<uint32_t>(raw.size());
    if (n < minimumCurveSamples)
        return points;
    auto add = [&points](const QPoint &p) {
        if (points.empty() || points.back() != p)
            points.push_back(p);
    };
    // Within one column every segment is vertical, so the run's first point, its extremes and
    // its last point cover exactly the pixels all its points cover.
    uint32_t i = 0;
    while (i < n) {
        const QPoint first = curvePoint(client, i, n, raw[i]);
        QPoint low = first;
        QPoint high = first;
        QPoint last = first;
        uint32_t j = i + 1;
        for (; j < n; ++j) {
            const QPoint p = curvePoint(client, j, n, raw[j]);
            if (p.x() != first.x())
                break;
            if (p.y() < low.y())
                low = p;
            if (p.y() > high.y())
                high = p;
            last = p;
        }
        add(first);
        add(low);
        add(high);
        add(last);
        i = j;
    }
    return points;
}
