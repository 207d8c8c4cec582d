#pragma once

// Reads the CSV that sortool writes, independently of the code under test.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace testsupport {

// The records of an RFC 4180 text, read independently of the code under test.
inline std::vector<QStringList> parseCsv(const QByteArray &bytes)
{
    std::vector<QStringList> records;
    QStringList record;
    QByteArray field;
    bool quoted = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (quoted) {
            if (c == '"' && i + 1 < bytes.size() && bytes[i + 1] == '"')
                field.append(bytes[++i]);
            else if (c == '"')
                quoted = false;
            else
                field.append(c);
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record << QString::fromUtf8(field);
            field.clear();
        } else if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++i;
            record << QString::fromUtf8(field);
            field.clear();
            records.push_back(record);
            record.clear();
        } else {
            field.append(c);
        }
    }
    return records;
}

} // namespace testsupport
