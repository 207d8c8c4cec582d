#include "tools/Commands.h"
#include "trace/CSorFileBase.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <string>
#include <vector>

namespace {

int run(std::vector<std::string> args)
{
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    return runGen(static_cast<int>(argv.size()), argv.data());
}

double eventMetres(const SorRecord &r, size_t i)
{
    return r.events[i].time * 299792458.0 / (r.refractiveIndex * 1e10);
}

struct CommandCase {
    const char *name;
    std::vector<std::string> args;
    std::vector<double> metres; // event distances the file must hold
    int wavelength;
    int attenuation;            // KeyEvents attenuation, 0.001 dB/km
};

// ctest names a case by this text.
void PrintTo(const CommandCase &c, std::ostream *os) { *os << c.name; }

class GenCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(GenCommand, WritesTheRequestedFibre)
{
    const CommandCase &c = GetParam();
    QTemporaryDir dir;
    const std::string out = dir.filePath(QStringLiteral("out.sor")).toStdString();
    std::vector<std::string> args = c.args;
    args.push_back(out);
    ASSERT_EQ(run(args), 0);

    CSorFileBase file;
    SorRecord r;
    ASSERT_EQ(file.ReadFile(QString::fromStdString(out), r), 1);
    EXPECT_EQ(r.wavelengthNm, c.wavelength);
    ASSERT_EQ(r.events.size(), c.metres.size());
    for (size_t i = 0; i < c.metres.size(); ++i) {
        EXPECT_NEAR(eventMetres(r, i), c.metres[i], 0.02) << i;
        // A start event at 0 m has no fibre before it.
        EXPECT_EQ(r.events[i].attenuation, c.metres[i] == 0 ? 0 : c.attenuation) << i;
    }
    EXPECT_EQ(r.events.back().code.left(2), QByteArray("1E"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GenCommand,
    ::testing::Values(
        CommandCase{"defaults", {}, {10000}, 1550, 190},
        CommandCase{"patchPreset", {"--preset", "patch"}, {0, 650, 1300, 2000}, 1310, 330},
        CommandCase{"presetShortened", {"--length", "20000", "--preset", "link"}, {0, 4200, 8300, 12500, 17800, 20000}, 1550, 190},
        CommandCase{"ownEvents",
                    {"--wavelength", "1310", "--event", "connector:20000:0.5:-45", "--event", "splice:12000:0.15",
                     "--length", "30000"},
                    {12000, 20000, 30000}, 1310, 330},
        CommandCase{"startEvent", {"--start-event", "-40", "--event", "end:5000", "--points", "4000"}, {0, 5000}, 1550, 190},
        CommandCase{"explicitEnd", {"--event", "end:7000", "--attenuation", "0.25", "--points", "4000"}, {7000}, 1550, 250}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(GenCommand, RejectsBadArguments)
{
    QTemporaryDir dir;
    const std::string out = dir.filePath(QStringLiteral("bad.sor")).toStdString();
    const std::vector<std::vector<std::string>> bad = {
        {},                                      // no output
        {"--preset", "huge", out},
        {"--event", "splice:abc", out},
        {"--event", "bend:1000:0.1", out},
        {"--event", "connector:1000:0.5:3", out}, // a reflectance above 0 dB
        {"--pulse", "0", out},
        {"--points", out},                       // value missing, so no output either
        {"--colour", "red", out},
        {out, out},
    };
    for (const auto &args : bad) {
        std::string joined;
        for (const std::string &a : args)
            joined += a + ' ';
        EXPECT_EQ(run(args), 2) << joined;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));
    EXPECT_EQ(run({dir.filePath(QStringLiteral("no/such/folder/x.sor")).toStdString()}), 1);
}

} // namespace
