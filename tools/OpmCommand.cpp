#include "tools/Commands.h"

#include "opm/OpmReader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <cstdio>
#include <cstring>

namespace {

const char usage[] = "usage: sortool opm FILE.opm\n";

QJsonObject recordObject(const OpmRecord &r)
{
    return QJsonObject{
        {QStringLiteral("fiberId"), r.fiberId}, {QStringLiteral("cableId"), r.cableId},
        {QStringLiteral("date"), r.date},       {QStringLiteral("time"), r.time},
        {QStringLiteral("value"), r.value},     {QStringLiteral("operator"), r.operatorName},
    };
}

} // namespace

// Prints the records of a power-meter file as a JSON array, exactly what the viewer shows. A
// file that shows nothing there (empty, too large, first record malformed) prints an empty
// array; a file that cannot be read at all is an error.
int runOpm(int argc, char **argv)
{
    if (argc != 1 || std::strncmp(argv[0], "-", 1) == 0) {
        std::fputs(usage, stderr);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[0]);
    const OpmFile file = readOpmFile(path);
    const QByteArray name = QFile::encodeName(path);
    switch (file.status) {
    case OpmStatus::Unreadable:
        std::fprintf(stderr, "sortool opm: cannot read %s\n", name.constData());
        return 1;
    case OpmStatus::TooLarge:
        std::fprintf(stderr, "sortool opm: %s is larger than %lld bytes; no records shown\n", name.constData(),
                     static_cast<long long>(opmMaxFileSize));
        break;
    case OpmStatus::MalformedRecord:
        std::fprintf(stderr, "sortool opm: %s: malformed record at byte %lld; reading stopped there\n",
                     name.constData(), static_cast<long long>(file.malformedAt));
        break;
    case OpmStatus::Empty:
    case OpmStatus::Complete:
        break;
    }

    QJsonArray records;
    for (const OpmRecord &r : file.records)
        records.append(recordObject(r));
    const QByteArray out = QJsonDocument(records).toJson(QJsonDocument::Indented);
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    return 0;
}
