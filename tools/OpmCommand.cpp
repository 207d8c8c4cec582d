#include "tools/Commands.h"

#include "opm/OpmReader.h"
#include "tools/CommandSupport.h"

#include <QCommandLineParser>
#include <QFile>
#include <QString>

#include <cstdio>
#include <iterator>

namespace {

const char usage[] = "usage: sortool opm FILE.opm\n";

// A JSON string in UTF-8: quotes, backslashes and control characters escaped.
void appendJsonText(QByteArray &out, const QString &text)
{
    out.append('"');
    for (const char c : text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.append('\\');
            out.append(c);
        } else if (u < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
            out.append(buffer);
        } else {
            out.append(c);
        }
    }
    out.append('"');
}

// One record a line, its keys in the order of the file's fields.
QByteArray recordsJson(const QList<OpmRecord> &records)
{
    static const struct {
        const char *key;
        QString OpmRecord::*field;
    } keys[] = {
        {"fiberId", &OpmRecord::fiberId}, {"cableId", &OpmRecord::cableId}, {"date", &OpmRecord::date},
        {"time", &OpmRecord::time},       {"value", &OpmRecord::value},     {"operator", &OpmRecord::operatorName},
    };
    if (records.isEmpty())
        return "[]\n";
    QByteArray out = "[\n";
    for (qsizetype i = 0; i < records.size(); ++i) {
        out.append("  {");
        for (size_t k = 0; k < std::size(keys); ++k) {
            if (k > 0)
                out.append(", ");
            out.append('"').append(keys[k].key).append("\": ");
            appendJsonText(out, records[i].*keys[k].field);
        }
        out.append(i + 1 < records.size() ? "},\n" : "}\n");
    }
    out.append("]\n");
    return out;
}

} // namespace

// Prints the records of a power-meter file as a JSON array, exactly what the viewer shows. A
// file that shows nothing there (empty, too large, first record malformed) prints an empty
// array; a file that cannot be read at all is an error.
int runOpm(int argc, char **argv)
{
    QCommandLineParser parser;
    const bool parsed = commandsupport::parseArguments(parser, commandsupport::commandArguments("opm", argc, argv));
    const QStringList files = parser.positionalArguments();
    // The command has no options: any, "--help" too, is a usage error, and so is a lone "-"
    // (standard input is not read).
    if (!parsed || files.size() != 1 || files.front() == QLatin1String("-")) {
        std::fputs(usage, stderr);
        return 2;
    }
    const QString &path = files.front();
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

    const QByteArray out = recordsJson(file.records);
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    return 0;
}
