#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text forms of a table for spreadsheets and scripts: CSV records (RFC 4180) and JSON strings,
// both UTF-8.
namespace tableexport {

// One CSV field: quoted, with inner quotes doubled, when it holds a comma, a quote, a line
// break or a leading or trailing blank; else as it is.
QByteArray csvField(const QString &value);

// One CSV record: the fields joined by commas and ended by CR LF.
QByteArray csvRecord(const QStringList &fields);

// A JSON string literal: quotes, backslashes and control characters escaped, the rest as UTF-8.
QByteArray jsonString(const QString &value);

} // namespace tableexport
