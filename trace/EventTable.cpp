#include "trace/EventTable.h"

#include "config/AtomicWrite.h"
#include "trace/EventListText.h"
#include "trace/TableExport.h"


#include <cmath>

namespace {

// The list's "--", and a value that is no finite number (distances of a file with a group
// index of 0), give an empty cell: a spreadsheet column holds numbers only.
QString numberOrEmpty(const QString &cell)
{
    bool ok = false;
    const double value = cell.toDouble(&ok);
    return ok && std::isfinite(value) ? cell : QString();
}

} // namespace

const QStringList &eventTableColumns()
{
    static const QStringList keys = {
        QStringLiteral("file"),     QStringLiteral("event"),         QStringLiteral("type"),
        QStringLiteral("code"),     QStringLiteral("distance_km"),   QStringLiteral("segment_km"),
        QStringLiteral("loss_db"),  QStringLiteral("total_loss_db"), QStringLiteral("slope_db_km"),
        QStringLiteral("reflectance_db"),
    };
    return keys;
}

std::vector<QStringList> eventTableRows(const QString &file, const TraceData &trace)
{
    // The list's own texts, in km with three decimals.
    const std::vector<EventRow> listRows = eventListRows(trace, QStringLiteral("m"), 3);
    std::vector<QStringList> rows;
    rows.reserve(listRows.size());
    for (size_t r = 0; r < listRows.size(); ++r) {
        const EventRow &row = listRows[r];
        // Row r of the list shows event r + 1.
        const TraceEvent &e = trace.events[r + 1];
        // The list shows a reflectance rounded to 0.1 dB with a saturation mark; a spreadsheet
        // gets the number itself, with the same three decimals as the losses.
        const QString reflectance = e.reflectance == 0.0f
                                        ? QString()
                                        : numberOrEmpty(QString::asprintf("%.3f", static_cast<double>(e.reflectance)));
        const QChar code = e.codeLetter > ' ' && e.codeLetter < 0x7F ? QChar::fromLatin1(e.codeLetter) : QChar();
        rows.push_back({
            file,
            QString::number(r + 1),
            // Kind 2 is a reflection that saturated the receiver: reflective too. (The list's icon
            // repeats the row above for such kinds, which says nothing about the event.)
            e.typeDigit == 0 ? QStringLiteral("Non-Reflect") : QStringLiteral("Reflect"),
            code.isNull() ? QString() : QString(code),
            numberOrEmpty(row.columns[1]),
            numberOrEmpty(row.columns[2]),
            numberOrEmpty(row.columns[3]),
            numberOrEmpty(row.columns[4]),
            numberOrEmpty(row.columns[5]),
            reflectance,
        });
    }
    return rows;
}

QByteArray eventTableCsvHeader()
{
    return tableexport::csvRecord(eventTableColumns());
}

QByteArray eventTableCsvRecords(const QString &file, const TraceData &trace)
{
    QByteArray out;
    for (const QStringList &row : eventTableRows(file, trace))
        out.append(tableexport::csvRecord(row));
    return out;
}

bool exportEventTableCsv(const QString &path, const QString &file, const TraceData &trace)
{
    if (path.isEmpty())
        return false;
    return writeBytesAtomically(path, eventTableCsvHeader() + eventTableCsvRecords(file, trace));
}
