#pragma once

#include "trace/SorBlocks.h"
#include "trace/SorRecord.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Holds one SOR file's blocks between reading and conversion, or between filling and writing.
// Result codes: 1 done, 2 empty path or file not openable, 4 file not creatable or not written,
// 5 not an acceptable SOR file (see SorResult).
class CSorFileBase {
public:
    CSorFileBase();
    virtual ~CSorFileBase() = default;

    // Parses the bytes and converts them into `record`. On 5 the object holds the default
    // content and `record` is left as it was. The points move from the block image into the
    // record, so the image's point arrays are empty afterwards.
    virtual int ReadFromMemory(const uint8_t *data, size_t length, SorRecord &record);

    // Reads the whole file (opened for reading only) and continues as ReadFromMemory.
    virtual int ReadFile(const QString &path, SorRecord &record);

    // Writes `record` as a new SOR file built from the default content. The bytes go to a
    // temporary file in the target's folder that replaces the target only once completely
    // written, so a failed write (disk full, I/O error) returns 4 and leaves an existing
    // target as it was.
    virtual int SaveFile(const QString &path, const SorRecord &record);

    // Empties the point array of every DataPts trace held by the object.
    virtual void ClearSamples();

    // What SaveFile writes, without touching the disk: resets to the default content, applies
    // the record and serialises the blocks.
    QByteArray SaveToBytes(const SorRecord &record);

    const SorBlocks &blocks() const { return blocks_; }

private:
    SorBlocks blocks_;
};

// Blocks to record (the last step of a successful read). Points move out of `blocks`.
void blocksToRecord(SorBlocks &blocks, SorRecord &record);

// Record to blocks (the fill step of a save); `blocks` should hold the default content.
void recordToBlocks(const SorRecord &record, SorBlocks &blocks);
