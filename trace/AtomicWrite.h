#pragma once

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

// Writes `bytes` to `path` through a temporary file in the target's folder that replaces the
// target only once completely written, so a failed write (disk full, I/O error) leaves an
// existing target as it was. Returns SorResult::Done, or SorResult::CannotCreate after logging
// why to `log`.
int writeFileAtomically(const QString &path, const QByteArray &bytes, const QLoggingCategory &log);
