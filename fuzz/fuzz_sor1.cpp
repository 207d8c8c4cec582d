// Reads arbitrary bytes as a SOR file of issue 1 (the first two bytes are forced to a map
// revision of issue 1), loads the trace and rewrites the file as issue 2, which must read back
// with the same samples and events.
#include "trace/CSorFileBase.h"
#include "trace/SorBlocks.h"
#include "trace/SorEditing.h"
#include "trace/TraceData.h"
#include "trace/TraceLoader.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

const uint8_t *bytesOf(const QByteArray &b) { return reinterpret_cast<const uint8_t *>(b.constData()); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // Revisions 100..199 only, so every input takes the issue-1 path.
    QByteArray in(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const uint16_t revision = static_cast<uint16_t>(100 + (static_cast<uint8_t>(in[0]) % 100));
    in[0] = static_cast<char>(revision & 0xFF);
    in[1] = static_cast<char>(revision >> 8);

    CSorFileBase sor;
    SorRecord record;
    if (sor.ReadFromMemory(bytesOf(in), static_cast<size_t>(in.size()), record) != SorResult::Done)
        return 0;
    checkSorChecksum(bytesOf(in), static_cast<size_t>(in.size()));
    TraceData trace;
    loadTrace(record, trace, nullptr);
    check(viewLevels(record, trace.sampleCount).size() == trace.sampleCount);

    // The rewrite is refused only for a file without a GenParams block (a directory name that
    // is a leading part of "GenParams" selects it).
    SorBlocks blocks;
    check(parseSorBytes(bytesOf(in), static_cast<size_t>(in.size()), blocks) == SorResult::Done);
    bool hasGenParams = false;
    for (const SorMapEntry &e : blocks.map.entries)
        hasGenParams = hasGenParams || QByteArrayLiteral("GenParams").startsWith(e.name);
    QByteArray upgraded;
    const int rewritten =
        rewriteFibreInfoBytes(in, QStringLiteral("C"), QStringLiteral("F"), 652, QStringLiteral("O"), upgraded);
    check(rewritten == (hasGenParams ? SorResult::Done : SorResult::NotSor));
    if (rewritten != SorResult::Done)
        return 0;
    SorRecord back;
    check(sor.ReadFromMemory(bytesOf(upgraded), static_cast<size_t>(upgraded.size()), back) == SorResult::Done);
    check(checkSorChecksum(bytesOf(upgraded), static_cast<size_t>(upgraded.size())).matches());
    check(back.traces.size() == record.traces.size());
    for (size_t i = 0; i < back.traces.size(); ++i)
        check(back.traces[i].points == record.traces[i].points);
    check(back.events.size() == record.events.size());
    return 0;
}
