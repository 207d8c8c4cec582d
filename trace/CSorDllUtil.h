#pragma once

#include "trace/CSorFileBase.h"
#include "trace/SorRecord.h"

// The process-wide facade over the one SOR file object: every read and save of the program goes
// through it, so reads and saves never overlap. Tests and tools may use their own CSorFileBase.
class CSorDllUtil {
public:
    CSorFileBase &file() { return file_; }

private:
    CSorFileBase file_;
};

CSorDllUtil &sorDllUtil();

// The process-wide file object (sorDllUtil().file()).
CSorFileBase &sorFile();

// The record of the file read last; interactive saves take it too.
SorRecord &currentSorRecord();
