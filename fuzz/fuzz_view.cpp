// Arbitrary curves (any spacing, length and levels, NaN and infinities included) driven through
// arbitrary sequences of trace-view operations, mouse input and scrolling, with the curve
// points and the layer computed along the way.

#include "view/TraceRenderer.h"
#include "view/TraceViewState.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstring>

namespace {

class Input {
public:
    Input(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool empty() const { return m_pos >= m_size; }
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    int32_t integer()
    {
        int32_t v = 0;
        take(&v, sizeof v);
        return v;
    }
    float real()
    {
        float v = 0.0f;
        take(&v, sizeof v);
        return v;
    }

private:
    void take(void *out, size_t n)
    {
        const size_t k = m_pos + n <= m_size ? n : m_size - m_pos;
        std::memcpy(out, m_data + m_pos, k);
        m_pos += k;
    }
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

TraceCurve curveFrom(Input &in)
{
    TraceCurve c;
    c.spacing = in.real();
    c.length = in.real();
    c.userOffset = in.real();
    const int count = in.byte() * 16 + in.byte();
    c.sampleCount = in.byte() % 4 == 0 ? in.integer() : count; // sometimes a count that lies
    c.levels.resize(static_cast<size_t>(count));
    const float start = in.real();
    const float step = in.real();
    for (int i = 0; i < count; ++i)
        c.levels[static_cast<size_t>(i)] = start + step * static_cast<float>(i % 97) + (in.byte() & 7);
    const int marks = in.byte() % 12;
    for (int j = 0; j < marks; ++j)
        c.markers.push_back({in.integer(), in.real()});
    return c;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in(data, size);
    TraceViewState state;
    TraceData trace;
    trace.cursorA = in.real();
    trace.cursorB = in.real();
    state.setTraceSource([&trace]() -> const TraceData * { return &trace; });
    state.setClientRect(QRect(0, 0, 30 + in.byte() * 2, 25 + in.byte()), true);
    state.cursorsVisible = 1;
    const ViewSettings settings;
    TraceLayer layer;

    for (int op = 0; op < 64 && !in.empty(); ++op) {
        switch (in.byte() % 20) {
        case 0: state.AddCurve(curveFrom(in)); break;
        case 1: {
            const float x0 = in.real(), x1 = in.real(), y0 = in.real(), y1 = in.real();
            state.SetView(x0, x1, y0, y1, in.byte() & 1);
            break;
        }
        case 2: state.ZoomInH(in.real()); break;
        case 3: state.ZoomOutH(in.real()); break;
        case 4: state.ZoomInV(in.real()); break;
        case 5: state.ZoomOutV(in.real()); break;
        case 6: state.ResetView(); break;
        case 7: state.MoveCurve(in.integer()); break;
        case 8: state.StepCursor(in.integer()); break;
        case 9: state.Press(QPoint(in.integer() % 2000, in.integer() % 2000)); break;
        case 10: state.Move(QPoint(in.integer() % 2000, in.integer() % 2000)); break;
        case 11: state.Release(QPoint(in.integer() % 2000, in.integer() % 2000)); break;
        case 12: state.HScroll(static_cast<ScrollAction>(in.byte() % 6), in.integer()); break;
        case 13: {
            const auto action = static_cast<ScrollAction>(in.byte() % 6);
            const float track = in.real();
            state.VScroll(action, track, in.integer());
            break;
        }
        case 14: state.RemoveCurve(in.byte() % 4); break;
        case 15: state.SelectCurve(in.byte() % 4); break;
        case 16: state.activeCursor = in.byte() % 4; break;
        case 17: state.MoveCursorToEvent(in.byte() % 12); break;
        case 18: {
            state.mousePoint = QPoint(in.integer(), in.integer());
            state.cursorA.column = in.integer();
            state.cursorB.column = in.integer();
            static const char *const unitNames[] = {"m", "mi", "ft", "x"};
            state.UpdateCursorTexts(QString::fromLatin1(unitNames[in.byte() % 4]));
            (void)state.HitTestCursor(in.integer());
            (void)state.CursorSampleIndex();
            (void)state.ValueAt(in.real());
            (void)state.cursorMarks();
            break;
        }
        case 19:
            for (const TraceCurve &c : state.curves)
                (void)curvePoints(state, c, in.byte() & 1 ? CurveDrawMode::Full : CurveDrawMode::Reduced);
            layer.resize(state.plotRect.size());
            layer.render(state, settings);
            {
                static const TraceViewFonts fonts;
                QImage buffer(state.clientRect.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
                QPainter painter(&buffer);
                paintTraceView(painter, state, layer.image(), settings, in.byte() % 4, fonts);
            }
            break;
        }
        if (state.curves.size() > 8)
            state.RemoveAllCurves();
    }
    return 0;
}
