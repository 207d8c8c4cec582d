#pragma once

#include "opm/OpmRecord.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

// Reading power-meter result files (.opm): 8-bit text records of the form
//   FiberId=12,CableId=A3,Date=2015-06-01,Time=10:20:30,Value=-12.34,Operator=op1;
// Nothing here shows UI; a file that cannot be read gives an empty list and a status.

// Largest file read; a longer (or empty) file gives no records.
inline constexpr qint64 opmMaxFileSize = 5242880;
// Longest field, in bytes, counting its key and any leading characters but not NUL bytes.
inline constexpr int opmMaxFieldLength = 99;

enum class OpmStatus {
    Complete,        // every record up to the last ";" was read
    MalformedRecord, // reading stopped at a malformed record; the records before it were kept
    Unreadable,      // the file could not be opened or read
    Empty,
    TooLarge,
};

struct OpmFile {
    QList<OpmRecord> records;
    OpmStatus status = OpmStatus::Empty;
    // Byte offset where the malformed record starts; -1 when reading did not stop at one.
    qsizetype malformedAt = -1;
};

// Parses the bytes of a whole file.
OpmFile parseOpm(QByteArrayView bytes);

// Reads and parses the file at `path`, opened for reading only (a read-only file reads).
OpmFile readOpmFile(const QString &path);

// True when the file name ends in ".opm" in any letter case.
bool isOpmPath(const QString &path);
