#include "config/Configuration.h"
#include "config/PassThresholds.h"

#include "IniTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<CMemIniFile> loadIni(const ScratchFolder &scratch, const QByteArray &content)
{
    auto ini = std::make_unique<CMemIniFile>();
    ini->AttachFile(scratch.write(u"Config.ini"_s, content));
    return ini;
}

TEST(Configuration, NoConfigFileGivesTheAbsentValues)
{
    ScratchFolder scratch;
    CMemIniFile g_iniConfig;
    bindConfiguration(scratch.folder(), g_iniConfig);
    EXPECT_EQ(g_iniConfig.boundPath(), configFilePath(scratch.folder()));

    const DisplaySettings display = readDisplaySettings(g_iniConfig);
    for (uint32_t colour : display.viewColours.trace)
        EXPECT_EQ(colour, 0u);
    EXPECT_EQ(display.viewColours.back, 0u);
    EXPECT_EQ(display.colours.grid, 0u);
    EXPECT_FALSE(display.gridVisible);
    EXPECT_TRUE(display.multiMode);
    EXPECT_EQ(display.distanceDecimals, 0);
    EXPECT_TRUE(display.distanceUnit.isEmpty());
    EXPECT_TRUE(readSorFilePath(g_iniConfig).isEmpty());

    const PrintSettings print = readPrintSettings(g_iniConfig);
    EXPECT_TRUE(print.selectLogo && print.selectShowVersion && print.selectJob && print.selectConfig
                && print.selectComment && print.selectTrace && print.selectEvent);
    EXPECT_TRUE(print.selfDefine);
    EXPECT_TRUE(print.job.isEmpty() && print.operatorName.isEmpty() && print.wavelength.isEmpty());
}

TEST(Configuration, SwitchesCompareTheStoredText)
{
    const struct {
        const char *stored; // nullptr: key absent
        bool gridVisible;   // on only if "0"
        bool multiMode;     // on unless "0"
    } cases[] = {
        {"0", true, false},
        {"1", false, true},
        {"yes", false, true},
        {"", false, true},
        {" 0 ", true, false}, // blanks around a value are no part of it, as in every reader
        {nullptr, false, true},
    };
    for (const auto &c : cases) {
        ScratchFolder scratch;
        QByteArray content = "[Condition]\n[FileList]\n";
        if (c.stored)
            content = "[Condition]\nGrid=" + QByteArray(c.stored) + "\n[FileList]\nMultiMode=" + QByteArray(c.stored) + "\n";
        const DisplaySettings settings = readDisplaySettings(*loadIni(scratch, content));
        const char *label = c.stored ? c.stored : "(absent)";
        EXPECT_EQ(settings.gridVisible, c.gridVisible) << label;
        EXPECT_EQ(settings.multiMode, c.multiMode) << label;
    }
}

TEST(Configuration, ColoursAndUnits)
{
    ScratchFolder scratch;
    const auto ini = loadIni(scratch, "[Color]\nTrace1=255\nTrace8= 16711680\nBack=abc\nCursor=-1\n"
                                             "[Unit]\nDistance=ft\nDFigure=7\n");
    const DisplaySettings s = readDisplaySettings(*ini);
    EXPECT_EQ(s.viewColours.trace[0], 255u);
    EXPECT_EQ(s.viewColours.trace[7], 16711680u);
    EXPECT_EQ(s.viewColours.trace[1], 0u);
    EXPECT_EQ(s.viewColours.back, 0u) << "non-numeric text is black";
    EXPECT_EQ(s.viewColours.cursor, 0xFFFFFFFFu);
    EXPECT_EQ(s.colours.trace, s.viewColours.trace);
    EXPECT_EQ(s.distanceUnit, u"ft"_s);
    EXPECT_EQ(s.distanceDecimals, 7) << "passed on as stored; the event list decides";
}

TEST(Configuration, SelfDefineDecidesWhetherTheNineTextsAreRead)
{
    ScratchFolder scratch;
    const QByteArray texts = "Wavelength=1550\nPulse=100\nIndex=1.4680\nAverage=30\nSelectEvent=0\nOperator=Li\n";
    {
        const PrintSettings p = readPrintSettings(*loadIni(scratch, "[PrintSetting]\nSelfDefine=0\n" + texts));
        EXPECT_FALSE(p.selfDefine);
        EXPECT_TRUE(p.wavelength.isEmpty() && p.pulse.isEmpty() && p.index.isEmpty());
        EXPECT_FALSE(p.selectEvent);
        EXPECT_EQ(p.operatorName, u"Li"_s);
    }
    {
        const PrintSettings p = readPrintSettings(*loadIni(scratch, "[PrintSetting]\nSelfDefine=1\n" + texts));
        EXPECT_TRUE(p.selfDefine);
        EXPECT_EQ(p.wavelength, u"1550"_s);
        EXPECT_EQ(p.index, u"1.4680"_s);
        EXPECT_EQ(p.average, u"30"_s);
    }
}

TEST(Configuration, WritesDuringARunStayInMemory)
{
    ScratchFolder scratch;
    const QByteArray original = "[FileList]\nMultiMode=0\n[GlobalSetting]\nSorFilePath=/data\n";
    scratch.write(u"Config.ini"_s, original);
    CMemIniFile g_iniConfig;
    bindConfiguration(scratch.folder(), g_iniConfig);

    writeMultiMode(g_iniConfig, true);
    writeSorFilePath(g_iniConfig, u"/home/tech/traces"_s);
    EXPECT_TRUE(readDisplaySettings(g_iniConfig).multiMode);
    EXPECT_EQ(readSorFilePath(g_iniConfig), u"/home/tech/traces"_s);
    EXPECT_EQ(scratch.read(u"Config.ini"_s), original);

    // Changing the file meanwhile does not reach the copy; a new start reads the file again.
    scratch.write(u"Config.ini"_s, "[FileList]\nMultiMode=1\n");
    EXPECT_EQ(readSorFilePath(g_iniConfig), u"/home/tech/traces"_s);
    bindConfiguration(scratch.folder(), g_iniConfig);
    EXPECT_TRUE(readSorFilePath(g_iniConfig).isEmpty());
}

// Perceived brightness, 0..255, of a 0x00BBGGRR colour.
int brightness(uint32_t colour)
{
    const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    return (299 * r + 587 * g + 114 * b) / 1000;
}

TEST(ShippedConfig, IsAReadableStartingPoint)
{
    CMemIniFile ini;
    ini.AttachFile(QStringLiteral(SHIPPED_CONFIG_INI));
    ASSERT_FALSE(ini.lines().isEmpty());

    const DisplaySettings s = readDisplaySettings(ini);
    const ColourSettings &c = s.viewColours;
    EXPECT_LT(brightness(c.back), 60) << "dark background";
    EXPECT_GT(brightness(c.grid) - brightness(c.back), 40) << "grid visible on the background";
    const std::set<uint32_t> distinct(c.trace.begin(), c.trace.end());
    EXPECT_EQ(distinct.size(), c.trace.size());
    for (uint32_t colour : c.trace) {
        EXPECT_NE(colour, 0u) << "black is the trace layer's transparent colour";
        EXPECT_EQ(colour & 0xFF000000u, 0u);
        EXPECT_GT(brightness(colour) - brightness(c.back), 80) << std::hex << colour;
    }
    EXPECT_GT(brightness(c.eventMarker), 150);
    EXPECT_NE(c.cursor, 0u);
    EXPECT_EQ(distinct.count(c.cursor), 0u) << "the active cursor stands out from every trace";
    EXPECT_TRUE(s.gridVisible);
    EXPECT_TRUE(s.multiMode);
    EXPECT_EQ(s.distanceUnit, u"m"_s);
    EXPECT_EQ(s.distanceDecimals, 3);

    const PrintSettings p = readPrintSettings(ini);
    EXPECT_FALSE(p.selfDefine);
    EXPECT_TRUE(p.selectLogo && p.selectShowVersion && p.selectJob && p.selectConfig && p.selectComment
                && p.selectTrace && p.selectEvent);
    EXPECT_TRUE(readSorFilePath(ini).isEmpty());

    PassThresholds read;
    read.IncludeAvg = false;
    read.TotalLoss = 1.0f;
    ReadPassThresholds(QStringLiteral(SHIPPED_CONFIG_INI), read);
    const PassThresholds defaults;
    EXPECT_TRUE(read.IncludeReflection && read.IncludeNonReflection && read.IncludeTotalLoss
                && read.IncludeReturnLoss && read.IncludeAvg);
    EXPECT_FLOAT_EQ(read.Reflection, defaults.Reflection);
    EXPECT_FLOAT_EQ(read.TotalLoss, defaults.TotalLoss);
    EXPECT_FLOAT_EQ(read.ReturnLoss, defaults.ReturnLoss);
    EXPECT_FLOAT_EQ(read.AvgLoss1310, defaults.AvgLoss1310);
    EXPECT_FLOAT_EQ(read.AvgLoss850, defaults.AvgLoss850);
}

} // namespace
