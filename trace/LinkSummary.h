#pragma once

#include "analysis/QM7ZZZ.h"
#include "trace/Verdict.h" // PassThresholds, ComputeVerdict: the verdict of a row
#include "trace/TraceData.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class CSorFileBase;

// One row of a link summary: the figures a fibre is certified by, taken from its loaded trace.
struct LinkSummary {
    QString file;     // the path as given
    bool readable = false;
    int32_t wavelengthNm = 0;
    int32_t pulseWidthNs = 0;
    int32_t eventCount = 0;
    std::optional<float> lengthM;            // distance of the end event
    std::optional<float> totalLossDb;        // cumulative loss of the end event, when not 0
    std::optional<float> maxEventLossDb;     // largest non-zero link loss of the events between start and end
    std::optional<float> worstReflectanceDb; // highest non-zero reflectance of a reflective event
    std::optional<float> attenuationDbKm;    // total loss x 1000 / length, for 100 m and longer
    int verdict = 0;                         // 0 none, 1 pass, 2 fail, 3 incomplete
    std::optional<float> orlDb;              // the ORL the instrument stored
};

// Fibres shorter than this have no attenuation in the summary.
inline constexpr float minimumAttenuationLengthM = 100.0f;

// The end event of a trace: its fibre end (trace/CumulativeLoss.h); -1 when the trace has no
// events.
int endEventIndex(const TraceData &trace);

// The summary of a loaded trace, judged with `thresholds`. Values that cannot be formed (no
// events, a zero length, a distance that is not a number) stay empty, and so do values the
// event list shows as "--" (a loss or cumulative loss of exactly 0).
LinkSummary summarizeTrace(const QString &file, const TraceData &trace, const PassThresholds &thresholds);

// The row of a file that could not be read: every value empty.
LinkSummary unreadableSummary(const QString &file);

// Reads the SOR file at `path` through `sor` and loads it into `trace` as the open command does
// (loader, cumulative losses from `totalLoss` where the file stores none, the event list); a file
// that stores no events is analysed by `analysis` when it is bound.
// False, with `trace` unspecified, for a file the program refuses to open.
bool loadTraceFile(CSorFileBase &sor, const QString &path, TraceData &trace, QM7ZZZ_Acount_Total_Loss_fn totalLoss,
                   QM7ZZZ_Event_Analysis_fn analysis = nullptr);

// The row of the SOR file at `path`: loaded into a fresh trace (so nothing of an earlier file
// stays) by loadTraceFile and summarised, or the unreadable row.
LinkSummary summarizeFile(CSorFileBase &sor, const QString &path, QM7ZZZ_Acount_Total_Loss_fn totalLoss,
                          const PassThresholds &thresholds, QM7ZZZ_Event_Analysis_fn analysis = nullptr);

// "PASS", "FAIL", "INCOMPLETE", or empty for no verdict.
QString verdictWord(int verdict);

// The column keys of the CSV header and of the JSON objects, in order.
const QStringList &summaryColumns();

// The cells of a row in column order, with dot decimals; empty where there is no value.
QStringList summaryCells(const LinkSummary &summary);

// The CSV header record and one row's record (RFC 4180, UTF-8, CR LF).
QByteArray summaryCsvHeader();
QByteArray summaryCsvRecord(const LinkSummary &summary);

// One row as a JSON object: numbers as numbers, empty cells as null.
QByteArray summaryJsonObject(const LinkSummary &summary);
