#pragma once

#include "panels/MessageBox.h"
#include "view/TraceViewState.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

struct Session;

// What a command changed. The commands act on the session alone; the main window brings the
// trace view, the event list, the information panel and the overview along in one place.
struct CommandResult {
    // Curves of newly loaded slots, in load order, for the trace view.
    std::vector<std::pair<int, TraceCurve>> curvesAdded;
    // The slot list changed (a load was tried): the panels refresh and the curve selectCurve
    // becomes current.
    bool slotsChanged = false;
    int selectCurve = -1;
    // The current trace's events changed: marks and event list follow.
    bool eventsChanged = false;
    // Event-list row to select afterwards, -1 none.
    int selectEventRow = -1;
    // Messages to show, in order.
    std::vector<MessageRequest> messages;
    // A save wrote its file.
    bool saved = false;
    // The fibre information of the current slot was edited: the information panel shows it.
    bool infoChanged = false;
    // The pass/fail thresholds may have changed: the view redraws its verdict.
    bool verdictChanged = false;
};

// Shows the power-meter viewer for a path; true when it ended with OK.
using PowerMeterViewer = std::function<bool(const QString &path)>;

// Routes the paths as if they had been chosen in the open dialog, in order (files named on the
// command line too). A path ending in ".opm" in any letter case goes to `showPowerMeter`, whose
// answer decides whether the SOR files before it load; later ones never do.
CommandResult OpenPaths(Session &session, const QStringList &paths, const PowerMeterViewer &showPowerMeter);

// Loads SOR files into free slots, at most eight loaded traces in all. `paths` and `names` are
// parallel lists (full path; name without folder).
CommandResult LoadFiles(Session &session, const QStringList &paths, const QStringList &names);

// Loads one file into slot k. True when the file was loaded; false when it failed (message
// added) or was already loaded (nothing added).
bool LoadFile(Session &session, const QString &path, const QString &name, int k, CommandResult &result);

// Dropped files, in drop order, whatever their extension.
CommandResult DropFiles(Session &session, const QStringList &paths);

// Writes the current trace, with the view's cursor distances (m), to `path`. The record is
// built from that trace alone. A failed write adds the save-failure message.
CommandResult SaveTraceTo(Session &session, const QString &path, float cursorA, float cursorB);

// The new vertical extent after a successful load into slot k of a file whose highest level is
// `maximumLevelDb`.
int nextVerticalRangeDb(int current, int maximumLevelDb, int k);
