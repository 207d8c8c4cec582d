#pragma once

#include "tools/gen/TraceGenerator.h"
#include "trace/SorBlocks.h"

#include <QString>

// Generated traces as SOR files with every standard block filled, descriptive texts included.
namespace gen {

// The settings of a named preset: "patch" (2 km at 1310 nm, 3 events), "link" (40 km at
// 1550 nm, 8 events) or "long" (120 km at 1550 nm, 256000 points). False for another name.
bool presetOptions(const QString &name, Options &out);

// The blocks of the file: GenParams, SupParams, FxdParams, KeyEvents, DataPts (scale 1000),
// the cursor block and the checksum.
SorBlocks fileBlocks(const Trace &trace, const Options &options);

// Writes the file atomically. 1 done, 2 empty path, 4 the file cannot be created or written.
int writeFile(const QString &path, const Trace &trace, const Options &options);

} // namespace gen
