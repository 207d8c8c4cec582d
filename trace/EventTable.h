#pragma once

#include "trace/TraceData.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The event table of a trace as the event list shows it, for spreadsheets: one row per listed
// event, distances in km and every number with three decimals and a dot.

// The CSV column keys, in order.
const QStringList &eventTableColumns();

// The cells of each listed event after `file`: number, "Reflect" or "Non-Reflect", code letter,
// distance and segment in km, loss, cumulative loss, slope, reflectance. A cell the event list
// shows as "--" is empty.
std::vector<QStringList> eventTableRows(const QString &file, const TraceData &trace);

// The header record and the records of the rows (RFC 4180, UTF-8, CR LF).
QByteArray eventTableCsvHeader();
QByteArray eventTableCsvRecords(const QString &file, const TraceData &trace);

// Writes the header and the trace's rows to `path`, replacing the file only once it is written
// completely. False when the file cannot be written; an existing file is then unchanged.
bool exportEventTableCsv(const QString &path, const QString &file, const TraceData &trace);
