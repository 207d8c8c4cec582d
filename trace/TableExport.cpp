#include "trace/TableExport.h"

namespace tableexport {

QByteArray csvField(const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    const bool quote = utf8.contains(',') || utf8.contains('"') || utf8.contains('\n') || utf8.contains('\r')
                       || utf8.startsWith(' ') || utf8.endsWith(' ');
    if (!quote)
        return utf8;
    QByteArray out;
    out.reserve(utf8.size() + 2);
    out.append('"');
    for (char c : utf8) {
        if (c == '"')
            out.append('"');
        out.append(c);
    }
    out.append('"');
    return out;
}

QByteArray csvRecord(const QStringList &fields)
{
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out.append(',');
        out.append(csvField(fields[i]));
    }
    out.append("\r\n");
    return out;
}

QByteArray jsonString(const QString &value)
{
    QByteArray out;
    out.append('"');
    for (char c : value.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out.append("\\\""); break;
        case '\\': out.append("\\\\"); break;
        case '\b': out.append("\\b"); break;
        case '\f': out.append("\\f"); break;
        case '\n': out.append("\\n"); break;
        case '\r': out.append("\\r"); break;
        case '\t': out.append("\\t"); break;
        default:
            if (u < 0x20 || u == 0x7F) {
                static const char hex[] = "0123456789abcdef";
                out.append("\\u00");
                out.append(hex[u >> 4]);
                out.append(hex[u & 0xF]);
            } else
                out.append(c);
        }
    }
    out.append('"');
    return out;
}

} // namespace tableexport
