#include "config/IniText.h"

#include "IniTestSupport.h"


#include "testsupport/CommaDecimalLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(IniText, LeadingIntegers)
{
    const struct {
        const char *text;
        int32_t expected;
    } cases[] = {
        {"255", 255},
        {" 255", 255},
        {"\t-17abc", -17},
        {"+42", 42},
        {"abc", 0},
        {"-", 0},
        {"12 34", 12},
        {"2147483647", 2147483647},
        {"2147483648", std::numeric_limits<int32_t>::max()},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"-99999999999999999999", std::numeric_limits<int32_t>::min()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(initext::leadingInt(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(IniText, LeadingUnsignedNumbers)
{
    const struct {
        const char *text;
        uint32_t expected;
    } cases[] = {
        {"4294967295", 4294967295u},
        {"4294967296", 4294967295u},
        {"-1", 4294967295u},
        {"-5", 4294967291u},
        {"-2147483648", 2147483648u}, // what "%d" of 2147483648 reads back as
        {" +7x", 7u},
        {"x7", 0u},
    };
    for (const auto &c : cases)
        EXPECT_EQ(initext::leadingUInt(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(IniText, LeadingFloatingPointNumbers)
{
    const struct {
        const char *text;
        double expected;
    } cases[] = {
        {"1.5", 1.5},
        {"  -0.25dB", -0.25},
        {".5", 0.5},
        {"5.", 5.0},
        {"1e3", 1000.0},
        {"2.5E-1x", 0.25},
        {"3e", 3.0},   // an exponent without digits is not part of the number
        {"3e+", 3.0},
        {"1,5", 1.0},  // the decimal mark is always a point
        {"abc", 0.0},
        {".", 0.0},
        {"-", 0.0},
        {"nan", 0.0},  // only decimal numbers count
        {"1e-999", 0.0},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(initext::leadingDouble(QString::fromLatin1(c.text)), c.expected) << c.text;
    EXPECT_EQ(initext::leadingDouble(u"1e999"), HUGE_VAL);
    EXPECT_EQ(initext::leadingDouble(u"-1e999"), -HUGE_VAL);
    EXPECT_EQ(initext::leadingDouble(QStringLiteral("1") + QString(400, u'0')), HUGE_VAL);

    // Underflow reads as zero or the nearest subnormal, never as an infinity, with or without
    // an exponent.
    const QString tiny = QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1");
    EXPECT_EQ(initext::leadingDouble(tiny), 0.0);
    EXPECT_EQ(initext::leadingDouble(QStringLiteral("-") + tiny), 0.0);
    EXPECT_TRUE(std::signbit(initext::leadingDouble(QStringLiteral("-") + tiny)));
    EXPECT_EQ(initext::leadingDouble(u"3e-324"), std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(initext::leadingDouble(u"2e-324"), 0.0);
}

TEST(IniText, NumbersIgnoreTheProcessLocale)
{
    // A comma-decimal locale must not change how "0.35" reads, nor how an out-of-range number
    // is read.
    CommaDecimalLocale commaLocale;
    const double plain = initext::leadingDouble(u"0.35");
    const double huge = initext::leadingDouble(u"1.5e999");
    const double tiny = initext::leadingDouble(QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("5"));
    commaLocale.restore();
    if (!commaLocale.active())
        GTEST_SKIP() << "no comma-decimal locale available";
    EXPECT_DOUBLE_EQ(plain, 0.35);
    EXPECT_EQ(huge, HUGE_VAL);
    EXPECT_EQ(tiny, 0.0);
}

TEST(IniText, Timestamps)
{
    TimeZoneScope utc("UTC");
    constexpr IniTime jan2 = 1577923200; // 2020-01-02 00:00:00 UTC
    const struct {
        const char *text;
        bool dateOnly;
        std::optional<IniTime> expected;
    } cases[] = {
        {"2020-01-02 03:04:05", false, jan2 + 3 * 3600 + 4 * 60 + 5},
        {"  2020-01-02 03:04:05  ", false, jan2 + 11045},
        {"2020-01-02 03", false, jan2},       // a colon missing: midnight
        {"2020-01-02 03:04", false, jan2},
        {"2020-01-02", false, std::nullopt},  // no space
        {"2020-01-02", true, jan2},
        {"2020-01-02 03:", false, std::nullopt}, // separator at the very end
        {"2020-01-02 03:04:", false, std::nullopt},
        {"2020-01-", true, std::nullopt},
        {"2020", true, std::nullopt},
        {"1899-12-31 00:00:00", false, std::nullopt},
        {"2020-13-01 00:00:00", false, std::nullopt},
        {"2020-01-32 00:00:00", false, std::nullopt},
        {"2020-01-02 24:00:00", false, std::nullopt},
        {"2020-01-02 00:60:00", false, std::nullopt},
        {"", true, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(initext::parseTimestamp(QString::fromLatin1(c.text), c.dateOnly), c.expected) << c.text;
}

TEST(IniText, TimesOfDayFallOnJanuaryFirst1980)
{
    TimeZoneScope utc("UTC");
    constexpr IniTime jan1st1980 = 315532800;
    EXPECT_EQ(initext::parseTimeOnly(u"12:34:56"), jan1st1980 + 12 * 3600 + 34 * 60 + 56);
    EXPECT_EQ(initext::parseTimeOnly(u"12:34"), std::nullopt);
    EXPECT_EQ(initext::parseTimeOnly(u"25:00:00"), std::nullopt);
}

TEST(IniText, LocalTimeFollowsTheTimeZone)
{
    TimeZoneScope zone("CET-1");
    const IniTime t = initext::parseTimestamp(u"2020-01-02 03:04:05", false).value();
    EXPECT_EQ(t, 1577923200 + 2 * 3600 + 4 * 60 + 5);
    EXPECT_EQ(initext::formatLocalTime(t, "%Y-%m-%d %H:%M:%S"), QStringLiteral("2020-01-02 03:04:05"));
}

} // namespace
