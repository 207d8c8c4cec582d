#include "app/CLumidorDlg.h"

#include "panels/CDlgFibrePair.h"

#include "app/CAboutDlg.h"
#include "app/AnalysisCommands.h"
#include "app/EventCommands.h"
#include "app/FileCommands.h"
#include "app/Icons.h"
#include "app/Session.h"
#include "app/Settings.h"
#include "batch/CDlgBatchDeal.h"
#include "batch/CDlgThumbnail.h"
#include "config/Configuration.h"
#include "config/SettingsLocation.h"
#include "panels/CDlgAnalysisThresholds.h"
#include "panels/CDlgEdit.h"
#include "panels/CDlgFibrePair.h"
#include "panels/CDlgPass.h"
#include "panels/CShowOpmValue.h"
#include "panels/CSubDlgInfo.h"
#include "panels/CSubDlgToolbar.h"
#include "panels/HoldRepeat.h"
#include "panels/MessageBox.h"
#include "print/CPrintFrame.h"
#include "print/PrintJob.h"
#include "print/ReportEnvironment.h"
#include "textres/TextIds.h"
#include "textres/TextResources.h"
#include "trace/EventTable.h"
#include "trace/AtomicWrite.h"
#include "trace/EventListText.h"
#include "trace/SorBlocks.h"
#include "view/COtdrTrace.h"
#include "view/DialogUnits.h"
#include "view/TraceExport.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeySequence>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

Q_LOGGING_CATEGORY(lcMainWindow, "lumidor.window")

namespace {

// The text shown when the text library cannot be loaded.
const char *const textLibraryFailure = "加载资源文件失败，请检查";

QWidget *placeholder(QWidget *parent, int id)
{
    auto *w = new QWidget(parent);
    w->setObjectName(QString::number(id));
    w->hide();
    return w;
}

} // namespace

CLumidorDlg::CLumidorDlg(Session &session, QWidget *parent)
    : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("CLumidorDlg"));
    setWindowIcon(::windowIcon());
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    createControls();
    createMenu();
}

CLumidorDlg::~CLumidorDlg()
{
    // The document outlives the window: no notice may reach it while it goes.
    if (m_subscription != 0)
        m_session.document.unsubscribe(m_subscription);
    // Panels first: they refer to the trace set and the view while they go.
    delete m_toolbar;
    delete m_infoPanel;
    delete m_overview;
    m_toolbar = nullptr;
    m_infoPanel = nullptr;
    m_overview = nullptr;
    unloadTextLibrary();
}

void CLumidorDlg::createControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_menuBar = new QMenuBar(this);
    layout->setMenuBar(m_menuBar);
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->installEventFilter(this);
    layout->addWidget(m_client);

    // Controls at their template rectangles (dialog units of the dialog font).
    const DialogUnits du(font());
    m_templateClient = QSize(du.x(502), du.y(347));
    m_client->resize(m_templateClient);
    resize(m_templateClient.width(), m_templateClient.height() + m_menuBar->sizeHint().height());
    m_toolbarPlaceholder = placeholder(m_client, IdToolbarPlaceholder);
    m_toolbarPlaceholder->setGeometry(du.rect(6, 3, 496, 29));
    m_traceView = new COtdrTrace(m_client);
    m_traceView->setObjectName(QString::number(IdTraceView));
    m_traceView->setGeometry(du.rect(2, 35, 304, 234));
    m_infoPlaceholder = placeholder(m_client, IdInfoPlaceholder);
    m_infoPlaceholder->setGeometry(du.rect(310, 36, 192, 235));
    m_overviewPlaceholder = placeholder(m_client, IdOverviewPlaceholder);
    m_overviewPlaceholder->setGeometry(du.rect(311, 280, 190, 66));
    m_eventList = new QTableWidget(m_client);
    m_eventList->setObjectName(QString::number(IdEventList));
    m_eventList->setGeometry(du.rect(0, 276, 305, 71));
}

void CLumidorDlg::createMenu()
{
    struct Item {
        int id;
        int caption; // text identifier; 0 keeps the fixed caption
        const char *fixed;
        QList<QKeySequence> keys = {};
    };
    struct Popup {
        int caption;
        std::vector<Item> items;
    };
    const std::vector<Popup> popups = {
        {text::MenuFile,
         {{CmdOpen, text::Open, "Open", {QKeySequence::Open}},
          {CmdSave, text::SaveFile, "Save", {QKeySequence::Save}},
          {CmdExportEvents, text::ExportEvents, "Export events..."},
          {CmdExportTrace, text::ExportTrace, "Export trace..."},
          {CmdExportPicture, text::ExportPicture, "Export picture..."},
          {CmdPrintPreview, text::PrintPreview, "Print preview", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)}},
          {CmdPrint, text::Print, "Print", {QKeySequence::Print}},
          {CmdBatch, text::BatchPrinting, "Batch printing"},
          {CmdExit, text::Exit, "Exit", {QKeySequence(Qt::CTRL | Qt::Key_Q)}}}},
        {text::MenuEdit, {{CmdUndo, text::Undo, "Undo", {QKeySequence::Undo}}}},
        {text::MenuTrace,
         {{CmdHZoomIn, text::HZoomIn, "H_zoom in", {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}},
          {CmdHZoomOut, text::HZoomOut, "H_zoom out", {QKeySequence(Qt::CTRL | Qt::Key_Minus)}},
          {CmdVZoomIn, text::VZoomIn, "V_zoom in", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up)}},
          {CmdVZoomOut, text::VZoomOut, "V_zoom out", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down)}},
          {CmdFullView, text::FullView, "Full view", {QKeySequence(Qt::CTRL | Qt::Key_0)}},
          {CmdTraceUp, text::TraceUp, "Trace up"},
          {CmdTraceDown, text::TraceDown, "Trace down"}}},
        {text::MenuCursor,
         // The arrow keys move the cursor while the trace view has focus; the menu only names
         // them, so the event list and other controls keep their own arrow keys.
         {{CmdMoveLeft, text::MoveLeft, "Move left"},
          {CmdMoveRight, text::MoveRight, "Move right"},
          {CmdToggleCursor, text::ToggleCursor, "Toggle cursor"}}},
        {text::MenuAnalyze,
         {{CmdAddEvent, text::AddEvent, "Add event"},
          {CmdDeleteEvent, text::DeleteEvent, "Delete event"},
          {CmdPassFail, 0, "Pass/Fail"},
          {CmdAnalyzeTrace, text::AnalyzeTrace, "Analyze trace"},
          {CmdAnalysisThresholds, text::AnalysisThresholdsMenu, "Analysis thresholds..."},
          {CmdBidirectional, text::MenuBidirectional, "Bidirectional..."},
          {CmdWavelengths, text::MenuWavelengths, "Wavelengths..."}}},
        {text::MenuAbout, {{CmdAbout, text::MenuAbout, "About"}}},
    };
    for (const Popup &popup : popups) {
        QMenu *menu = m_menuBar->addMenu(QString());
        menu->setObjectName(QStringLiteral("menu%1").arg(popup.caption));
        m_captionIds.insert(menu->menuAction(), popup.caption);
        for (const Item &item : popup.items) {
            QAction *action = menu->addAction(QString::fromUtf8(item.fixed));
            action->setObjectName(QStringLiteral("action%1").arg(item.id));
            if (!item.keys.isEmpty()) {
                action->setShortcuts(item.keys);
                // Also on the window itself, so the keys work wherever the focus is in it.
                addAction(action);
            }
            m_actions.insert(item.id, action);
            if (item.caption != 0)
                m_captionIds.insert(action, item.caption);
            const int id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        }
    }

    // Cursor > Measurement: one of three ways, ticked.
    QMenu *cursor = m_menuBar->findChild<QMenu *>(QStringLiteral("menu%1").arg(text::MenuCursor));
    QMenu *measurement = cursor->addMenu(QString());
    measurement->setObjectName(QStringLiteral("menu%1").arg(text::Measurement));
    m_captionIds.insert(measurement->menuAction(), text::Measurement);
    auto *modes = new QActionGroup(measurement);
    const std::pair<int, int> modeItems[] = {
        {CmdMeasureTwoPoint, text::MeasureTwoPoint}, {CmdMeasureLsa, text::MeasureLsa}, {CmdMeasureSplice, text::MeasureSplice}};
    for (const auto &[id, caption] : modeItems) {
        QAction *action = measurement->addAction(QString());
        action->setObjectName(QStringLiteral("action%1").arg(id));
        action->setCheckable(true);
        action->setChecked(id == CmdMeasureTwoPoint);
        modes->addAction(action);
        m_actions.insert(id, action);
        m_captionIds.insert(action, caption);
        const int command = id;
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    }
}

void CLumidorDlg::setMenuCaptions()
{
    for (auto it = m_captionIds.cbegin(); it != m_captionIds.cend(); ++it)
        it.key()->setText(loadText(it.value()));
    // Menu text only: the keys themselves belong to the trace view.
    for (const auto &[id, key] : {std::pair{int(CmdMoveLeft), "Left"}, std::pair{int(CmdMoveRight), "Right"}}) {
        QAction *a = m_actions.value(id);
        a->setText(a->text() + QLatin1Char('\t') + QKeySequence(QString::fromLatin1(key)).toString(QKeySequence::NativeText));
    }
}

void CLumidorDlg::OnInitDialog(bool showWindow)
{
    const QString folder = m_session.binFolder;

    // Texts: a missing library leaves every text empty; the program goes on.
    setTextLoadFailureHandler([this](const QString &) {
        showMessage(this, {QString(), QString::fromUtf8(textLibraryFailure), QMessageBox::NoIcon, QMessageBox::Ok});
    });
    loadTextLibrary(folder);
    setMenuCaptions();
    setWindowTitle(loadText(text::Title));

    m_traceView->setTraceSource([this] { return m_session.document.currentTrace(); });
    m_traceView->setVerdictSource([this] { return currentVerdict(m_session); });
    m_traceView->setVerticalRangeSource([this] { return m_session.verticalRangeDb; });
    m_traceView->setCursorsVisible(true);
    m_traceView->InitScrollBars();
    m_traceView->setActiveCursor(1);

    // Settings and an empty trace set.
    bindConfiguration(folder, m_session.g_iniConfig);
    m_session.traceSet.reset();
    m_session.distanceUnit = QStringLiteral("m");
    applyDisplaySettings(m_session, *m_traceView);

    // Panels over their placeholders.
    m_toolbar = new CSubDlgToolbar(&loadText, m_client);
    m_toolbar->setObjectName(QStringLiteral("CSubDlgToolbar"));
    m_infoPanel = new CSubDlgInfo(m_session.traceSet, &loadText, m_client);
    m_infoPanel->setObjectName(QStringLiteral("CSubDlgInfo"));
    m_infoPanel->setDistanceUnit(m_session.distanceUnit);
    m_overview = new CDlgThumbnail(m_client);
    m_overview->setObjectName(QStringLiteral("CDlgThumbnail"));
    m_overview->setBackground(m_session.background);
    PlacePanels();
    connectPanels();
    // The widgets redraw from the document on each of its change notices.
    m_subscription = m_session.document.subscribe([this](const DocumentChange &change) { showChange(change); });

    setUpEventList();
    loadReportSetup(m_session);

    CaptureLayout();
    // Never smaller than designed, and tall enough for every line of the information panel:
    // below that its lines are squeezed over each other.
    const MainLayout::Anchor &info = m_layout.anchors[MainLayout::InfoPanel];
    const int clientHeight = std::max(m_templateClient.height(),
                                      info.top + info.bottomGap + m_infoPanel->minimumSizeHint().height());
    setMinimumSize(m_templateClient.width(), clientHeight + m_menuBar->sizeHint().height());
    ApplyLayout();
    if (showWindow) {
        // Without a window manager nothing maximises: fill the screen's work area anyway.
        if (QScreen *s = screen())
            setGeometry(s->availableGeometry());
        showMaximized();
    }
    ApplyLayout();
    PlacePanels();
    m_traceView->InitScrollBars();

    m_session.logoPath = folder + QStringLiteral("/logo.bmp");
    loadPassThresholds(m_session);
    loadAnalysisSettings(m_session);
}

void CLumidorDlg::setUpEventList()
{
    QTableWidget *list = m_eventList;
    list->setColumnCount(7);
    QStringList captions;
    for (int id = text::EventNo; id <= text::EventReflect; ++id)
        captions << loadText(id);
    list->setHorizontalHeaderLabels(captions);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < 7; ++c)
        list->setColumnWidth(c, 137);
    list->verticalHeader()->hide();
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setIconSize(QSize(16, 16));
    list->setWordWrap(false);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    connect(list, &QTableWidget::itemSelectionChanged, this, &CLumidorDlg::onEventRowSelected);
}

void CLumidorDlg::connectPanels()
{
    COtdrTrace *view = m_traceView;
    CSubDlgToolbar *tb = m_toolbar;
    connect(tb, &CSubDlgToolbar::openRequested, this, &CLumidorDlg::openFiles);
    connect(tb, &CSubDlgToolbar::saveRequested, this, &CLumidorDlg::saveCurrentTrace);
    connect(tb, &CSubDlgToolbar::resetViewRequested, view, &COtdrTrace::ResetView);
    connect(tb, &CSubDlgToolbar::cursorToggleRequested, this, [this] { runCommand(CmdToggleCursor); });
    connect(tb, &CSubDlgToolbar::nextTraceRequested, m_infoPanel, &CSubDlgInfo::SelectNextRow);
    connect(tb, &CSubDlgToolbar::addEventRequested, this, &CLumidorDlg::addEvent);
    connect(tb, &CSubDlgToolbar::deleteEventRequested, this, &CLumidorDlg::deleteEvent);
    connect(tb, &CSubDlgToolbar::zoomInHRequested, view, &COtdrTrace::ZoomInH);
    connect(tb, &CSubDlgToolbar::zoomOutHRequested, view, &COtdrTrace::ZoomOutH);
    connect(tb, &CSubDlgToolbar::zoomInVRequested, view, &COtdrTrace::ZoomInV);
    connect(tb, &CSubDlgToolbar::zoomOutVRequested, view, &COtdrTrace::ZoomOutV);
    connect(tb, &CSubDlgToolbar::cursorStepRequested, view, &COtdrTrace::StepCursor);
    connect(tb, &CSubDlgToolbar::curveMoveRequested, view, &COtdrTrace::MoveCurve);

    CSubDlgInfo *info = m_infoPanel;
    connect(info, &CSubDlgInfo::rowChosen, this, [this](int row) { apply(SelectTrace(m_session, row)); });
    connect(info, &CSubDlgInfo::removeRequested, this, [this](int row) { apply(RemoveTrace(m_session, row)); });
    connect(info, &CSubDlgInfo::clearRequested, this, [this] { apply(ClearTraces(m_session)); });
    connect(info, &CSubDlgInfo::multiTraceChanged, this, [this](bool on) {
        m_session.multiTraceMode = on;
        storeMultiTraceMode(m_session, on);
        applyCurveVisibility();
    });
    connect(info, &CSubDlgInfo::editRequested, this, &CLumidorDlg::editFibreInformation);
    connect(info, &CSubDlgInfo::filesDropped, this, &CLumidorDlg::dropFiles);

    connect(view, &COtdrTrace::viewChanged, this, &CLumidorDlg::updateOverviewWindow);
    connect(view, &COtdrTrace::curvesChanged, this, &CLumidorDlg::updateOverviewWindow);
}

void CLumidorDlg::showOverviewOf(int row)
{
    if (!m_overview)
        return;
    const TraceSet &set = m_session.traceSet;
    const TraceData *trace = nullptr;
    if (row >= 0 && row < set.loadedCount && set.slots[static_cast<size_t>(row)].loaded)
        trace = set.slots[static_cast<size_t>(row)].trace.get();
    m_overview->showTrace(trace, m_session.verticalRangeDb);
    updateOverviewWindow();
}

void CLumidorDlg::updateOverviewWindow()
{
    if (!m_overview)
        return;
    const TraceViewState &s = m_traceView->state();
    OverviewWindow w;
    if (const TraceCurve *c = s.current()) {
        w.valid = true;
        w.xMin = s.xMin;
        w.xMax = s.xMax;
        w.yMin = s.yMin;
        w.yMax = s.yMax;
        w.length = c->length;
    }
    m_overview->setViewWindow(w);
    m_overview->update();
}

void CLumidorDlg::applyCurveVisibility()
{
    const bool multi = m_session.multiTraceMode;
    const int current = m_traceView->state().currentCurve;
    const int n = static_cast<int>(m_traceView->state().curves.size());
    for (int i = 0; i < n; ++i)
        m_traceView->setCurveVisible(i, multi || i == current);
    m_traceView->setSingleCurveMode(!multi);
    m_traceView->RefreshCurves();
}

void CLumidorDlg::editFibreInformation()
{
    apply(EditFibreInformation(m_session, [this](TraceSlot &slot) {
        CDlgEdit dialog(slot, &loadText, this);
        return execDialog(dialog) == QDialog::Accepted;
    }));
}

void CLumidorDlg::RefreshEventList()
{
    m_filling = true;
    m_eventList->clearContents();
    m_eventList->setRowCount(0);
    const TraceSet &set = m_session.traceSet;
    if (set.loadedCount > 0) {
        const TraceData &trace = *set.slots[static_cast<size_t>(set.currentSlot)].trace;
        const std::vector<EventRow> rows = eventListRows(trace, m_session.distanceUnit, m_session.distanceDecimals);
        m_eventList->setRowCount(static_cast<int>(rows.size()));
        for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
            const EventRow &row = rows[static_cast<size_t>(r)];
            for (int c = 0; c < 7; ++c) {
                auto *item = new QTableWidgetItem(row.columns[static_cast<size_t>(c)]);
                if (c == 0)
                    item->setIcon(eventIcon(row.icon));
                m_eventList->setItem(r, c, item);
            }
        }
    }
    m_filling = false;
}

int CLumidorDlg::firstSelectedEventRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = m_eventList->selectedRanges();
    int first = -1;
    for (const QTableWidgetSelectionRange &range : ranges) {
        if (first < 0 || range.topRow() < first)
            first = range.topRow();
    }
    return first;
}

int CLumidorDlg::eventRowCount() const
{
    return m_eventList->rowCount();
}

void CLumidorDlg::selectEventRow(int row)
{
    if (row < 0 || row >= m_eventList->rowCount())
        return;
    m_eventList->selectRow(row);
    m_eventList->setCurrentCell(row, 0);
}

void CLumidorDlg::onEventRowSelected()
{
    if (m_filling)
        return;
    const int row = firstSelectedEventRow();
    // Row r shows event r + 1, so the cursor goes to that event's mark.
    if (row >= 0)
        m_traceView->MoveCursorToEvent(row + 1);
}

void CLumidorDlg::openFiles()
{
    QString folder = readSorFilePath(m_session.g_iniConfig);
    if (folder.isEmpty())
        folder = m_session.binFolder + QStringLiteral("/default/curve/");
    QFileDialog dialog(this, QString(), folder, QStringLiteral("SOR (*.SOR *.sor);;OPM (*.opm *.OPM)"));
    dialog.setObjectName(QStringLiteral("openDialog"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("SOR"));
    if (execDialog(dialog) != QDialog::Accepted)
        return;
    openPaths(dialog.selectedFiles());
}

void CLumidorDlg::openPaths(const QStringList &paths)
{
    apply(OpenPaths(m_session, paths, [this](const QString &path) { return showPowerMeterFile(path); }));
}

void CLumidorDlg::loadFiles(const QStringList &paths, const QStringList &names)
{
    apply(LoadFiles(m_session, paths, names));
}

void CLumidorDlg::dropFiles(const QStringList &paths)
{
    apply(DropFiles(m_session, paths));
}

void CLumidorDlg::saveCurrentTrace()
{
    // With nothing loaded the current slot holds no file (or one already removed): nothing to save.
    if (m_session.traceSet.loadedCount == 0)
        return;
    QFileDialog dialog(this, QString(), QString(), QStringLiteral("SOR (*.SOR *.sor)"));
    dialog.setObjectName(QStringLiteral("saveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("SOR"));
    if (execDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    saveTraceTo(dialog.selectedFiles().constFirst());
}

bool CLumidorDlg::saveTraceTo(const QString &path)
{
    const TraceViewState &s = m_traceView->state();
    const CommandResult result = SaveTraceTo(m_session, path, s.cursorA.distance, s.cursorB.distance);
    apply(result);
    return result.saved;
}

void CLumidorDlg::addEvent()
{
    CursorAt at;
    at.hasCurves = !m_traceView->state().curves.empty();
    at.activeCursor = m_traceView->activeCursor();
    if (at.hasCurves)
        at.sampleIndex = m_traceView->CursorSampleIndex();
    apply(AddEvent(m_session, at));
}

void CLumidorDlg::deleteEvent()
{
    apply(DeleteEvent(m_session, firstSelectedEventRow()));
}

void CLumidorDlg::apply(const CommandResult &result)
{
    // The widgets followed the document on the command's notice; what is left needs a window.
    for (const MessageRequest &message : result.messages)
        showMessage(message.caption == fileCaption ? nullptr : this, message);
}

void CLumidorDlg::showChange(const DocumentChange &change)
{
    const TraceSet &set = m_session.traceSet;
    const bool slotsOrCurrent = change.slots || change.current;
    if (change.slots)
        m_traceView->syncCurves(set);
    if (slotsOrCurrent) {
        if (set.loadedCount > 0)
            m_traceView->SelectCurve(set.currentSlot);
        if (change.slots)
            applyCurveVisibility();
    }
    if (change.events) {
        if (const TraceData *trace = m_session.document.currentTrace())
            m_traceView->SetMarkers(m_traceView->state().currentCurve, *trace);
    }
    if (change.cursors)
        showMeasurementMode();
    if (change.events || change.verdict)
        m_traceView->update();
    if (m_infoPanel)
        m_infoPanel->showChange(change);
    if (slotsOrCurrent || change.events)
        RefreshEventList();
    if (change.events && change.selectEventRow >= 0 && eventRowCount() > change.selectEventRow)
        selectEventRow(change.selectEventRow);
    if (slotsOrCurrent)
        showOverviewOf(set.loadedCount > 0 ? set.currentSlot : -1);
}

int CLumidorDlg::heldMs() const
{
    return m_toolbar ? m_toolbar->heldMs() : 0;
}

void CLumidorDlg::runCommand(int id)
{
    COtdrTrace *view = m_traceView;
    const bool large = heldMs() > HoldRepeat::smallStepMs;
    switch (id) {
    case CmdOpen: openFiles(); break;
    case CmdSave: saveCurrentTrace(); break;
    case CmdExportEvents: exportEvents(); break;
    case CmdExportTrace: exportTrace(); break;
    case CmdExportPicture: exportPicture(); break;
    case CmdPrintPreview: printTraces(false); break;
    case CmdPrint: printTraces(true); break;
    case CmdBatch: showBatchDialog(); break;
    case CmdFullView: view->ResetView(); break;
    case CmdExit: askExit(); break;
    case CmdHZoomIn: view->ZoomInH(0.02f); break;
    case CmdHZoomOut: view->ZoomOutH(0.02f); break;
    case CmdVZoomIn: view->ZoomInV(0.02f); break;
    case CmdVZoomOut: view->ZoomOutV(0.02f); break;
    case CmdTraceUp: view->MoveCurve(large ? -10 : -1); break;
    case CmdTraceDown: view->MoveCurve(large ? 10 : 1); break;
    case CmdMoveLeft: view->StepCursor(large ? -10 : -2); break;
    case CmdMoveRight: view->StepCursor(large ? 10 : 2); break;
    case CmdToggleCursor:
        view->setActiveCursor(nextActiveCursor(view->activeCursor()));
        view->update();
        break;
    case CmdAddEvent: addEvent(); break;
    case CmdDeleteEvent: deleteEvent(); break;
    case CmdPassFail: showPassFail(); break;
    case CmdAnalyzeTrace: analyzeTrace(); break;
    case CmdAnalysisThresholds: showAnalysisThresholds(); break;
    case CmdUndo: undoEvents(); break;
    case CmdMeasureTwoPoint: setMeasurementMode(MeasurementMode::TwoPoint); break;
    case CmdMeasureLsa: setMeasurementMode(MeasurementMode::Lsa); break;
    case CmdMeasureSplice: setMeasurementMode(MeasurementMode::Splice); break;
    case CmdBidirectional: showFibrePair(true); break;
    case CmdWavelengths: showFibrePair(false); break;
    case CmdAbout: showAbout(); break;
    default: break;
    }
}

bool CLumidorDlg::requireLoadedTrace()
{
    if (m_session.traceSet.loadedCount == 0) {
        showMessage(this, {tipsCaption, loadText(text::OpenAtLeastOneCurve), QMessageBox::Warning, QMessageBox::Ok});
        return false;
    }
    return true;
}

void CLumidorDlg::printTraces(bool startPrint)
{
    if (!requireLoadedTrace())
        return;
    const TraceViewState &s = m_traceView->state();
    const CursorPair cursors{s.cursorA.distance, m_traceView->ValueAt(s.cursorA.distance), s.cursorB.distance,
                             m_traceView->ValueAt(s.cursorB.distance)};
    m_session.printJob = mainWindowPrintJob(m_session.traceSet, cursors);
    m_session.printJob.measurementMode = s.measurementMode;
    openPrintPreview(this, m_session.printJob, sessionReportEnvironment(m_session), startPrint, &loadText);
}

void CLumidorDlg::showFibrePair(bool bidirectional)
{
    if (!requireLoadedTrace())
        return;
    const PairPageKind kind = bidirectional ? PairPageKind::Bidirectional : PairPageKind::Wavelengths;
    if (CDlgFibrePair::bestSecondSlot(kind, m_session.traceSet) < 0) {
        showMessage(this, {tipsCaption, loadText(text::PairNeedsSecondTrace), QMessageBox::Warning, QMessageBox::Ok});
        return;
    }
    CDlgFibrePair dialog(kind, m_session.traceSet, sessionReportEnvironment(m_session), &loadText, this);
    execDialog(dialog);
}

bool CLumidorDlg::showPowerMeterFile(const QString &path)
{
    m_session.printJob.powerMeterMode = 1;
    CShowOpmValue viewer(path, &loadText, this);
    connect(&viewer, &CShowOpmValue::printPreviewRequested, this, [this, &viewer] {
        m_session.printJob = powerMeterPrintJob({viewer.records().cbegin(), viewer.records().cend()}, viewer.path());
        openPrintPreview(&viewer, m_session.printJob, sessionReportEnvironment(m_session), false, &loadText);
    });
    const bool accepted = execDialog(viewer) == QDialog::Accepted;
    // Off however the viewer ended, so the main window's next preview prints its traces again.
    m_session.printJob.powerMeterMode = 0;
    m_session.printJob.powerMeterRows.clear();
    return accepted;
}

void CLumidorDlg::showBatchDialog()
{
    if (!m_batch) {
        BatchDealContext context;
        context.config = &m_session.g_iniConfig;
        context.texts = &loadText;
        context.cursorColour = readColourSettings(m_session.g_iniConfig).cursor;
        context.totalLoss = m_session.analysis.totalLoss;
        context.eventAnalysis = m_session.analysis.eventAnalysis;
        context.warn = [this](const QString &caption, const QString &message) {
            showMessage(m_batch, {caption, message, QMessageBox::Warning, QMessageBox::Ok});
        };
        m_batch = new CDlgBatchDeal(std::move(context), this);
        m_batch->setObjectName(QStringLiteral("CDlgBatchDeal"));
        connect(m_batch, &CDlgBatchDeal::printRequested, this, [this](bool preview) { printBatch(!preview); });
    }
    m_batch->showDialog();
}

void CLumidorDlg::printBatch(bool startPrint)
{
    const std::shared_ptr<BatchSlots> slots = m_batch->preparedSlots();
    std::vector<const TraceSlot *> prepared;
    if (slots) {
        for (const TraceSlot &slot : *slots)
            prepared.push_back(&slot);
    }
    PrintJob job = batchPrintJob(m_batch->printType(), std::move(prepared));
    if (m_batch->summaryPage())
        job.summaryRows = summaryRowsForSlots(job.slots, job.count, m_session.passThresholds);
    if (m_batch->bidirectionalPages())
        pairBidirectionalSlots(job);
    // The batch dialog prepares new slots for its next run; this job keeps its own alive.
    job.slotOwner = slots;
    m_session.printJob = std::move(job);
    openPrintPreview(m_batch, m_session.printJob, sessionReportEnvironment(m_session), startPrint, &loadText);
}

void CLumidorDlg::exportEvents()
{
    const TraceSet &set = m_session.traceSet;
    if (!requireLoadedTrace())
        return;
    const TraceSlot &slot = set.slots[static_cast<size_t>(set.currentSlot)];
    const QFileInfo source(slot.filePath);
    QString caption = loadText(text::ExportEvents);
    if (caption.endsWith(QLatin1String("...")))
        caption.chop(3);
    QFileDialog dialog(this, caption, source.absolutePath(), loadText(text::CsvFilter));
    dialog.setObjectName(QStringLiteral("exportDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(source.completeBaseName() + QStringLiteral(".csv"));
    if (execDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    exportEventsTo(dialog.selectedFiles().constFirst());
}

bool CLumidorDlg::exportEventsTo(const QString &path)
{
    const TraceSet &set = m_session.traceSet;
    if (set.loadedCount == 0)
        return false;
    const TraceSlot &slot = set.slots[static_cast<size_t>(set.currentSlot)];
    if (exportEventTableCsv(path, slot.filePath, *slot.trace))
        return true;
    showMessage(this, {fileCaption, loadText(text::ErrorExportingEvents) + QStringLiteral("\n") + path,
                       QMessageBox::Warning, QMessageBox::Ok});
    return false;
}

namespace {

// A save dialog for an export of the current trace: the trace's folder and name with `suffix`.
QString askExportPath(QWidget *parent, const QString &source, int captionText, const QString &filter,
                      const QString &suffix)
{
    const QFileInfo info(source);
    QString caption = loadText(captionText);
    if (caption.endsWith(QLatin1String("...")))
        caption.chop(3);
    QFileDialog dialog(parent, caption, info.absolutePath(), filter);
    dialog.setObjectName(QStringLiteral("exportDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(info.completeBaseName() + QLatin1Char('.') + suffix);
    if (execDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

void CLumidorDlg::exportTrace()
{
    if (!requireLoadedTrace())
        return;
    const TraceSet &set = m_session.traceSet;
    const QString path = askExportPath(this, set.slots[static_cast<size_t>(set.currentSlot)].filePath,
                                       text::ExportTrace, loadText(text::CsvFilter), QStringLiteral("csv"));
    if (!path.isEmpty())
        exportTraceTo(path);
}

bool CLumidorDlg::exportTraceTo(const QString &path)
{
    const TraceCurve *curve = m_traceView->state().current();
    if (m_session.traceSet.loadedCount == 0 || !curve)
        return false;
    if (writeFileAtomically(path, tracePointsCsv(*curve), lcMainWindow()) == SorResult::Done)
        return true;
    showMessage(this, {fileCaption, loadText(text::ErrorExportingTrace).arg(path), QMessageBox::Warning,
                       QMessageBox::Ok});
    return false;
}

void CLumidorDlg::exportPicture()
{
    if (!requireLoadedTrace())
        return;
    const TraceSet &set = m_session.traceSet;
    const QString path = askExportPath(this, set.slots[static_cast<size_t>(set.currentSlot)].filePath,
                                       text::ExportPicture, loadText(text::PngFilter), QStringLiteral("png"));
    if (path.isEmpty())
        return;
    const auto size = showMessage(this, {fileCaption, loadText(text::PictureAtTwiceTheSize), QMessageBox::Question,
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel});
    if (size == QMessageBox::Yes || size == QMessageBox::No)
        exportPictureTo(path, size == QMessageBox::Yes);
}

bool CLumidorDlg::exportPictureTo(const QString &path, bool twice)
{
    const TraceViewState &state = m_traceView->state();
    if (m_session.traceSet.loadedCount == 0 || state.clientRect.isEmpty())
        return false;
    const QSize size = state.clientRect.size() * (twice ? 2 : 1);
    const QImage picture = renderTracePicture(state, m_traceView->viewSettings(), currentVerdict(m_session), size);
    if (writePngAtomically(path, picture))
        return true;
    showMessage(this, {fileCaption, loadText(text::ErrorExportingPicture).arg(path), QMessageBox::Warning,
                       QMessageBox::Ok});
    return false;
}

void CLumidorDlg::askExit()
{
    const auto answer = showMessage(this, {tipsCaption, loadText(text::ConfirmExit), QMessageBox::Question,
                                           QMessageBox::Ok | QMessageBox::Cancel});
    if (answer == QMessageBox::Ok)
        reject();
}

void CLumidorDlg::showAbout()
{
    CAboutDlg about(this);
    execDialog(about);
}

void CLumidorDlg::analyzeTrace()
{
    if (!requireLoadedTrace())
        return;
    apply(AnalyzeCurrentTrace(m_session, m_session.analysisSettings));
}

void CLumidorDlg::undoEvents()
{
    apply(UndoEvents(m_session));
}

void CLumidorDlg::showAnalysisThresholds()
{
    AnalysisSettings edited = m_session.analysisSettings;
    CDlgAnalysisThresholds dialog(edited, &loadText, this);
    if (execDialog(dialog) != QDialog::Accepted)
        return;
    m_session.analysisSettings = edited;
    const QString target = settingsWritePath(configFilePath(m_session.binFolder));
    if (!saveAnalysisSettings(target, edited))
        showMessage(this, {tipsCaption, QStringLiteral("The thresholds could not be written to %1.").arg(target),
                           QMessageBox::Warning, QMessageBox::Ok});
}

void CLumidorDlg::setMeasurementMode(MeasurementMode mode)
{
    apply(SetMeasurementMode(m_session, mode));
}

void CLumidorDlg::showMeasurementMode()
{
    const MeasurementMode mode = m_session.document.measurementMode;
    static constexpr std::pair<MeasurementMode, int> names[] = {
        {MeasurementMode::Lsa, text::MeasureLsa}, {MeasurementMode::Splice, text::MeasureSplice}};
    QString name;
    for (const auto &[m, id] : names)
        if (m == mode)
            name = loadText(id);
    m_traceView->setMeasurementMode(mode, name);
    const int command = mode == MeasurementMode::Lsa ? CmdMeasureLsa
                        : mode == MeasurementMode::Splice ? CmdMeasureSplice : CmdMeasureTwoPoint;
    if (QAction *a = m_actions.value(command))
        a->setChecked(true);
}

void CLumidorDlg::showPassFail()
{
    // The dialog re-reads the thresholds even when cancelled: the verdict is drawn again either way.
    apply(EditPassThresholds(m_session, [this](PassThresholds &thresholds) {
        CDlgPass dialog(m_session.passThresholdsPath, thresholds, &loadText, this);
        execDialog(dialog);
    }));
}

void CLumidorDlg::CaptureLayout()
{
    std::array<QRect, MainLayout::ControlCount> rects;
    rects[MainLayout::Toolbar] = m_toolbarPlaceholder->geometry();
    rects[MainLayout::TraceView] = m_traceView->geometry();
    rects[MainLayout::InfoPanel] = m_infoPlaceholder->geometry();
    rects[MainLayout::Overview] = m_overviewPlaceholder->geometry();
    rects[MainLayout::EventList] = m_eventList->geometry();
    m_layout.capture(rects, m_templateClient);
    m_layoutCaptured = true;
}

void CLumidorDlg::ApplyLayout()
{
    if (!m_layoutCaptured)
        return;
    const auto rects = m_layout.apply(m_client->size());
    m_toolbarPlaceholder->setGeometry(rects[MainLayout::Toolbar]);
    m_traceView->setGeometry(rects[MainLayout::TraceView]);
    m_infoPlaceholder->setGeometry(rects[MainLayout::InfoPanel]);
    m_overviewPlaceholder->setGeometry(rects[MainLayout::Overview]);
    m_eventList->setGeometry(rects[MainLayout::EventList]);
}

void CLumidorDlg::PlacePanels()
{
    if (m_toolbar)
        m_toolbar->setGeometry(m_toolbarPlaceholder->geometry());
    if (m_infoPanel)
        m_infoPanel->setGeometry(m_infoPlaceholder->geometry());
    if (m_overview)
        m_overview->setGeometry(m_overviewPlaceholder->geometry());
}

bool CLumidorDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize && m_layoutCaptured) {
        ApplyLayout();
        PlacePanels();
    }
    return QDialog::eventFilter(watched, event);
}

void CLumidorDlg::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
}
