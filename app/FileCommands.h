#pragma once

#include "panels/MessageBox.h"
#include "trace/TraceDocument.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

struct PassThresholds;
struct Session;
struct TraceSlot;

// What a command did. The commands act on the session alone and end by sending the document's
// one change notice (`change`, also kept here); the widgets redraw from the document on it. The
// main window shows the messages, the one thing only a window can do.
struct CommandResult {
    // What the notice named; nothing when the command changed nothing.
    DocumentChange change;
    // Slots a load filled, in load order.
    std::vector<int> slotsLoaded;
    // Messages to show, in order.
    std::vector<MessageRequest> messages;
    // A save wrote its file.
    bool saved = false;
};

// Sends the document's change notice for `result` (once, at the end of a command) and returns it.
CommandResult finishCommand(Session &session, CommandResult result);

// Shows the power-meter viewer for a path; true when it ended with OK.
using PowerMeterViewer = std::function<bool(const QString &path)>;

// Routes the paths as if they had been chosen in the open dialog, in order (files named on the
// command line too). A path ending in ".opm" in any letter case goes to `showPowerMeter`, whose
// answer decides whether the SOR files before it load; later ones never do.
CommandResult OpenPaths(Session &session, const QStringList &paths, const PowerMeterViewer &showPowerMeter);

// Loads SOR files into free slots, at most eight loaded traces in all. `paths` and `names` are
// parallel lists (full path; name without folder).
CommandResult LoadFiles(Session &session, const QStringList &paths, const QStringList &names);

// Loads one file into slot k, a step of the loads above (no notice of its own). True when the
// file was loaded; false when it failed (message added) or was already loaded (nothing added).
bool LoadFile(Session &session, const QString &path, const QString &name, int k, CommandResult &result);

// Dropped files, in drop order, whatever their extension.
CommandResult DropFiles(Session &session, const QStringList &paths);

// The information panel's commands on the slots: make a slot current, remove one, unload all.
CommandResult SelectTrace(Session &session, int slot);
CommandResult RemoveTrace(Session &session, int slot);
CommandResult ClearTraces(Session &session);

// Edit: runs `editor` (the fibre-information dialog) on the current slot; its fibre
// information changed when the editor answers true.
using SlotEditor = std::function<bool(TraceSlot &slot)>;
CommandResult EditFibreInformation(Session &session, const SlotEditor &editor);

// Pass/Fail: runs `editor` (the threshold dialog, which re-reads them even when cancelled) on the
// session's thresholds; the verdict is drawn again either way.
using ThresholdEditor = std::function<void(PassThresholds &thresholds)>;
CommandResult EditPassThresholds(Session &session, const ThresholdEditor &editor);

// Cursor > Measurement: the A-B readout measures this way.
CommandResult SetMeasurementMode(Session &session, MeasurementMode mode);

// Writes the current trace, with the view's cursor distances (m), to `path`. The record is
// built from that trace alone. A failed write adds the save-failure message.
CommandResult SaveTraceTo(Session &session, const QString &path, float cursorA, float cursorB);

// The new vertical extent after a successful load into slot k of a file whose highest level is
// `maximumLevelDb`.
int nextVerticalRangeDb(int current, int maximumLevelDb, int k);
