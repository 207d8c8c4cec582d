#pragma once

#include "trace/FibreTables.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace commandsupport {

// What a pair command makes of two read traces (`first` and `second` are their files): a JSON
// object or CSV records, as `json` asks. Empty when the pair is refused; the message is then
// given and the run exits 2.
using PairRows = std::function<std::optional<QByteArray>(const QString &first, const QString &second,
                                                         const FibreTrace &a, const FibreTrace &b, bool json)>;

// Reads `files` two by two with the thresholds and the cumulative-loss rule beside the tool and
// writes each pair's rows as they come: CSV after `csvHeader`, or one JSON array. A file that
// cannot be read is named and its pair left out. Returns the exit status: 0, 1 when a file could
// not be read, 2 when a pair was refused.
int writePairTable(const char *command, const QStringList &files, bool json, const QByteArray &csvHeader,
                   const PairRows &rows);

} // namespace commandsupport
