#include "tools/PairTable.h"

#include "config/PassThresholds.h"
#include "tools/CommandSupport.h"
#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"

#include <QFile>

#include <algorithm>
#include <cstdio>

namespace commandsupport {

int writePairTable(const char *command, const QStringList &files, bool json, const QByteArray &csvHeader,
                   const PairRows &rows)
{
    PassThresholds thresholds;
    ReadPassThresholds(toolFolder() + QStringLiteral("/Config.ini"), thresholds);
    const QM7ZZZ_Acount_Total_Loss_fn totalLoss = bindEventAnalysis(toolFolder()).totalLoss;

    int status = 0;
    bool first = true;
    writeOut(json ? QByteArray("[\n") : csvHeader);
    Progress progress(command, files.size() / 2);
    CSorFileBase sor;
    for (qsizetype i = 0; i + 1 < files.size(); i += 2) {
        progress.step(i / 2);
        const std::optional<FibreTrace> a = readFibreTrace(sor, files[i], totalLoss, thresholds);
        const std::optional<FibreTrace> b = readFibreTrace(sor, files[i + 1], totalLoss, thresholds);
        if (!a || !b) {
            std::fprintf(stderr, "sortool %s: cannot read %s\n", command,
                         QFile::encodeName(!a ? files[i] : files[i + 1]).constData());
            status = std::max(status, 1);
            continue;
        }
        const std::optional<QByteArray> out = rows(files[i], files[i + 1], *a, *b, json);
        if (!out) {
            status = 2;
            continue;
        }
        if (json) {
            writeOut((first ? QByteArray("  ") : QByteArray(",\n  ")) + *out);
            first = false;
        } else {
            writeOut(*out);
        }
    }
    progress.step(files.size() / 2);
    if (json)
        writeOut(first ? QByteArray("]\n") : QByteArray("\n]\n"));
    return status;
}

} // namespace commandsupport
