#pragma once

#include "analysis/QM7ZZZ.h"
#include "trace/FibrePairing.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class CSorFileBase;

// The text forms (CSV, RFC 4180 with CR LF; JSON with dot decimals) of the bidirectional, the
// two-wavelength and the by-fibre tables, and the reading of a file for them.

// Reads the SOR file at `path` as the summary does and keeps what the pairing needs; empty for
// a file the program refuses to open.
std::optional<FibreTrace> readFibreTrace(CSorFileBase &sor, const QString &path, QM7ZZZ_Acount_Total_Loss_fn totalLoss,
                                         const PassThresholds &thresholds);

// file_ab,file_ba,event,distance_km,loss_ab_db,loss_ba_db,loss_db,reflectance_db,seen
QByteArray bidirCsvHeader();
// One record per event between the fibre ends (none for a fibre without such events).
QByteArray bidirCsvRecords(const QString &fileAb, const QString &fileBa, const BidirResult &result);
// {"file_ab", "file_ba", "fibre_length_km", "total_loss_db", "total_loss_ab_db", "total_loss_ba_db", "events": [...]}
QByteArray bidirJsonObject(const QString &fileAb, const QString &fileBa, const BidirResult &result);

// file_short,file_long,event,distance_km,loss_short_db,loss_long_db,difference_db,macrobend
QByteArray wavelengthCsvHeader();
QByteArray wavelengthCsvRecords(const QString &fileShort, const QString &fileLong, const WavelengthResult &result);
QByteArray wavelengthJsonObject(const QString &fileShort, const QString &fileLong, const WavelengthResult &result);

// One fibre at one wavelength of a cable.
struct FibreSummaryRow {
    QString cable;
    QString fibre;
    int32_t wavelengthNm = 0;
    QString fileAb;
    QString fileBa;                       // empty for a fibre measured from one end
    std::optional<double> lengthM;        // the longer of the two
    std::optional<double> totalLossAbDb;  // the one total of a one-ended fibre
    std::optional<double> totalLossBaDb;
    std::optional<double> totalLossDb;    // the mean of the two, or the one total
    int events = 0;                       // events between the fibre ends
    std::optional<int> bends;             // when the fibre was measured at another wavelength too
    int verdict = 0;                      // the worse of the directions': fail, incomplete, pass, none
};

// The rows of a cable's files: paired by fibre, each pair averaged, each fibre's wavelengths
// compared (each band against the nearest other band of the same fibre). `toleranceM` empty for
// each pair's own default.
std::vector<FibreSummaryRow> fibreSummary(const std::vector<FibreTrace> &files, std::optional<double> toleranceM,
                                          double thresholdDb);

// cable,fibre,wavelength_nm,file_ab,file_ba,length_m,total_loss_ab_db,total_loss_ba_db,total_loss_db,events,bends,verdict
QByteArray fibreSummaryCsvHeader();
QByteArray fibreSummaryCsvRecord(const FibreSummaryRow &row);
QByteArray fibreSummaryJsonObject(const FibreSummaryRow &row);

// A number with a fixed number of decimals and a dot; empty without one; never "-0.000".
QString fixedDecimals(std::optional<double> value, int decimals);
