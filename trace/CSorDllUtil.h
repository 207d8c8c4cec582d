#pragma once

#include "trace/CSorFileBase.h"
#include "trace/SorRecord.h"

// A facade over one SOR file object, for code that reads and saves through one object so reads
// and saves never overlap (the program's session holds its own). Tests and tools may use their
// own CSorFileBase.
class CSorDllUtil {
public:
    CSorFileBase &file() { return file_; }

private:
    CSorFileBase file_;
};
