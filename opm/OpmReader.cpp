#include "opm/OpmReader.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringDecoder>

#include <array>

Q_LOGGING_CATEGORY(lcOpm, "lumidor.opm")

namespace {

// Field n of a record holds the key of column n; its value is the rest of the field.
constexpr std::array<QByteArrayView, 6> fieldKeys = {
    QByteArrayView("FiberId="), QByteArrayView("CableId="), QByteArrayView("Date="),
    QByteArrayView("Time="),    QByteArrayView("Value="),   QByteArrayView("Operator="),
};
constexpr std::array<QString OpmRecord::*, 6> fieldMembers = {
    &OpmRecord::fiberId, &OpmRecord::cableId, &OpmRecord::date,
    &OpmRecord::time,    &OpmRecord::value,   &OpmRecord::operatorName,
};

// The files are written in the Windows Western code page; Latin-1 stands in should the ICU
// codec be missing, which differs only in 0x80..0x9F.
QString decode8Bit(QStringDecoder &decoder, QByteArrayView bytes)
{
    if (decoder.isValid())
        return decoder.decode(bytes);
    return QString::fromLatin1(bytes);
}

// Parses one record: `segment` runs from the record's start up to, not including, its ";".
// Returns false when the record is malformed.
bool parseRecord(QByteArrayView segment, QStringDecoder &decoder, OpmRecord &record)
{
    qsizetype start = 0;
    for (size_t n = 0; n < fieldKeys.size(); ++n) {
        // Fields end at ","; the sixth ends at the record's own ";", i.e. the segment's end.
        qsizetype end = segment.size();
        if (n + 1 < fieldKeys.size()) {
            end = segment.indexOf(',', start);
            if (end < 0)
                return false; // fewer than six fields
        } else if (segment.indexOf(',', start) >= 0) {
            return false; // more than six fields
        }

        QByteArray field;
        field.reserve(end - start);
        for (qsizetype i = start; i < end; ++i) {
            if (segment[i] != '\0')
                field.append(segment[i]);
        }
        if (field.size() > opmMaxFieldLength)
            return false;
        const qsizetype key = field.indexOf(fieldKeys[n]);
        if (key < 0)
            return false;
        record.*fieldMembers[n] = decode8Bit(decoder, QByteArrayView(field).sliced(key + fieldKeys[n].size()));
        start = end + 1;
    }
    return true;
}

} // namespace

OpmFile parseOpm(QByteArrayView bytes)
{
    OpmFile file;
    if (bytes.isEmpty()) {
        file.status = OpmStatus::Empty;
        return file;
    }
    if (bytes.size() > opmMaxFileSize) {
        file.status = OpmStatus::TooLarge;
        return file;
    }
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid())
        qCWarning(lcOpm) << "no windows-1252 codec; reading power-meter texts as Latin-1";

    file.status = OpmStatus::Complete;
    qsizetype recordStart = 0;
    for (;;) {
        const qsizetype end = bytes.indexOf(';', recordStart);
        if (end < 0)
            break; // text after the last ";" is not a record
        OpmRecord record;
        if (!parseRecord(bytes.sliced(recordStart, end - recordStart), decoder, record)) {
            file.status = OpmStatus::MalformedRecord;
            file.malformedAt = recordStart;
            break;
        }
        file.records.append(std::move(record));
        recordStart = end + 1;
    }
    return file;
}

OpmFile readOpmFile(const QString &path)
{
    OpmFile file;
    file.status = OpmStatus::Unreadable;
    if (!QFileInfo(path).isFile()) {
        qCInfo(lcOpm) << "not a file:" << path;
        return file;
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        qCInfo(lcOpm) << "cannot open" << path << in.errorString();
        return file;
    }
    const qint64 size = in.size();
    if (size == 0) {
        file.status = OpmStatus::Empty;
        return file;
    }
    if (size > opmMaxFileSize) {
        file.status = OpmStatus::TooLarge;
        return file;
    }
    // One byte more than the limit, so a file that grew since its size was taken still counts
    // as too large rather than being cut.
    const QByteArray bytes = in.read(opmMaxFileSize + 1);
    if (in.error() != QFileDevice::NoError) {
        qCInfo(lcOpm) << "cannot read" << path << in.errorString();
        return file;
    }
    return parseOpm(bytes);
}

bool isOpmPath(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("opm"), Qt::CaseInsensitive) == 0;
}
