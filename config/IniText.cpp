#include "config/IniText.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <limits>
#include <locale.h>
#include <stdlib.h>
#include <string>

namespace initext {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

qsizetype skipSpace(QStringView text, qsizetype i)
{
    while (i < text.size() && isSpace(text[i]))
        ++i;
    return i;
}

// Sign and magnitude of the leading integer; the magnitude stops growing past `limit`.
struct LeadingNumber {
    bool negative = false;
    bool digits = false;
    uint64_t magnitude = 0;
    bool overflow = false;
};

LeadingNumber scanInteger(QStringView text, uint64_t limit)
{
    LeadingNumber n;
    qsizetype i = skipSpace(text, 0);
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        n.negative = text[i] == QLatin1Char('-');
        ++i;
    }
    for (; i < text.size() && isDigit(text[i]); ++i) {
        n.digits = true;
        if (n.overflow)
            continue;
        n.magnitude = n.magnitude * 10 + static_cast<uint64_t>(text[i].unicode() - '0');
        if (n.magnitude > limit)
            n.overflow = true;
    }
    return n;
}

std::optional<IniTime> makeLocalTime(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23
        || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1; // the platform decides daylight saving
    const std::time_t t = std::mktime(&fields);
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<IniTime>(t);
}

int field(QStringView text, qsizetype from, qsizetype to)
{
    return leadingInt(text.mid(from, to - from));
}

} // namespace

bool isSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || (u >= u'\t' && u <= u'\r');
}

QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

int32_t leadingInt(QStringView text)
{
    constexpr uint64_t maxMagnitude = uint64_t(std::numeric_limits<int32_t>::max()) + 1;
    const LeadingNumber n = scanInteger(text, maxMagnitude);
    if (n.negative)
        return n.overflow ? std::numeric_limits<int32_t>::min() : static_cast<int32_t>(-static_cast<int64_t>(n.magnitude));
    if (n.overflow || n.magnitude > uint64_t(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(n.magnitude);
}

uint32_t leadingUInt(QStringView text)
{
    const LeadingNumber n = scanInteger(text, std::numeric_limits<uint32_t>::max());
    if (n.overflow)
        return std::numeric_limits<uint32_t>::max();
    const auto value = static_cast<uint32_t>(n.magnitude);
    return n.negative ? static_cast<uint32_t>(0u - value) : value;
}

double leadingDouble(QStringView text)
{
    // Find the extent of [sign] digits [. digits] [e [sign] digits] and hand it to from_chars,
    // which reads the C locale's form whatever the process locale is.
    qsizetype i = skipSpace(text, 0);
    std::string number;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-'))
            number += '-';
        ++i;
    }
    bool mantissaDigits = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        number += char(text[i].unicode());
        mantissaDigits = true;
    }
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        number += '.';
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            number += char(text[i].unicode());
            mantissaDigits = true;
        }
    }
    if (!mantissaDigits)
        return 0.0;
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            exponent += char(text[j++].unicode());
        const qsizetype firstDigit = j;
        for (; j < text.size() && isDigit(text[j]); ++j)
            exponent += char(text[j].unicode());
        if (j > firstDigit) // an "e" without digits is not part of the number
            number += exponent;
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone. The C library's reading in the "C" locale gives
        // what the rule asks for: an infinity on overflow, zero or the nearest subnormal on
        // underflow (also for "0.000...1" without an exponent).
        static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
        if (cLocale)
            return strtod_l(number.c_str(), nullptr, cLocale);
        const auto e = number.find('e');
        const bool tiny = e != std::string::npos && number.compare(e, 2, "e-") == 0;
        const bool negative = number.front() == '-';
        if (tiny)
            return negative ? -0.0 : 0.0;
        return negative ? -HUGE_VAL : HUGE_VAL;
    }
    return value;
}

std::optional<IniTime> parseTimestamp(QStringView text, bool acceptDateOnly)
{
    text = trimmed(text);
    const qsizetype last = text.size() - 1;
    const qsizetype dash1 = text.indexOf(QLatin1Char('-'));
    if (dash1 < 0 || dash1 == last)
        return std::nullopt;
    const qsizetype dash2 = text.indexOf(QLatin1Char('-'), dash1 + 1);
    if (dash2 < 0 || dash2 == last)
        return std::nullopt;
    const int year = field(text, 0, dash1);
    const int month = field(text, dash1 + 1, dash2);
    const qsizetype space = text.indexOf(QLatin1Char(' '), dash2 + 1);
    if (space < 0) {
        if (!acceptDateOnly)
            return std::nullopt;
        return makeLocalTime(year, month, field(text, dash2 + 1, text.size()), 0, 0, 0);
    }
    if (space == last)
        return std::nullopt;
    const int day = field(text, dash2 + 1, space);
    const qsizetype colon1 = text.indexOf(QLatin1Char(':'), space + 1);
    const qsizetype colon2 = colon1 < 0 ? -1 : text.indexOf(QLatin1Char(':'), colon1 + 1);
    if (colon1 == last || colon2 == last)
        return std::nullopt;
    if (colon1 < 0 || colon2 < 0)
        return makeLocalTime(year, month, day, 0, 0, 0);
    return makeLocalTime(year, month, day, field(text, space + 1, colon1), field(text, colon1 + 1, colon2),
                         field(text, colon2 + 1, text.size()));
}

std::optional<IniTime> parseTimeOnly(QStringView text)
{
    text = trimmed(text);
    const qsizetype colon1 = text.indexOf(QLatin1Char(':'));
    const qsizetype colon2 = colon1 < 0 ? -1 : text.indexOf(QLatin1Char(':'), colon1 + 1);
    if (colon1 < 0 || colon2 < 0)
        return std::nullopt;
    return makeLocalTime(1980, 1, 1, field(text, 0, colon1), field(text, colon1 + 1, colon2),
                         field(text, colon2 + 1, text.size()));
}

QString formatLocalTime(IniTime time, const char *format)
{
    const auto t = static_cast<std::time_t>(time);
    std::tm fields{};
    if (!localtime_r(&t, &fields))
        return {};
    char buffer[64];
    const std::size_t length = std::strftime(buffer, sizeof buffer, format, &fields);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(length));
}

IniLine parseIniLine(QStringView text)
{
    IniLine parsed;
    const QStringView line = trimmed(text);
    if (line.isEmpty() || line.front() == QLatin1Char(';'))
        return parsed;
    if (line.front() == QLatin1Char('[')) {
        const qsizetype close = line.indexOf(QLatin1Char(']'));
        if (close > 0) {
            parsed.kind = IniLine::Header;
            parsed.name = trimmed(line.mid(1, close - 1)).toString();
        }
        return parsed;
    }
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return parsed;
    parsed.kind = IniLine::Key;
    parsed.name = trimmed(line.left(equals)).toString();
    QStringView value = trimmed(line.mid(equals + 1));
    if (value.size() >= 2 && value.front() == QLatin1Char('"') && value.back() == QLatin1Char('"'))
        value = value.mid(1, value.size() - 2);
    parsed.value = value.toString();
    return parsed;
}

QString nameKey(const QString &name)
{
    return name.toCaseFolded();
}

QString storedValue(const QString &value)
{
    const bool edgeBlank = !value.isEmpty() && (isSpace(value.front()) || isSpace(value.back()));
    const bool quoted = value.size() >= 2 && value.front() == QLatin1Char('"') && value.back() == QLatin1Char('"');
    return edgeBlank || quoted ? QLatin1Char('"') + value + QLatin1Char('"') : value;
}

} // namespace initext
