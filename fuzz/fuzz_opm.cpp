// Reads arbitrary bytes as a power-meter file and checks what every record read must satisfy:
// no field longer than the limit, none holding a separator, a NUL or its own key's start.
#include "opm/OpmReader.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkField(const QString &value)
{
    check(value.size() <= opmMaxFieldLength);
    check(!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char(';')) &&
          !value.contains(QChar(u'\0')));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const OpmFile file = parseOpm(bytes);
    check((file.status == OpmStatus::MalformedRecord) == (file.malformedAt >= 0));
    check(file.malformedAt < static_cast<qsizetype>(size));
    // Each record ends in its own ";", so there are never more records than semicolons.
    check(file.records.size() <= bytes.count(';'));
    for (const OpmRecord &r : file.records) {
        for (const QString *field : {&r.fiberId, &r.cableId, &r.date, &r.time, &r.value, &r.operatorName})
            checkField(*field);
    }
    // Appending text after the last ";" never changes what was read.
    if (file.status == OpmStatus::Complete && size < 4096) {
        QByteArray longer(bytes.data(), bytes.size());
        longer.append("FiberId=x,CableId");
        const OpmFile again = parseOpm(longer);
        check(again.records.size() == file.records.size());
    }
    return 0;
}
