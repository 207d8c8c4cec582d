#pragma once

#include "print/DefaultCursorPair.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// The widget-free part of the batch thumbnail: where marks go, which mark the mouse hits, the
// A-B texts and the reduced curve. Rectangles are Win32-style: right = left + width and
// bottom = top + height lie just outside the client area.

// Cursor positions the user dragged, one entry per file path, in the order they were first set.
// Paths compare exactly (case-sensitive).
class CursorStore {
public:
    struct Entry {
        QString path;
        CursorPair pair;
    };

    const CursorPair *find(const QString &path) const;
    // Replaces the entry of the path, else appends one.
    void store(const QString &path, const CursorPair &pair);
    // Removes the first entry of the path; false when there is none.
    bool remove(const QString &path);
    void clear() { m_entries.clear(); }
    const std::vector<Entry> &entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

// Screen x of a mark: trunc(width x distance / length + left), never left of left + 2.
int markX(const QRect &client, float distance, float traceLength);

// Mark x without the left-edge rule, as the hit test uses it.
int markHitX(const QRect &client, float distance, float traceLength);

// Which mark the mouse at x hits: 0 none, 1 A, 2 B. A mark counts only while its distance lies
// in 0 .. length and its x is closer than 6 pixels; with both hit, the nearer wins, A on a tie.
int hitMark(const QRect &client, int x, float aDistance, float bDistance, float traceLength);

// Distance a mark dragged to x takes: (x - left) x length / width.
float dragDistance(const QRect &client, int x, float traceLength);

// The four A-B texts: "A-B:", the distance, the loss and the slope ("--" where undefined).
QStringList thumbnailAbTexts(const CursorPair &pair);

// Polyline point of sample i of n in the thumbnail: a 50 dB window over the client height.
QPoint curvePoint(const QRect &client, uint32_t i, uint32_t n, uint16_t raw);

// Every sample's point in order (n points); empty for fewer than 100 samples.
std::vector<QPoint> fullCurve(const QRect &client, const std::vector<uint16_t> &raw);

// The same picture with far fewer points: each pixel column's run of points becomes its first,
// lowest, highest and last point (repeats dropped). Empty for fewer than 100 samples.
std::vector<QPoint> reducedCurve(const QRect &client, const std::vector<uint16_t> &raw);
