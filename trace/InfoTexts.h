#pragma once

#include "trace/SorBlocks.h"
#include "trace/SorRecord.h"
#include "trace/TraceData.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

// Descriptive values of a trace travel between the SOR blocks and the trace model as texts
// "key=value". This file produces and applies them in both directions.
namespace infotexts {

// Splits a text at every '='; false when it yields fewer than two pieces. The value is the
// second piece, so a value containing '=' is cut at its first '='.
bool split(const QString &text, QString &key, QString &value);

// An optional sign and decimal digits, stopping at the first other character; 0 without digits.
// Values beyond the 32-bit range are held at its limits.
int32_t toInt(const QString &value);

// The local 8-bit code page: Windows-1252. Every byte maps to one character (the five unassigned
// bytes to the control character of the same number), so texts round-trip byte for byte.
QString fromLocal8Bit(const QByteArray &bytes);
// Characters outside the code page become '?'. At most maxBytes bytes are kept.
QByteArray toLocal8Bit(const QString &text, qsizetype maxBytes);
// UTF-8, cut at a character boundary so that at most maxBytes bytes are kept.
QByteArray toUtf8(const QString &text, qsizetype maxBytes);

// The texts a read produces from the parsed blocks, in their fixed order.
QStringList fromBlocks(const SorBlocks &blocks);

// Applies texts to a loaded trace; `trace.refractiveIndex` must already be the record's.
// Texts with an empty value are skipped, so the member keeps its previous value.
void applyToTrace(const QStringList &texts, TraceData &trace);

// The user offset in metres the trace view receives: the last "UO" text with a value, converted
// with the record's refractive index; 0 without one.
float recordUserOffset(const SorRecord &record);

// The texts a save produces from a trace.
QStringList forSave(const TraceData &trace);

// Applies texts to the blocks of a save (operator, user offset, user offset distance, averaging
// time, cable and fibre ID, fibre type, cursors). Encoded values keep at most 255 bytes.
void applyToBlocks(const QStringList &texts, SorBlocks &blocks);

} // namespace infotexts
