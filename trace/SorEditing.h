#pragma once

#include <QByteArray>
#include <QString>

// Edits of a SOR file in place that keep everything else the file holds.

// Writes the cable ID, fibre ID, fibre type and operator into the file's own GenParams block
// (IDs in the local 8-bit code page, at most 255 bytes; the operator as UTF-8, at most 249
// bytes so that it reads back whole; the fibre type keeps 16 bits). Every other byte of the block and every other block stay as they were;
// the GenParams directory size follows the new block. A checksum that matched before (CRC-16
// with polynomial 0x1021 and initial value 0xFFFF or 0, over the bytes before the value or
// before the checksum block) is recomputed the same way; any other is left as it was. The file
// is replaced atomically.
// A file of issue 1 is rewritten as an issue-2 file with the same blocks (see
// upgradeIssue1ToIssue2) and the four fields edited; ask the user first.
// Returns 1 done, 2 the file cannot be opened for reading, 4 it cannot be written (read-only
// file, folder not writable, write failure), 5 not an acceptable SOR file or no GenParams block;
// on every code but 1 the file is unchanged.
int rewriteFibreInfo(const QString &path, const QString &cableId, const QString &fiberId, int fiberType,
                     const QString &operatorName);

// The same edit on bytes in memory: 1 with `out` holding the edited file, or 5 (`out` untouched).
int rewriteFibreInfoBytes(const QByteArray &in, const QString &cableId, const QString &fiberId, int fiberType,
                          const QString &operatorName, QByteArray &out);

// The layout issue of the file at `path` from its first bytes: 1, 2, or 0 when it is neither or
// cannot be read.
int sorFileIssue(const QString &path);
