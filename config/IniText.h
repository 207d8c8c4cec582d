#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// Calendar time in seconds since 1970-01-01 00:00:00 UTC.
using IniTime = int64_t;

// Conversions between INI value texts and typed values, shared by the INI classes and the
// pass/fail thresholds. They follow the C library's leading-number rules but never depend on
// the process locale.
namespace initext {

// The white space of the C library's wide-character test in the "C" locale.
bool isSpace(QChar c);
QStringView trimmed(QStringView text);

// Leading decimal integer: blanks skipped, optional sign; no digits give 0; values beyond
// the 32-bit range saturate.
int32_t leadingInt(QStringView text);

// Leading unsigned decimal number: blanks skipped, optional sign (a minus negates modulo
// 2^32); no digits give 0; values beyond 4294967295 give 4294967295.
uint32_t leadingUInt(QStringView text);

// Leading decimal floating-point number (sign, digits, point, exponent); no number gives 0.0.
// A magnitude beyond double range gives an infinity of that sign.
double leadingDouble(QStringView text);

// "year-month-day hour:minute:second" as local time; with a colon missing, the date at
// 00:00:00. With `acceptDateOnly`, "year-month-day" alone is accepted too.
std::optional<IniTime> parseTimestamp(QStringView text, bool acceptDateOnly);

// "hour:minute:second" as that local time on 1980-01-01.
std::optional<IniTime> parseTimeOnly(QStringView text);

// Local time formatted with strftime's `format`.
QString formatLocalTime(IniTime time, const char *format);

// The rules every INI reader of the program follows (the in-memory copy and the file service):
// a line is trimmed; one starting with ";" is a comment; "[name]" is a header whose name is
// trimmed, text after the "]" ignored; "name=value" is a key whose name and value are trimmed,
// the value losing one pair of enclosing double quotes. Names match without regard to case
// (nameKey gives the form they are compared in) and the first key of a name counts.
struct IniLine {
    enum Kind { Other, Header, Key };
    Kind kind = Other;
    QString name;
    QString value; // keys only
};
IniLine parseIniLine(QStringView line);
QString nameKey(const QString &name);

// `value` as a key line stores it so that parseIniLine gives it back: in double quotes when it
// starts or ends with a blank or is itself enclosed in quotes.
QString storedValue(const QString &value);

} // namespace initext
