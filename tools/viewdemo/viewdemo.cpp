// viewdemo: the trace view alone in a bare window, for trying it out and for screenshots.
//
//   viewdemo [options] FILE.sor...
//   viewdemo --gen link --gen patch:7 ...
//
// Options:
//   --gen NAME[:SEED[:LEVEL]]  a generated trace (NAME: patch, link, long; LEVEL in dB)
//   --start-level DB    backscatter level at the start of generated traces (default 38 dB,
//                       so that they lie inside the view's 0..50 dB)
//   --unit U            distance unit: m, mi or ft (default m)
//   --no-grid           hide the grid
//   --single            show only the current trace
//   --current N         make trace N (from 0) current
//   --zoom X0 X1 [Y0 Y1]  visible window in metres (and dB)
//   --cursors A B       cursor distances in metres
//   --active N          active cursor: 1 A, 2 B, 3 both
//   --drag DX           start dragging the active cursor DX pixels and keep the button down
//   --verdict N         pass/fail mark to show: 1 PASS, 2 FAIL
//   --size WxH          window size (default 1600x900)
//   --shot FILE.png     save the window as a PNG and quit

#include "tools/gen/GeneratedFile.h"
#include "tools/gen/TraceGenerator.h"
#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"
#include "trace/TraceLoader.h"
#include "trace/TraceSet.h"
#include "view/COtdrTrace.h"

#include <QApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>

Q_LOGGING_CATEGORY(lcViewDemo, "lumidor.viewdemo")

namespace {

// Readable colours, as the shipped Config.ini has them.
ViewSettings demoSettings()
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

struct Demo {
    TraceSet traces;
    int verticalRangeDb = 0;
    EventAnalysisBinding analysis;
};

bool generatedRecord(const QString &name, double startLevelDb, SorRecord &record)
{
    const QStringList parts = name.split(QLatin1Char(':'));
    gen::Options options;
    if (!gen::presetOptions(parts.value(0), options))
        return false;
    if (parts.size() > 1)
        options.seed = parts.value(1).toUInt();
    options.startLevelDb = parts.size() > 2 ? parts.value(2).toDouble() : startLevelDb;
    record = gen::generate(options).record;
    return true;
}

// Loads the record into the next slot and hands a curve to the view, as the open command does.
void addRecord(Demo &demo, COtdrTrace &view, const SorRecord &record, const QString &name)
{
    TraceSet &set = demo.traces;
    if (set.loadedCount >= TraceSet::slotCount) {
        std::fprintf(stderr, "viewdemo: more than eight traces, %s left out\n", qPrintable(name));
        return;
    }
    const int k = set.loadedCount;
    TraceSlot &slot = set.slots[static_cast<size_t>(k)];
    loadTrace(record, *slot.trace, demo.analysis.totalLoss);
    eventsToEventList(*slot.trace);
    slot.loaded = 1;
    slot.fileName = name;
    slot.filePath = name;
    ++set.loadedCount;
    set.currentSlot = k;
    // The extent grows to about 120 % of the highest level, never below 50 dB.
    const int highest = static_cast<int>(std::ceil(1.2 * maximumLevel(record) / 5.0)) * 5;
    demo.verticalRangeDb = std::max({demo.verticalRangeDb, highest, 50});
    view.AddCurve(buildTraceCurve(*slot.trace, viewLevels(record, slot.trace->sampleCount),
                                  recordUserOffset(record)));
}

void usage()
{
    std::fprintf(stderr, "usage: viewdemo [--gen NAME[:SEED]] [--start-level DB] [--unit m|mi|ft] [--no-grid] [--single]\n"
                         "                [--current N] [--zoom X0 X1 [Y0 Y1]] [--cursors A B] [--active N]\n"
                         "                [--drag DX] [--verdict N] [--size WxH] [--shot FILE.png] [FILE.sor...]\n");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    Demo demo;
    demo.analysis = bindEventAnalysis(QCoreApplication::applicationDirPath());
    ViewSettings settings = demoSettings();
    COtdrTrace view;
    view.setWindowTitle(QStringLiteral("viewdemo"));
    view.setTraceSource([&demo]() -> const TraceData * {
        if (demo.traces.loadedCount <= 0)
            return nullptr;
        return demo.traces.slots[static_cast<size_t>(demo.traces.currentSlot)].trace.get();
    });
    view.setVerticalRangeSource([&demo] { return demo.verticalRangeDb; });
    int verdict = 0;
    view.setVerdictSource([&verdict] { return verdict; });

    QStringList args = app.arguments().mid(1);
    QString shot;
    int current = -1, active = 1, dragDx = 0;
    bool drag = false;
    QList<float> zoom, cursors;
    QSize size(1600, 900);
    QStringList inputs; // "gen:" prefix for generated traces
    bool single = false;
    double startLevelDb = 38.0;
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args[i];
        auto next = [&]() { return i + 1 < args.size() ? args[++i] : QString(); };
        if (a == QLatin1String("--gen")) {
            inputs << QStringLiteral("gen:") + next();
        } else if (a == QLatin1String("--start-level")) {
            startLevelDb = next().toDouble();
        } else if (a == QLatin1String("--unit")) {
            settings.unit = next();
        } else if (a == QLatin1String("--no-grid")) {
            settings.grid = false;
        } else if (a == QLatin1String("--single")) {
            single = true;
        } else if (a == QLatin1String("--current")) {
            current = next().toInt();
        } else if (a == QLatin1String("--zoom")) {
            zoom << next().toFloat() << next().toFloat();
            if (i + 2 < args.size() && !args[i + 1].startsWith(QLatin1String("--"))
                && QFileInfo(args[i + 1]).suffix().compare(QLatin1String("sor"), Qt::CaseInsensitive) != 0)
                zoom << next().toFloat() << next().toFloat();
        } else if (a == QLatin1String("--cursors")) {
            cursors << next().toFloat() << next().toFloat();
        } else if (a == QLatin1String("--active")) {
            active = next().toInt();
        } else if (a == QLatin1String("--drag")) {
            drag = true;
            dragDx = next().toInt();
        } else if (a == QLatin1String("--verdict")) {
            verdict = next().toInt();
        } else if (a == QLatin1String("--size")) {
            const QStringList wh = next().split(QLatin1Char('x'));
            size = QSize(wh.value(0).toInt(), wh.value(1).toInt());
        } else if (a == QLatin1String("--shot")) {
            shot = next();
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            usage();
            return 0;
        } else if (a.startsWith(QLatin1String("--"))) {
            usage();
            return 2;
        } else {
            inputs << a;
        }
    }
    if (inputs.isEmpty()) {
        usage();
        return 2;
    }

    view.setViewSettings(settings);
    view.setSingleCurveMode(single);
    view.setCursorsVisible(true);
    view.resize(size);
    view.show(); // takes its size before the first curve arrives
    QCoreApplication::processEvents();
    view.InitScrollBars();

    for (const QString &input : inputs) {
        SorRecord record;
        if (input.startsWith(QLatin1String("gen:"))) {
            if (!generatedRecord(input.mid(4), startLevelDb, record)) {
                std::fprintf(stderr, "viewdemo: unknown generator preset %s\n", qPrintable(input.mid(4)));
                return 2;
            }
        } else {
            CSorFileBase file;
            const int result = file.ReadFile(input, record);
            if (result != 1) {
                std::fprintf(stderr, "viewdemo: %s: not read (result %d)\n", qPrintable(input), result);
                continue;
            }
        }
        addRecord(demo, view, record, input);
    }
    if (demo.traces.loadedCount == 0)
        return 1;

    if (current >= 0 && current < demo.traces.loadedCount) {
        demo.traces.currentSlot = current;
        view.SelectCurve(current);
    }
    if (zoom.size() >= 2) {
        const TraceViewState &s = view.state();
        view.SetView(zoom[0], zoom[1], zoom.size() >= 4 ? zoom[2] : s.yMin, zoom.size() >= 4 ? zoom[3] : s.yMax, true);
    }
    if (cursors.size() == 2) {
        view.state().cursorA.distance = cursors[0];
        view.state().cursorA.column = view.state().distanceToColumn(cursors[0]);
        view.state().cursorB.distance = cursors[1];
        view.state().cursorB.column = view.state().distanceToColumn(cursors[1]);
    }
    view.setActiveCursor(active);

    if (drag) {
        // Press on the active cursor's line and move without releasing: a drag in progress.
        const ViewCursor &c = active == 2 ? view.state().cursorB : view.state().cursorA;
        const int x = std::max(view.state().distanceToColumn(c.distance), view.state().plotRect.left() + 2);
        const int y = view.state().plotRect.height() / 2;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, y), view.mapToGlobal(QPointF(x, y)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(x + dragDx, y), view.mapToGlobal(QPointF(x + dragDx, y)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &move);
    }

    if (!shot.isEmpty()) {
        QTimer::singleShot(200, &view, [&view, shot]() {
            if (!view.grab().save(shot))
                qCWarning(lcViewDemo) << "could not write" << shot;
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
