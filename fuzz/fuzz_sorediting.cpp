// Fibre-information rewrite on arbitrary bytes: never reads or writes outside them, and a
// rewrite it accepts is again an acceptable SOR file holding the new values.
#include "trace/SorBlocks.h"
#include "trace/SorEditing.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray in(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QByteArray out;
    if (rewriteFibreInfoBytes(in, QStringLiteral("CABLE-7"), QStringLiteral("F9"), 657, QStringLiteral("Op"), out) != 1)
        return 0;
    SorBlocks blocks;
    if (parseSorBytes(reinterpret_cast<const uint8_t *>(out.constData()), static_cast<size_t>(out.size()), blocks) != 1)
        std::abort();
    if (blocks.genParams.cableId != "CABLE-7" || blocks.genParams.fiberType != 657 ||
        blocks.genParams.operatorName != "Op")
        std::abort();
    return 0;
}
