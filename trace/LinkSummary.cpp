#include "trace/LinkSummary.h"

#include "analysis/LinkLoss.h"
#include "trace/CSorFileBase.h"
#include "trace/CumulativeLoss.h"
#include "trace/TableExport.h"
#include "trace/TraceAnalysis.h"
#include "trace/TraceLoader.h"

#include <cmath>
#include <iterator>

namespace {

enum class Kind { Text, Integer, Number };

struct Column {
    const char *key;
    Kind kind;
};

constexpr Column columns[] = {
    {"file", Kind::Text},
    {"status", Kind::Text},
    {"wavelength_nm", Kind::Integer},
    {"pulse_ns", Kind::Integer},
    {"length_m", Kind::Number},
    {"events", Kind::Integer},
    {"total_loss_db", Kind::Number},
    {"max_event_loss_db", Kind::Number},
    {"worst_reflectance_db", Kind::Number},
    {"attenuation_db_km", Kind::Number},
    {"verdict", Kind::Text},
    {"orl_db", Kind::Number},
};
constexpr int columnCount = static_cast<int>(std::size(columns));

// A value with a fixed number of decimals and a dot, whatever the locale; a value that rounds
// to zero from below reads 0, not -0. A value that is not finite has no number to show.
QString fixed(const std::optional<float> &value, int decimals)
{
    if (!value || !std::isfinite(*value))
        return QString();
    QString text = QString::asprintf("%.*f", decimals, static_cast<double>(*value));
    if (text.startsWith(QLatin1Char('-')) && text.count(QLatin1Char('0')) == text.size() - 2)
        text.remove(0, 1);
    return text;
}

} // namespace

int endEventIndex(const TraceData &trace)
{
    return fibreEndIndex(trace);
}

LinkSummary summarizeTrace(const QString &file, const TraceData &trace, const PassThresholds &thresholds)
{
    LinkSummary s;
    s.file = file;
    s.readable = true;
    s.wavelengthNm = trace.wavelengthNm;
    s.pulseWidthNs = trace.pulseWidthNs;
    s.eventCount = static_cast<int32_t>(trace.events.size());

    const int end = endEventIndex(trace);
    if (end >= 0) {
        const TraceEvent &e = trace.events[static_cast<size_t>(end)];
        s.lengthM = e.distance;
        // A cumulative loss of exactly 0 is one nobody measured (a file whose events carry
        // comments without numbers, or no event library): the event list shows "--" and the
        // verdict calls it incomplete, so the summary has no total loss and no attenuation.
        if (e.totalLoss != 0.0f) {
            s.totalLossDb = e.totalLoss;
            // In single precision, as the verdict's attenuation check forms it. Over less than
            // 100 m the launch and end zones outweigh the fibre: no attenuation is given.
            if (e.distance >= minimumAttenuationLengthM && std::isfinite(e.distance))
                s.attenuationDbKm = e.totalLoss * 1000.0f / e.distance;
        }
    }
    for (int i = 0; i < s.eventCount; ++i) {
        const TraceEvent &e = trace.events[static_cast<size_t>(i)];
        // Events strictly between the start and the fibre end, whose stored loss is a loss of
        // the link; losses of 0 are unmeasured ones, shown as "--" in the event list.
        const bool between = !linkloss::isStartEvent(i, e.distance) && i < end && isLinkLoss(trace, i);
        if (between && e.loss != 0.0f && (!s.maxEventLossDb || e.loss > *s.maxEventLossDb))
            s.maxEventLossDb = e.loss;
        // Any kind but 0 is reflective (2 marks a reflection that saturated the receiver), as
        // the verdict's reflectance check takes it.
        if (e.typeDigit != 0 && e.reflectance != 0.0f && (!s.worstReflectanceDb || e.reflectance > *s.worstReflectanceDb))
            s.worstReflectanceDb = e.reflectance;
    }
    s.verdict = ComputeVerdict(&trace, thresholds);
    if (trace.orlDb > 0.0f)
        s.orlDb = trace.orlDb;
    return s;
}

LinkSummary unreadableSummary(const QString &file)
{
    LinkSummary s;
    s.file = file;
    return s;
}

bool loadTraceFile(CSorFileBase &sor, const QString &path, TraceData &trace, QM7ZZZ_Acount_Total_Loss_fn totalLoss,
                   QM7ZZZ_Event_Analysis_fn analysis)
{
    SorRecord record;
    // A file without a trace is refused by the open command, so it counts as unreadable here.
    if (sor.ReadFile(path, record) != SorResult::Done || record.traces.empty())
        return false;
    loadTrace(std::move(record), trace, totalLoss);
    if (!analyzeIfNoEvents(trace, analysis))
        eventsToEventList(trace);
    return true;
}

LinkSummary summarizeFile(CSorFileBase &sor, const QString &path, QM7ZZZ_Acount_Total_Loss_fn totalLoss,
                          const PassThresholds &thresholds, QM7ZZZ_Event_Analysis_fn analysis)
{
    TraceData trace;
    if (!loadTraceFile(sor, path, trace, totalLoss, analysis))
        return unreadableSummary(path);
    return summarizeTrace(path, trace, thresholds);
}

QString verdictWord(int verdict)
{
    switch (verdict) {
    case VerdictPass: return QStringLiteral("PASS");
    case VerdictFail: return QStringLiteral("FAIL");
    case VerdictIncomplete: return QStringLiteral("INCOMPLETE");
    default: return QString();
    }
}

const QStringList &summaryColumns()
{
    static const QStringList keys = [] {
        QStringList k;
        for (const Column &c : columns)
            k << QString::fromLatin1(c.key);
        return k;
    }();
    return keys;
}

QStringList summaryCells(const LinkSummary &s)
{
    if (!s.readable) {
        QStringList cells(columnCount);
        cells[0] = s.file;
        cells[1] = QStringLiteral("unreadable");
        return cells;
    }
    return {
        s.file,
        QStringLiteral("ok"),
        QString::number(s.wavelengthNm),
        QString::number(s.pulseWidthNs),
        fixed(s.lengthM, 2),
        QString::number(s.eventCount),
        fixed(s.totalLossDb, 3),
        fixed(s.maxEventLossDb, 3),
        fixed(s.worstReflectanceDb, 3),
        fixed(s.attenuationDbKm, 3),
        verdictWord(s.verdict),
        fixed(s.orlDb, 3),
    };
}

QByteArray summaryCsvHeader()
{
    return tableexport::csvRecord(summaryColumns());
}

QByteArray summaryCsvRecord(const LinkSummary &s)
{
    return tableexport::csvRecord(summaryCells(s));
}

QByteArray summaryJsonObject(const LinkSummary &s)
{
    const QStringList cells = summaryCells(s);
    QByteArray out("{");
    for (int i = 0; i < columnCount; ++i) {
        if (i > 0)
            out.append(',');
        out.append('"').append(columns[i].key).append("\":");
        const QString &cell = cells[i];
        // The file and its status are always there, even as an empty text.
        if (cell.isEmpty() && i > 1)
            out.append("null");
        else if (columns[i].kind == Kind::Text)
            out.append(tableexport::jsonString(cell));
        else
            out.append(cell.toLatin1());
    }
    out.append('}');
    return out;
}
