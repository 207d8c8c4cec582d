#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Every file the program writes goes through one of these two, so a failed write (disk full,
// I/O error, a writer that gives up half-way) leaves an existing target as it was.

// Writes `bytes` to `path` through a temporary file in the target's folder that replaces the
// target only once completely written. False, with the reason in `error` when given, on failure.
bool writeBytesAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// For writers that need a file name of their own (a PDF printer): `write` fills a fresh
// temporary file in the target's folder, named by its argument, and returns whether it
// succeeded; only then, and only when it wrote something, the temporary file is renamed over
// `path`. Otherwise it is removed and the target stays as it was.
using FileWriter = std::function<bool(const QString &temporaryPath)>;
bool writeThroughTemporaryFile(const QString &path, const FileWriter &write, QString *error = nullptr);
