#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Opening, dropping and saving SOR files for the main window, the toolbar strip and the
// information panel.

// Vertical extent in dB used by the trace view's scrolling and the overview panel; 0 until the
// first load, never below 50 afterwards.
extern int verticalRangeDb;

// The open command: file dialog, then LoadFiles (or the power-meter viewer for an .opm choice).
void OpenFiles();

// Routes the paths as if they had been chosen in the open dialog, in order (used for files
// named on the command line).
void OpenPaths(const QStringList &paths);

// Loads SOR files into free slots, at most eight loaded traces in all. `paths` and `names` are
// parallel lists (full path; name without folder).
void LoadFiles(const QStringList &paths, const QStringList &names);

// Loads one file into slot k. True when the file was loaded; false when it failed (message
// shown) or was already loaded (nothing shown).
bool LoadFile(const QString &path, const QString &name, int k);

// Dropped files, in drop order, whatever their extension.
void DropFiles(const QStringList &paths);

// The save command: save dialog, then SaveTraceTo. Does nothing while no trace is loaded.
void SaveCurrentTrace();

// Writes the current trace (with the view's cursor positions) to `path`. A failed write is
// reported in a message box; returns true when written.
bool SaveTraceTo(const QString &path);

// Tells the user that a file could not be written (caption "Kestrelle", text 253).
void reportSaveFailure(QWidget *parent);

// The new vertical extent after a successful load into slot k of a file whose highest level is
// `maximumLevelDb`.
int nextVerticalRangeDb(int current, int maximumLevelDb, int k);
