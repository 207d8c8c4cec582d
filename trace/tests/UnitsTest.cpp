#include "trace/Units.h"

#include <gtest/gtest.h>

TEST(Units, ConvertKm)
{
    EXPECT_EQ(units::formatDecimals(units::convertKm(10.0f, "mi"), 3), "6.214");
    EXPECT_EQ(units::formatDecimals(units::convertKm(10.0f, "ft"), 3), "32.810");
    EXPECT_EQ(units::convertKm(10.0f, "m"), 10.0f);
    EXPECT_EQ(units::convertKm(10.0f, "yd"), 10.0f) << "an unknown unit leaves km";
}

TEST(Units, FormatDecimals)
{
    struct Case { float value; int n; const char *expected; };
    const Case cases[] = {
        {1.23456f, 1, "1.2"}, {1.23456f, 2, "1.23"}, {1.23456f, 3, "1.235"}, {1.23456f, 4, "1.2346"},
        {1.6f, 0, "2"}, {1.23456f, 5, "1"}, {-0.5f, 2, "-0.50"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(units::formatDecimals(c.value, c.n), QString::fromLatin1(c.expected)) << c.n;
}

TEST(Units, FixedFormats)
{
    EXPECT_EQ(units::pulseWidthText(999), "999 ns");
    EXPECT_EQ(units::pulseWidthText(1000), "1 us");
    EXPECT_EQ(units::pulseWidthText(2500), "2 us");
    EXPECT_EQ(units::wavelengthText(1550), "1550nm");
    EXPECT_EQ(units::refractiveIndexText(1.4682f), "1.468");
    EXPECT_EQ(units::averagingTimeText(30), "30S");
    EXPECT_EQ(units::longSuffix("mi"), "miles");
    EXPECT_EQ(units::longSuffix("ft"), "kft");
    EXPECT_EQ(units::longSuffix("m"), "km");
}
