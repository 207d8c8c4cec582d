#include "app/MainLayout.h"

void MainLayout::capture(const std::array<QRect, ControlCount> &rects, QSize client)
{
    for (int i = 0; i < ControlCount; ++i) {
        const QRect &r = rects[static_cast<size_t>(i)];
        Anchor &a = anchors[static_cast<size_t>(i)];
        a.left = r.left();
        a.top = r.top();
        a.width = r.width();
        a.height = r.height();
        // Gaps measured from the exclusive right/bottom edges, as window rectangles are.
        a.rightGap = client.width() - (r.left() + r.width());
        a.bottomGap = client.height() - (r.top() + r.height());
    }
}

std::array<QRect, MainLayout::ControlCount> MainLayout::apply(QSize client) const
{
    const int cw = client.width();
    const int ch = client.height();
    const Anchor &tb = anchors[Toolbar];
    const Anchor &tv = anchors[TraceView];
    const Anchor &ip = anchors[InfoPanel];
    const Anchor &ov = anchors[Overview];
    const Anchor &el = anchors[EventList];
    std::array<QRect, ControlCount> out;
    out[Toolbar] = QRect(tb.left, tb.top, cw - tb.rightGap - tb.left, tb.height);
    out[TraceView] = QRect(tv.left, tv.top, cw - tv.rightGap - tv.left, ch - tv.bottomGap - tv.top);
    out[InfoPanel] = QRect(cw - ip.rightGap - ip.width, ip.top, ip.width, ch - ip.bottomGap - ip.top);
    out[Overview] = QRect(cw - ov.rightGap - ov.width, ch - ov.bottomGap - ov.height, ov.width, ov.height);
    out[EventList] = QRect(el.left, ch - el.bottomGap - el.height, cw - el.rightGap - el.left, el.height);
    return out;
}
