#include "config/PassThresholds.h"

#include "IniTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

PassThresholds readFrom(const QByteArray &passThrdLines)
{
    ScratchFolder scratch;
    const QString path = scratch.write(u"Config.ini"_s, "[PassThrd]\n" + passThrdLines);
    PassThresholds t;
    ReadPassThresholds(path, t);
    return t;
}

TEST(PassThresholds, MissingFileGivesTheDefaults)
{
    ScratchFolder scratch;
    PassThresholds t;
    t.IncludeAvg = false;
    t.Reflection = 9.0f;
    ReadPassThresholds(scratch.path(u"Config.ini"_s), t);
    const float expected[] = {0.5f, 0.2f, 20.0f, -40.0f, 3.0f, 0.8f, 0.4f, 0.3f, 0.3f, 0.3f, 0.3f};
    const float read[] = {t.Reflection,  t.NonReflection, t.TotalLoss,   t.ReturnLoss,  t.AvgLoss850, t.AvgLoss1300,
                          t.AvgLoss1310, t.AvgLoss1490,   t.AvgLoss1550, t.AvgLoss1625, t.AvgLoss1650};
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_FLOAT_EQ(read[i], expected[i]) << i;
    EXPECT_TRUE(t.IncludeReflection && t.IncludeNonReflection && t.IncludeTotalLoss && t.IncludeReturnLoss
                && t.IncludeAvg);
    EXPECT_FALSE(QFile::exists(scratch.path(u"Config.ini"_s))) << "reading creates nothing";
}

TEST(PassThresholds, StoredValuesAndTheirFallbacks)
{
    const struct {
        std::string line;
        float PassThresholds::*limit;
        float expected;
    } cases[] = {
        {"ReturnLoss=-0.05", &PassThresholds::ReturnLoss, -40.0f},
        {"ReturnLoss=-0.1", &PassThresholds::ReturnLoss, -0.1f}, // not strictly beyond the bound
        {"ReturnLoss=-30", &PassThresholds::ReturnLoss, -30.0f},
        {"ReturnLoss=12", &PassThresholds::ReturnLoss, -40.0f},
        {"TotalLoss=0.05", &PassThresholds::TotalLoss, 20.0f},
        {"TotalLoss=35.5", &PassThresholds::TotalLoss, 35.5f},
        {"AvgLoss1550=0.05", &PassThresholds::AvgLoss1550, 0.3f},
        {"AvgLoss1310=0.35", &PassThresholds::AvgLoss1310, 0.35f},
        {"Reflection=0", &PassThresholds::Reflection, 0.5f},
        {"Reflection=0.02", &PassThresholds::Reflection, 0.02f},
        // 0.01 as a float lies just below 0.01 as a double, so the fallback applies.
        {"Reflection=0.01", &PassThresholds::Reflection, 0.5f},
        {"NonReflection= 0.35dB ", &PassThresholds::NonReflection, 0.35f},
        {"NonReflection=abc", &PassThresholds::NonReflection, 0.2f},
        {"nonreflection=0.4", &PassThresholds::NonReflection, 0.4f}, // names match without case
        // Only 259 characters count: the 30 after 259 zeros is cut off.
        {"TotalLoss=" + std::string(259, '0').append("30"), &PassThresholds::TotalLoss, 20.0f},
        {"TotalLoss=" + std::string(257, '0').append("30"), &PassThresholds::TotalLoss, 30.0f},
    };
    for (const auto &c : cases) {
        const PassThresholds t = readFrom(QByteArray(c.line.c_str()) + "\n");
        EXPECT_FLOAT_EQ(t.*c.limit, c.expected) << c.line.substr(0, 40);
    }
}

TEST(PassThresholds, SwitchesAreOnUnlessZero)
{
    const struct {
        const char *value;
        bool on;
    } cases[] = {{"0", false}, {" 0 ", false}, {"1", true}, {"no", true}, {"", true}, {"00", true}};
    for (const auto &c : cases) {
        const PassThresholds t = readFrom("IncludeAvg=" + QByteArray(c.value) + "\nIncludeReflection=" + c.value + "\n");
        EXPECT_EQ(t.IncludeAvg, c.on) << c.value;
        EXPECT_EQ(t.IncludeReflection, c.on) << c.value;
    }
}

TEST(PassThresholds, SaveWritesAllSixteenKeysAndReadsBack)
{
    ScratchFolder scratch;
    const QByteArray before = "[Color]\nTrace1=255\n\n[PassThrd]\nTotalLoss = 20.0\n; kept\n\n[Unit]\nDistance=m\n";
    const QString path = scratch.write(u"Config.ini"_s, before);

    PassThresholds t;
    t.IncludeAvg = false;
    t.IncludeReturnLoss = false;
    t.Reflection = 0.456f;
    t.TotalLoss = 18.26f;
    t.ReturnLoss = -45.0f;
    t.AvgLoss1310 = 0.3456f;
    ASSERT_TRUE(SavePassThresholds(path, t));

    EXPECT_EQ(scratch.read(u"Config.ini"_s),
              QByteArray("[Color]\nTrace1=255\n\n[PassThrd]\nTotalLoss=18.3\n; kept\nIncludeReflection=1\n"
                         "IncludeNonReflection=1\nIncludeTotalLoss=1\nIncludeReturnLoss=0\nIncludeAvg=0\n"
                         "Reflection=0.46\nNonReflection=0.20\nReturnLoss=-45.0\nAvgLoss850=3.000\n"
                         "AvgLoss1300=0.800\nAvgLoss1310=0.346\nAvgLoss1490=0.300\nAvgLoss1550=0.300\n"
                         "AvgLoss1625=0.300\nAvgLoss1650=0.300\n\n[Unit]\nDistance=m\n"));

    PassThresholds back;
    ReadPassThresholds(path, back);
    EXPECT_FALSE(back.IncludeAvg);
    EXPECT_FALSE(back.IncludeReturnLoss);
    EXPECT_TRUE(back.IncludeReflection);
    EXPECT_FLOAT_EQ(back.Reflection, 0.46f);
    EXPECT_FLOAT_EQ(back.TotalLoss, 18.3f);
    EXPECT_FLOAT_EQ(back.ReturnLoss, -45.0f);
}

TEST(PassThresholds, SaveCreatesAMissingFileAndReportsFailure)
{
    ScratchFolder scratch;
    const QString path = scratch.path(u"Config.ini"_s);
    PassThresholds zero;
    zero.Reflection = 0.0f; // stored as typed; the next read falls back
    ASSERT_TRUE(SavePassThresholds(path, zero));
    PassThresholds back;
    ReadPassThresholds(path, back);
    EXPECT_FLOAT_EQ(back.Reflection, 0.5f);

    scratch.write(u"file"_s, "x");
    EXPECT_FALSE(SavePassThresholds(scratch.path(u"file/Config.ini"_s), zero));
}

} // namespace
