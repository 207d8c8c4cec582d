// Trace view drawing at 1600 x 900: re-rendering the curve layer with eight curves of 256,000
// samples at full view, and composing a paint during a cursor drag. The baseline is a plain
// fill of an image of the same size, measured in the same run.

#include "view/TraceRenderer.h"
#include "view/TraceViewState.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr int plotWidth = 1600;
constexpr int plotHeight = 900;
constexpr int samples = 256000;

// A falling backscatter with a few steps and deterministic noise, 0.5 m per sample.
TraceCurve benchCurve(int k)
{
    TraceCurve c;
    c.sampleCount = samples;
    c.spacing = 0.5f;
    c.length = samples * 0.5f;
    c.levels.resize(samples);
    uint32_t noise = 12345u + static_cast<uint32_t>(k) * 7919u;
    for (int i = 0; i < samples; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const float jitter = static_cast<float>(noise >> 8) / static_cast<float>(1u << 24) - 0.5f;
        c.levels[static_cast<size_t>(i)] = 46.0f - 2.0f * static_cast<float>(k) - static_cast<float>(i) * 0.00012f
            - (i > samples / 3 ? 0.4f : 0.0f) + jitter * (0.2f + static_cast<float>(i) / samples);
    }
    for (int j = 1; j <= 8; ++j)
        c.markers.push_back({j * samples / 9, static_cast<float>(j * samples / 9 + 1) * 0.5f});
    return c;
}

ViewSettings benchSettings()
{
    ViewSettings s;
    s.colors.trace = {5954560, 16750150, 38655, 15421675, 11172095, 14145280, 13816530, 6597320};
    s.colors.background = 2103316;
    s.colors.grid = 7890010;
    s.colors.eventMarks = 16777215;
    s.colors.cursor = 4210943;
    s.grid = true;
    return s;
}

// Eight curves at full view in a control of the given client size.
TraceViewState makeState(QSize client)
{
    TraceViewState s;
    s.setClientRect(QRect(QPoint(0, 0), client), true);
    for (int k = 0; k < 8; ++k)
        s.AddCurve(benchCurve(k));
    s.cursorsVisible = 1;
    return s;
}

// The curve layer is the plot: 1600 x 900 inside a 1625 x 920 control.
TraceViewState &layerState()
{
    static TraceViewState state = makeState(QSize(plotWidth + 25, plotHeight + 20));
    return state;
}

// The paint buffer is the whole control: 1600 x 900.
TraceViewState &paintState()
{
    static TraceViewState state = makeState(QSize(plotWidth, plotHeight));
    return state;
}

void BM_FillBaseline(benchmark::State &st)
{
    QImage image(plotWidth, plotHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : st) {
        image.fill(qRgb(20, 24, 32));
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_FillBaseline)->Unit(benchmark::kMillisecond);

void renderLayer(benchmark::State &st, CurveDrawMode mode)
{
    TraceViewState &state = layerState();
    const ViewSettings settings = benchSettings();
    TraceLayer layer;
    layer.resize(state.plotRect.size());
    for (auto _ : st) {
        layer.render(state, settings, mode);
        benchmark::DoNotOptimize(layer.image().constBits());
    }
}

void BM_RenderLayerEightCurves(benchmark::State &st)
{
    renderLayer(st, CurveDrawMode::Reduced);
}
BENCHMARK(BM_RenderLayerEightCurves)->Unit(benchmark::kMillisecond);

// Every sample drawn: what the column reduction saves.
void BM_RenderLayerEightCurvesUnreduced(benchmark::State &st)
{
    renderLayer(st, CurveDrawMode::Full);
}
BENCHMARK(BM_RenderLayerEightCurvesUnreduced)->Unit(benchmark::kMillisecond);

// A paint while cursor B is dragged: the layer is ready, only the composition runs.
void BM_ComposeDuringDrag(benchmark::State &st)
{
    TraceViewState &state = paintState();
    const ViewSettings settings = benchSettings();
    const TraceViewFonts fonts;
    TraceLayer layer;
    layer.resize(state.plotRect.size());
    layer.render(state, settings);
    state.activeCursor = 2;
    state.mouseDown = 1;
    state.dragTarget = 2;
    QImage buffer(state.clientRect.size(), QImage::Format_RGB32);
    int x = state.plotRect.left() + 400;
    for (auto _ : st) {
        state.Move(QPoint(x, 300));
        x = x >= state.plotRect.left() + 1200 ? state.plotRect.left() + 400 : x + 3;
        QPainter p(&buffer);
        paintTraceView(p, state, layer.image(), settings, 1, fonts);
        p.end();
        benchmark::DoNotOptimize(buffer.constBits());
    }
}
BENCHMARK(BM_ComposeDuringDrag)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
