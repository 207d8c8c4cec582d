#include "tools/CommandSupport.h"

#include "trace/CSorFileBase.h"
#include "trace/TraceLoader.h"

#include <QFileInfo>

#include <cstdio>

namespace commandsupport {

QString toolFolder()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

void writeOut(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

int usageError(const char *command, const char *usage, const char *message, const char *detail)
{
    std::fprintf(stderr, "sortool %s: %s%s%s\n%s", command, message, detail ? ": " : "", detail ? detail : "", usage);
    return 2;
}

bool loadViewedTrace(const char *command, const QString &path, TraceData &trace, TraceCurve &curve,
                     QM7ZZZ_Acount_Total_Loss_fn totalLoss)
{
    CSorFileBase sor;
    SorRecord record;
    const int result = sor.ReadFile(path, record);
    if (result != SorResult::Done || record.traces.empty()) {
        std::fprintf(stderr, "sortool %s: cannot read %s (%s)\n", command, qPrintable(path),
                     result == SorResult::Done     ? "no trace in it"
                     : result == SorResult::NotSor ? "not a SOR file"
                                                   : "cannot open it");
        return false;
    }
    loadTrace(record, trace, totalLoss);
    curve = buildTraceCurve(trace, viewLevels(record, trace.sampleCount), recordUserOffset(record));
    return true;
}

} // namespace commandsupport
