#pragma once

#include "batch/OverviewPoints.h"

#include <QWidget>

#include <vector>

struct TraceData;

// The overview panel below the information panel: the current trace in miniature with a green
// frame around the part the trace view shows. It draws what it is given: the main window hands
// it the document's current trace on each change notice naming the slots or the current one,
// and the frame whenever the view changes. Its points are a cache of that trace.
class CDlgThumbnail : public QWidget {
    Q_OBJECT

public:
    explicit CDlgThumbnail(QWidget *parent = nullptr);

    // The trace to show, or none. The trace must stay alive while it is set.
    void setTrace(const TraceData *trace);
    const TraceData *trace() const { return m_trace; }
    // Rebuilds the overview points of the trace (after it was loaded, saved or changed).
    void BuildOverviewPoints();
    // The trace to show (or none) at the vertical extent, with its points built once.
    void showTrace(const TraceData *trace, int verticalRangeDb);
    // Times the points were built so far.
    uint64_t builds() const { return m_builds; }
    void setViewWindow(const OverviewWindow &window);
    // The vertical extent in dB (verticalRangeDb) both the trace and the frame are scaled to;
    // 0 before the first load, which scales the trace to 50 dB and the frame to the full height.
    void setVerticalRange(int verticalRangeDb);
    // Background colour, 0x00BBGGRR as the configuration stores it.
    void setBackground(uint32_t colour);

    const std::vector<ScreenPoint> &points() const { return m_points; }
    QRect viewRect() const;

    static constexpr QRgb panelColour = 0xFFECE9D8;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void rebuildPoints();

    const TraceData *m_trace = nullptr;
    std::vector<ScreenPoint> m_points;
    QSize m_pointsSize; // panel size the points were built for
    OverviewWindow m_window;
    int m_verticalRangeDb = 0;
    uint32_t m_background = 0; // 0x00BBGGRR
    uint64_t m_builds = 0;
};
