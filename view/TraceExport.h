#pragma once

#include "config/Configuration.h"
#include "view/TraceRenderer.h"
#include "view/TraceViewState.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// The trace as the view shows it, taken out of the program: its samples as a table and the view
// as a picture. Both read what the view draws, so they agree with the screen.

// One CSV row "distance_km,level_db" per sample of `curve` after the header: sample i lies
// i x spacing from the start of the view and is shown less the user offset; the level is the
// dB value drawn. Full stops as decimal marks whatever the locale; lines end in LF.
QByteArray tracePointsCsv(const TraceCurve &curve);

// The view of `state` (curves, window, cursors, selected trace) drawn at `size` without a
// window, as the view paints itself at that size, with the pass/fail mark for `verdict`
// (1 PASS, 2 FAIL). A null image for an empty size.
QImage renderTracePicture(const TraceViewState &state, const ViewSettings &settings, int verdict, QSize size);

// Writes `image` as a PNG through a temporary file that replaces `path` only once complete, so
// a failed write leaves an existing file as it was. False when it could not be written.
bool writePngAtomically(const QString &path, const QImage &image);

// What the view shows of the display settings: its colours, the grid and the distance unit.
ViewSettings viewSettingsFrom(const DisplaySettings &display);
