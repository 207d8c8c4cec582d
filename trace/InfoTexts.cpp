#include "trace/InfoTexts.h"

#include "trace/SorMath.h"

#include <array>

namespace infotexts {

namespace {

// Windows-1252 bytes 0x80..0x9F; the unassigned ones map to the control of the same number.
constexpr std::array<char16_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char encode1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (size_t i = 0; i < cp1252High.size(); ++i) {
        if (cp1252High[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

// UTF-8 texts of the read pass through a 256-byte buffer and are taken when shorter than 250
// bytes. A supplier name of 250 bytes or more gives an empty value. Operator, location and
// comment texts of that length are cut to their first 249 bytes, at a character boundary, so
// the user keeps the beginning of what the instrument stored.
constexpr qsizetype utf8Limit = 250;

QString utf8Cut(const QByteArray &bytes)
{
    if (bytes.size() < utf8Limit)
        return QString::fromUtf8(bytes);
    qsizetype n = utf8Limit - 1;
    while (n > 0 && (static_cast<uint8_t>(bytes[n]) & 0xC0) == 0x80)
        --n; // bytes[n] continues a character that started before it: drop that character
    return QString::fromUtf8(bytes.constData(), n);
}

QString utf8OrEmpty(const QByteArray &bytes)
{
    return bytes.size() < utf8Limit ? QString::fromUtf8(bytes) : QString();
}

// Time in 100 ps to metres with the group index n, in double.
float timeToMetres(int32_t time, float n)
{
    return static_cast<float>(metresForTimeUnits(time, n));
}

// Metres back to 100 ps, rounded half up and truncated toward zero.
int32_t metresToTime(float metres, float n)
{
    return sormath::truncToInt32(timeUnitsForMetres(metres, n) + 0.5);
}

} // namespace

bool split(const QString &text, QString &key, QString &value)
{
    const qsizetype first = text.indexOf(QLatin1Char('='));
    if (first < 0)
        return false;
    key = text.left(first);
    const qsizetype second = text.indexOf(QLatin1Char('='), first + 1);
    value = second < 0 ? text.mid(first + 1) : text.mid(first + 1, second - first - 1);
    return true;
}

int32_t toInt(const QString &value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == QLatin1Char('+') || value[i] == QLatin1Char('-'))) {
        negative = value[i] == QLatin1Char('-');
        ++i;
    }
    int64_t v = 0;
    for (; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        if (c < u'0' || c > u'9')
            break;
        v = v * 10 + (c - u'0');
        if (v > INT64_C(2147483648))
            v = INT64_C(2147483648);
    }
    if (negative)
        v = -v;
    if (v > INT32_MAX)
        v = INT32_MAX;
    return static_cast<int32_t>(v);
}

QString fromLocal8Bit(const QByteArray &bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uint8_t b = static_cast<uint8_t>(bytes[i]);
        dst[i] = (b >= 0x80 && b < 0xA0) ? cp1252High[b - 0x80] : b;
    }
    return out;
}

QByteArray toLocal8Bit(const QString &text, qsizetype maxBytes)
{
    QByteArray out;
    const qsizetype n = text.size() < maxBytes ? text.size() : maxBytes;
    out.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        out.append(encode1252(text[i].unicode()));
    return out;
}

QByteArray toUtf8(const QString &text, qsizetype maxBytes)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.size() <= maxBytes)
        return bytes;
    qsizetype n = maxBytes;
    while (n > 0 && (static_cast<uint8_t>(bytes[n]) & 0xC0) == 0x80)
        --n;
    bytes.truncate(n);
    return bytes;
}

QStringList fromBlocks(const SorBlocks &b)
{
    const GenParams &g = b.genParams;
    const SupParams &s = b.supParams;
    QStringList texts;
    texts.reserve(16);
    texts << QStringLiteral("Operator=") + utf8Cut(g.operatorName);
    texts << QStringLiteral("supplier=") + utf8OrEmpty(s.supplier);
    texts << QStringLiteral("UO=%1").arg(g.userOffset);
    texts << QStringLiteral("UOD=%1").arg(g.userOffsetDistance);
    texts << QStringLiteral("AveragingTime=%1").arg(b.fxdParams.averagingTime);
    if (!s.other.isEmpty())
        texts << QStringLiteral("GPS=") + fromLocal8Bit(s.other);
    if (!g.cableId.isEmpty())
        texts << QStringLiteral("CableID=") + fromLocal8Bit(g.cableId);
    if (!g.fiberId.isEmpty())
        texts << QStringLiteral("FiberID=") + fromLocal8Bit(g.fiberId);
    texts << QStringLiteral("FiberType=%1").arg(g.fiberType);
    texts << QStringLiteral("CursorA=%1").arg(b.vendor.cursorA);
    texts << QStringLiteral("CursorB=%1").arg(b.vendor.cursorB);
    texts << QStringLiteral("LocA=") + utf8Cut(g.locationA);
    texts << QStringLiteral("LocB=") + utf8Cut(g.locationB);
    texts << QStringLiteral("Comment=") + utf8Cut(g.comment);
    if (!s.moduleId.isEmpty())
        texts << QStringLiteral("Model=") + fromLocal8Bit(s.moduleId);
    if (!s.moduleSerial.isEmpty())
        texts << QStringLiteral("SN=") + fromLocal8Bit(s.moduleSerial);
    return texts;
}

void applyToTrace(const QStringList &texts, TraceData &t)
{
    QString key;
    QString value;
    for (const QString &text : texts) {
        if (!split(text, key, value) || value.isEmpty())
            continue;
        if (key == u"UO") {
            t.userOffset = timeToMetres(toInt(value), t.refractiveIndex);
        } else if (key == u"UOD") {
            t.userOffsetDistance = static_cast<float>(toInt(value) / 100.0);
        } else if (key == u"AveragingTime") {
            const int32_t v = toInt(value);
            t.averagingTime = v == 0 ? 30 : v;
        } else if (key == u"Operator") {
            t.operatorName = value;
        } else if (key == u"supplier") {
            t.supplier = value;
        } else if (key == u"CableID") {
            t.cableId = value;
        } else if (key == u"FiberID") {
            t.fiberId = value;
        } else if (key == u"FiberType") {
            t.fiberType = toInt(value);
        } else if (key == u"CursorA") {
            t.cursorA = timeToMetres(toInt(value), t.refractiveIndex);
        } else if (key == u"CursorB") {
            t.cursorB = timeToMetres(toInt(value), t.refractiveIndex);
        } else if (key == u"LocA") {
            t.locationA = value;
        } else if (key == u"LocB") {
            t.locationB = value;
        } else if (key == u"Comment") {
            t.comment = value;
        } else if (key == u"GPS") {
            t.gps = value;
        } else if (key == u"Model") {
            t.model = value;
        } else if (key == u"SN") {
            t.serialNumber = value;
        } else if (key == u"Direction") {
            t.direction = value;
        }
    }
}

float recordUserOffset(const SorRecord &record)
{
    float offset = 0.0f;
    QString key;
    QString value;
    for (const QString &text : record.infoTexts) {
        if (split(text, key, value) && key == u"UO" && !value.isEmpty())
            offset = timeToMetres(toInt(value), record.refractiveIndex);
    }
    return offset;
}

QStringList forSave(const TraceData &t)
{
    const float n = t.refractiveIndex;
    QStringList texts;
    if (t.userOffset != 0.0f)
        texts << QStringLiteral("UO=%1").arg(metresToTime(t.userOffset, n));
    texts << QStringLiteral("AveragingTime=%1").arg(t.averagingTime);
    texts << QStringLiteral("CableID=") + t.cableId;
    texts << QStringLiteral("FiberID=") + t.fiberId;
    texts << QStringLiteral("Operator=") + t.operatorName;
    texts << QStringLiteral("FiberType=%1").arg(t.fiberType);
    texts << QStringLiteral("CursorA=%1").arg(metresToTime(t.cursorA, n));
    texts << QStringLiteral("CursorB=%1").arg(metresToTime(t.cursorB, n));
    return texts;
}

void applyToBlocks(const QStringList &texts, SorBlocks &b)
{
    constexpr qsizetype maxBytes = 255;
    QString key;
    QString value;
    for (const QString &text : texts) {
        if (!split(text, key, value))
            continue;
        const bool empty = value.isEmpty();
        if (key == u"Operator") {
            b.genParams.operatorName = toUtf8(value, maxBytes);
        } else if (key == u"CableID") {
            b.genParams.cableId = toLocal8Bit(value, maxBytes);
        } else if (key == u"FiberID") {
            b.genParams.fiberId = toLocal8Bit(value, maxBytes);
        } else if (empty) {
            continue;
        } else if (key == u"UO") {
            b.genParams.userOffset = toInt(value);
        } else if (key == u"UOD") {
            b.genParams.userOffsetDistance = toInt(value);
        } else if (key == u"AveragingTime") {
            b.fxdParams.averagingTime = static_cast<uint16_t>(toInt(value));
        } else if (key == u"FiberType") {
            b.genParams.fiberType = static_cast<int16_t>(toInt(value));
        } else if (key == u"CursorA") {
            b.vendor.cursorA = toInt(value);
        } else if (key == u"CursorB") {
            b.vendor.cursorB = toInt(value);
        }
    }
}

} // namespace infotexts
