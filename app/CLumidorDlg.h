#pragma once

#include "app/MainLayout.h"

#include "trace/CursorMeasurement.h"

#include <QDialog>
#include <QHash>
#include <QStringList>

class QAction;
class QMenuBar;
class QTableWidget;
class COtdrTrace;
class CSubDlgToolbar;
class CSubDlgInfo;
class CDlgThumbnail;
class CDlgBatchDeal;
struct CommandResult;
struct DocumentChange;
struct Session;

// The main window: trace view, event list and the three panels, the menu bar and its commands.
// It delegates: every command acts on the session and sends the document's one change notice,
// on which this window's widgets redraw from the document (showChange); apply() shows the
// command's messages. The panels only emit signals.
class CLumidorDlg : public QDialog {
    Q_OBJECT
public:
    // Control identifiers, also the controls' objectNames.
    enum : int {
        IdTraceView = 1000, IdEventList = 1001, IdInfoPlaceholder = 1002, IdToolbarPlaceholder = 1003,
        IdOverviewPlaceholder = 1048,
    };
    // Menu command identifiers, also the actions' objectNames ("action32772").
    enum : int {
        CmdOpen = 32772, CmdSave = 32774, CmdPrintPreview = 32776, CmdPrint = 32780, CmdBatch = 32782,
        CmdExit = 32784, CmdHZoomIn = 32786, CmdHZoomOut = 32788, CmdVZoomIn = 32790,
        CmdVZoomOut = 32792, CmdTraceUp = 32794, CmdTraceDown = 32797, CmdMoveLeft = 32801,
        CmdMoveRight = 32803, CmdToggleCursor = 32799, CmdAddEvent = 32807, CmdDeleteEvent = 32809,
        CmdPassFail = 32823, CmdAbout = 32819, CmdExportEvents = 32811, CmdFullView = 32813,
        CmdExportTrace = 32881, CmdExportPicture = 32883, CmdAnalyzeTrace = 32885, CmdAnalysisThresholds = 32887,
        CmdUndo = 32889, CmdMeasureTwoPoint = 32891, CmdMeasureLsa = 32893, CmdMeasureSplice = 32895,
        CmdBidirectional = 32850, CmdWavelengths = 32852,
    };

    explicit CLumidorDlg(Session &session, QWidget *parent = nullptr);
    ~CLumidorDlg() override;

    // The start sequence: texts, menu, title, settings, event library, panels, event list,
    // report set-up, layout, thresholds. `showWindow` false keeps the window hidden (tests).
    void OnInitDialog(bool showWindow = true);

    // Refills the event list from the current trace (empty when nothing is loaded).
    void RefreshEventList();
    // First selected row of the event list, -1 when none.
    int firstSelectedEventRow() const;
    int eventRowCount() const;
    void selectEventRow(int row);

    // The file and event commands with what they need from the view and the dialogs.
    void openFiles();                  // open dialog, then openPaths
    void openPaths(const QStringList &paths);
    void loadFiles(const QStringList &paths, const QStringList &names);
    void dropFiles(const QStringList &paths);
    void saveCurrentTrace();           // save dialog, then saveTraceTo; nothing while none loaded
    bool saveTraceTo(const QString &path);
    void addEvent();
    void deleteEvent();
    // Analyze > Analyze trace with the session's analysis settings; Edit > Undo.
    void analyzeTrace();
    void undoEvents();
    // Analyze > Analysis thresholds: the dialog, then Config.ini.
    void showAnalysisThresholds();
    // Cursor > Measurement: the A-B readout measures this way.
    void setMeasurementMode(MeasurementMode mode);
    // Save dialog, then the current trace's event table as CSV.
    void exportEvents();
    bool exportEventsTo(const QString &path);
    // Save dialog, then the current trace's samples as CSV "distance_km,level_db", as drawn.
    void exportTrace();
    bool exportTraceTo(const QString &path);
    // Save dialog and the size question, then the trace view as shown to a PNG file (at twice
    // the view's size when `twice`).
    void exportPicture();
    bool exportPictureTo(const QString &path, bool twice);

    // Print preview (startPrint false) or print of the loaded traces; a warning when none is.
    void printTraces(bool startPrint);
    // The power-meter viewer for `path`, modal; true when it ended with OK.
    bool showPowerMeterFile(const QString &path);
    // The batch dialog, made on first use and kept for the run.
    void showBatchDialog();
    CDlgBatchDeal *batchDialog() const { return m_batch; }

    // Shows a command's messages (the widgets followed its notice already).
    void apply(const CommandResult &result);
    // Redraws the trace view, the information panel, the event list and the overview from the
    // document, as far as a change notice names.
    void showChange(const DocumentChange &change);

    Session &session() const { return m_session; }

    // Runs a menu command by its identifier.
    void runCommand(int id);
    QAction *action(int id) const { return m_actions.value(id); }

    COtdrTrace *traceView() const { return m_traceView; }
    QTableWidget *eventList() const { return m_eventList; }
    CSubDlgToolbar *toolbar() const { return m_toolbar; }
    CSubDlgInfo *infoPanel() const { return m_infoPanel; }
    CDlgThumbnail *overviewPanel() const { return m_overview; }

    // Shows every curve in multi-trace mode, otherwise only the current one; refreshes the view.
    void applyCurveVisibility();

    void ApplyLayout();
    void PlacePanels();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createMenu();
    void setMenuCaptions();
    void setUpEventList();
    void connectPanels();
    void CaptureLayout();
    void onEventRowSelected();
    void showOverviewOf(int row);
    void showMeasurementMode();
    void updateOverviewWindow();
    void editFibreInformation();
    void askExit();
    void showAbout();
    void showPassFail();
    // Analyze > Bidirectional... / Wavelengths...: the current trace with another loaded one.
    void showFibrePair(bool bidirectional);
    // False, after the "open at least one curve" warning, while no trace is loaded.
    bool requireLoadedTrace();
    void printBatch(bool startPrint);
    int heldMs() const;

    Session &m_session;
    QWidget *m_client = nullptr; // the area below the menu bar that the controls are laid out in
    QMenuBar *m_menuBar = nullptr;
    COtdrTrace *m_traceView = nullptr;
    QTableWidget *m_eventList = nullptr;
    QWidget *m_toolbarPlaceholder = nullptr;
    QWidget *m_infoPlaceholder = nullptr;
    QWidget *m_overviewPlaceholder = nullptr;
    CSubDlgToolbar *m_toolbar = nullptr;
    CSubDlgInfo *m_infoPanel = nullptr;
    CDlgThumbnail *m_overview = nullptr;
    CDlgBatchDeal *m_batch = nullptr;
    QHash<int, QAction *> m_actions;
    QHash<QAction *, int> m_captionIds;
    QSize m_templateClient; // client size of the window as first laid out, pixels
    MainLayout m_layout;
    bool m_layoutCaptured = false;
    bool m_filling = false;
    int m_subscription = 0; // this window's subscription to the document's notices // set while the event list is refilled, so selection changes are ignored
};
