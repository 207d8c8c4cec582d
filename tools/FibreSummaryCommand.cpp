#include "tools/Commands.h"

#include "tools/CommandSupport.h"
#include "trace/CSorFileBase.h"
#include "trace/FibreTables.h"

#include <QFile>

#include <cstdio>

// One row per fibre and wavelength of the files: the two directions of a fibre paired by their
// cable and fibre identifiers and swapped locations, averaged, and compared across wavelengths.
int runFibreSummary(const QStringList &files, bool json, const PassThresholds &thresholds,
                    QM7ZZZ_Acount_Total_Loss_fn totalLoss)
{
    bool allRead = true;
    std::vector<FibreTrace> traces;
    traces.reserve(static_cast<size_t>(files.size()));
    {
        commandsupport::Progress progress("summary", files.size());
        CSorFileBase sor;
        for (qsizetype i = 0; i < files.size(); ++i) {
            progress.step(i);
            std::optional<FibreTrace> trace = readFibreTrace(sor, files[i], totalLoss, thresholds);
            if (trace) {
                traces.push_back(std::move(*trace));
            } else {
                allRead = false;
                std::fprintf(stderr, "sortool summary: cannot read %s\n", QFile::encodeName(files[i]).constData());
            }
        }
        progress.step(files.size());
    }

    const std::vector<FibreSummaryRow> rows = fibreSummary(traces, std::nullopt, defaultBendThresholdDb);
    QByteArray out = json ? QByteArray("[\n") : fibreSummaryCsvHeader();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (json)
            out += (i > 0 ? QByteArray(",\n  ") : QByteArray("  ")) + fibreSummaryJsonObject(rows[i]);
        else
            out += fibreSummaryCsvRecord(rows[i]);
    }
    if (json)
        out += rows.empty() ? QByteArray("]\n") : QByteArray("\n]\n");
    commandsupport::writeOut(out);
    return allRead ? 0 : 1;
}
