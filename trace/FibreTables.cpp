#include "trace/FibreTables.h"

#include "trace/CSorFileBase.h"
#include "trace/TableExport.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

QString km(double metres)
{
    return fixedDecimals(metres / 1000.0, 3);
}

QString db(std::optional<double> value)
{
    return fixedDecimals(value, 3);
}

// A JSON member "key":value; an empty cell is null, a text is quoted.
void member(QByteArray &out, const char *key, const QString &cell, bool text = false)
{
    if (out.size() > 1 && !out.endsWith('{'))
        out.append(',');
    out.append('"').append(key).append("\":");
    if (text)
        out.append(tableexport::jsonString(cell));
    else if (cell.isEmpty())
        out.append("null");
    else
        out.append(cell.toLatin1());
}

int worseVerdict(int a, int b)
{
    // Fail above incomplete above pass above none.
    const auto rank = [](int v) {
        switch (v) {
        case VerdictFail: return 3;
        case VerdictIncomplete: return 2;
        case VerdictPass: return 1;
        default: return 0;
        }
    };
    return rank(a) >= rank(b) ? a : b;
}

} // namespace

QString fixedDecimals(std::optional<double> value, int decimals)
{
    if (!value || !std::isfinite(*value))
        return QString();
    QString text = QString::asprintf("%.*f", decimals, *value);
    if (text.startsWith(QLatin1Char('-')) && text.count(QLatin1Char('0')) == text.size() - 2)
        text.remove(0, 1);
    return text;
}

std::optional<FibreTrace> readFibreTrace(CSorFileBase &sor, const QString &path, QM7ZZZ_Acount_Total_Loss_fn totalLoss,
                                         const PassThresholds &thresholds)
{
    TraceData trace;
    if (!loadTraceFile(sor, path, trace, totalLoss))
        return std::nullopt;
    return fibreTrace(summarizeTrace(path, trace, thresholds), trace);
}

QByteArray bidirCsvHeader()
{
    return tableexport::csvRecord({QStringLiteral("file_ab"), QStringLiteral("file_ba"), QStringLiteral("event"),
                                   QStringLiteral("distance_km"), QStringLiteral("loss_ab_db"), QStringLiteral("loss_ba_db"),
                                   QStringLiteral("loss_db"), QStringLiteral("reflectance_db"), QStringLiteral("seen")});
}

QByteArray bidirCsvRecords(const QString &fileAb, const QString &fileBa, const BidirResult &r)
{
    QByteArray out;
    for (size_t i = 0; i < r.events.size(); ++i) {
        const BidirEvent &e = r.events[i];
        out.append(tableexport::csvRecord({fileAb, fileBa, QString::number(i + 1), km(e.distanceM), db(e.lossAbDb),
                                           db(e.lossBaDb), db(e.lossDb), db(e.reflectanceDb),
                                           QString::fromLatin1(seenWord(e.seen))}));
    }
    return out;
}

QByteArray bidirJsonObject(const QString &fileAb, const QString &fileBa, const BidirResult &r)
{
    QByteArray out("{");
    member(out, "file_ab", fileAb, true);
    member(out, "file_ba", fileBa, true);
    member(out, "fibre_length_km", km(r.fibreLengthM));
    member(out, "total_loss_db", db(r.totalLossDb));
    member(out, "total_loss_ab_db", db(r.totalLossAbDb));
    member(out, "total_loss_ba_db", db(r.totalLossBaDb));
    out.append(",\"events\":[");
    for (size_t i = 0; i < r.events.size(); ++i) {
        const BidirEvent &e = r.events[i];
        QByteArray o("{");
        member(o, "distance_km", km(e.distanceM));
        member(o, "loss_ab_db", db(e.lossAbDb));
        member(o, "loss_ba_db", db(e.lossBaDb));
        member(o, "loss_db", db(e.lossDb));
        member(o, "reflectance_db", db(e.reflectanceDb));
        member(o, "seen", QString::fromLatin1(seenWord(e.seen)), true);
        out.append(i > 0 ? "," : "").append(o).append('}');
    }
    out.append("]}");
    return out;
}

QByteArray wavelengthCsvHeader()
{
    return tableexport::csvRecord({QStringLiteral("file_short"), QStringLiteral("file_long"), QStringLiteral("event"),
                                   QStringLiteral("distance_km"), QStringLiteral("loss_short_db"),
                                   QStringLiteral("loss_long_db"), QStringLiteral("difference_db"),
                                   QStringLiteral("macrobend")});
}

QByteArray wavelengthCsvRecords(const QString &fileShort, const QString &fileLong, const WavelengthResult &r)
{
    QByteArray out;
    for (size_t i = 0; i < r.events.size(); ++i) {
        const WavelengthEvent &e = r.events[i];
        out.append(tableexport::csvRecord({fileShort, fileLong, QString::number(i + 1), km(e.distanceM), db(e.lossShortDb),
                                           db(e.lossLongDb), db(e.differenceDb),
                                           e.macrobend ? QStringLiteral("true") : QStringLiteral("false")}));
    }
    return out;
}

QByteArray wavelengthJsonObject(const QString &fileShort, const QString &fileLong, const WavelengthResult &r)
{
    QByteArray out("{");
    member(out, "file_short", fileShort, true);
    member(out, "file_long", fileLong, true);
    member(out, "wavelength_short_nm", QString::number(r.shortNm));
    member(out, "wavelength_long_nm", QString::number(r.longNm));
    out.append(",\"events\":[");
    for (size_t i = 0; i < r.events.size(); ++i) {
        const WavelengthEvent &e = r.events[i];
        QByteArray o("{");
        member(o, "distance_km", km(e.distanceM));
        member(o, "loss_short_db", db(e.lossShortDb));
        member(o, "loss_long_db", db(e.lossLongDb));
        member(o, "difference_db", db(e.differenceDb));
        member(o, "macrobend", e.macrobend ? QStringLiteral("true") : QStringLiteral("false"));
        out.append(i > 0 ? "," : "").append(o).append('}');
    }
    out.append("]}");
    return out;
}

std::vector<FibreSummaryRow> fibreSummary(const std::vector<FibreTrace> &files, std::optional<double> toleranceM,
                                          double thresholdDb)
{
    const std::vector<FibreRow> pairs = pairByFibre(files);
    std::vector<FibreSummaryRow> rows;
    // Per row: its events in the A->B frame (mean over both directions where there are two),
    // the fibre length and the tolerance used, for the comparison of wavelengths afterwards.
    struct Frame {
        std::vector<FibreEvent> events;
        double lengthM = 0.0;
        double toleranceM = 0.0;
    };
    std::vector<Frame> frames;
    rows.reserve(pairs.size());
    frames.reserve(pairs.size());
    for (const FibreRow &p : pairs) {
        const FibreTrace &ab = files[static_cast<size_t>(p.ab)];
        FibreSummaryRow row;
        row.cable = ab.cableId.trimmed();
        row.fibre = ab.fiberId.trimmed();
        row.wavelengthNm = ab.wavelengthNm;
        row.fileAb = ab.file;
        row.totalLossAbDb = ab.totalLossDb;
        row.verdict = ab.verdict;
        Frame frame;
        if (p.ba >= 0) {
            const FibreTrace &ba = files[static_cast<size_t>(p.ba)];
            const BidirResult r = pairDirections(ab, ba, toleranceM);
            row.fileBa = ba.file;
            row.lengthM = r.fibreLengthM;
            row.totalLossBaDb = r.totalLossBaDb;
            row.totalLossDb = r.totalLossDb;
            row.events = static_cast<int>(r.events.size());
            row.verdict = worseVerdict(ab.verdict, ba.verdict);
            frame = {meanEvents(r), r.fibreLengthM, r.toleranceM};
        } else {
            const double tolerance = matchTolerance(toleranceM, ab.pulseWidthNs, ab.pulseWidthNs);
            if (ab.lengthM > 0.0)
                row.lengthM = ab.lengthM;
            row.totalLossDb = ab.totalLossDb;
            for (const FibreEvent &e : ab.events)
                row.events += e.distanceM > tolerance && e.distanceM < ab.lengthM - tolerance ? 1 : 0;
            frame = {ab.events, ab.lengthM, tolerance};
        }
        rows.push_back(row);
        frames.push_back(std::move(frame));
    }

    // Rows of one fibre lie together, its wavelengths from the shortest.
    for (size_t i = 0; i < rows.size(); ++i) {
        int nearest = -1;
        for (size_t j = 0; j < rows.size(); ++j) {
            if (j == i || rows[j].cable != rows[i].cable || rows[j].fibre != rows[i].fibre
                || sameWavelength(rows[j].wavelengthNm, rows[i].wavelengthNm))
                continue;
            const int gap = std::abs(rows[j].wavelengthNm - rows[i].wavelengthNm);
            if (nearest < 0 || gap < std::abs(rows[static_cast<size_t>(nearest)].wavelengthNm - rows[i].wavelengthNm))
                nearest = static_cast<int>(j);
        }
        if (nearest < 0)
            continue;
        const bool shorter = rows[i].wavelengthNm < rows[static_cast<size_t>(nearest)].wavelengthNm;
        const Frame &me = frames[i];
        const Frame &other = frames[static_cast<size_t>(nearest)];
        const std::vector<WavelengthEvent> compared =
            compareEventLists(shorter ? me.events : other.events, shorter ? other.events : me.events,
                              std::max(me.lengthM, other.lengthM), std::max(me.toleranceM, other.toleranceM), thresholdDb);
        int bends = 0;
        for (const WavelengthEvent &e : compared)
            bends += e.macrobend ? 1 : 0;
        rows[i].bends = bends;
    }
    return rows;
}

namespace {

QStringList fibreSummaryCells(const FibreSummaryRow &r)
{
    return {r.cable,
            r.fibre,
            QString::number(r.wavelengthNm),
            r.fileAb,
            r.fileBa,
            fixedDecimals(r.lengthM, 2),
            db(r.totalLossAbDb),
            db(r.totalLossBaDb),
            db(r.totalLossDb),
            QString::number(r.events),
            r.bends ? QString::number(*r.bends) : QString(),
            verdictWord(r.verdict)};
}

const char *const fibreSummaryKeys[] = {"cable",           "fibre",           "wavelength_nm", "file_ab",
                                        "file_ba",         "length_m",        "total_loss_ab_db",
                                        "total_loss_ba_db", "total_loss_db",  "events",        "bends",
                                        "verdict"};

} // namespace

QByteArray fibreSummaryCsvHeader()
{
    QStringList keys;
    for (const char *k : fibreSummaryKeys)
        keys << QString::fromLatin1(k);
    return tableexport::csvRecord(keys);
}

QByteArray fibreSummaryCsvRecord(const FibreSummaryRow &row)
{
    return tableexport::csvRecord(fibreSummaryCells(row));
}

QByteArray fibreSummaryJsonObject(const FibreSummaryRow &row)
{
    const QStringList cells = fibreSummaryCells(row);
    QByteArray out("{");
    for (int i = 0; i < cells.size(); ++i) {
        // Identity and file names are always texts; a missing second file or verdict is null.
        const bool text = i == 0 || i == 1 || i == 3 || ((i == 4 || i == 11) && !cells[i].isEmpty());
        member(out, fibreSummaryKeys[i], cells[i], text);
    }
    out.append('}');
    return out;
}
