// What the commands say to arguments they cannot use: the exact standard output, standard error
// and exit status of each, so that a change to how the arguments are read changes none of them.

#include "testsupport/SortoolRun.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ArgumentCase {
    const char *name;
    QStringList args; // @M a file that does not exist, @O an output file, @T the test's folder
    int exitCode;
    const char *out;
    const char *err;
};

// clang-format off
#define GEN_USAGE \
    "usage: sortool gen [options] OUT\n" \
    "  --preset patch|link|long   start from a preset (default: a 10 km fibre at 1550 nm)\n" \
    "  --wavelength NM            1310, 1550, ... (sets typical attenuation and backscatter)\n" \
    "  --pulse NS                 pulse width in ns\n" \
    "  --length M                 fibre length; the end moves there, later events are dropped\n" \
    "  --points N                 number of samples\n" \
    "  --sampling MHZ             sampling frequency (default: range 1.25 x the fibre)\n" \
    "  --index N                  group index\n" \
    "  --attenuation DB_PER_KM    fibre attenuation\n" \
    "  --backscatter DB           backscatter coefficient for 1 ns\n" \
    "  --noise-floor DB           floor below the launch level\n" \
    "  --end-reflectance DB       reflectance of the fibre end\n" \
    "  --averages N               number of averages\n" \
    "  --seed N                   noise seed (the same seed gives the same trace)\n" \
    "  --start-event DB           a launch event at 0 m with this reflectance (presets: -45)\n" \
    "  --event KIND:M[:LOSS[:REFL]]  splice, connector or end at M metres; repeatable, replaces\n" \
    "                             the preset's events (e.g. splice:12000:0.15, connector:20000:0.5:-45)\n" \
    "  --cable ID  --fiber ID  --fiber-type N  --operator NAME  --comment TEXT\n" \
    "  --loc-a TEXT  --loc-b TEXT  --supplier TEXT  --gps TEXT\n"
#define REPORT_USAGE \
    "usage: sortool report [--per-page 1|2|4|6|8] [--summary] [--config FILE] --out FILE.pdf FILE.sor...\n" \
    "       sortool report --bidir [--summary] [--config FILE] --out FILE.pdf AB.sor BA.sor [AB.sor BA.sor ...]\n" \
    "       sortool report [--config FILE] --out FILE.pdf FILE.opm\n"

const ArgumentCase argumentCases[] = {
    {"dumpNoFile", {"dump"}, 2,
     "",
     "usage: sortool dump [--points] [--no-analysis] FILE...\n"},
    {"dumpFlagsOnly", {"dump", "--points", "--no-analysis"}, 2,
     "",
     "usage: sortool dump [--points] [--no-analysis] FILE...\n"},
    {"dumpUnknownOptionIsAFile", {"dump", "--no-analysis", "--bogus"}, 1,
     "{\"file\":\"--bogus\",\"result\":2,\"checksumMatches\":false}\n",
     ""},
    {"dumpMissingFile", {"dump", "--no-analysis", "@M"}, 1,
     "{\"file\":\"@M\",\"result\":2,\"checksumMatches\":false}\n",
     ""},
    {"dumpDashedNamesAreFiles", {"dump", "--no-analysis", "--", "-points"}, 1,
     "[{\"file\":\"--\",\"result\":2,\"checksumMatches\":false},{\"file\":\"-points\",\"result\":2,\"checksumMatches\":false}]\n",
     ""},
    {"resaveOptionWithValueIsAFile", {"resave", "--no-analysis", "--analyze=1", "@O"}, 1,
     "",
     "sortool resave: cannot open --analyze=1 (result 2)\n"},
    {"resaveNoFiles", {"resave"}, 2,
     "",
     "usage: sortool resave [--no-analysis | --analyze] IN OUT\n"},
    {"resaveOneFile", {"resave", "@M"}, 2,
     "",
     "usage: sortool resave [--no-analysis | --analyze] IN OUT\n"},
    {"resaveUnknownOptionIsAFile", {"resave", "--no-analysis", "--bogus", "@O"}, 1,
     "",
     "sortool resave: cannot open --bogus (result 2)\n"},
    {"resaveThreeFiles", {"resave", "--bogus", "@M", "@O"}, 2,
     "",
     "usage: sortool resave [--no-analysis | --analyze] IN OUT\n"},
    {"resaveBothAnalysisOptions", {"resave", "--analyze", "--no-analysis", "@M", "@O"}, 2,
     "",
     "usage: sortool resave [--no-analysis | --analyze] IN OUT\n"},
    {"resaveMissingFile", {"resave", "--no-analysis", "@M", "@O"}, 1,
     "",
     "sortool resave: cannot open @M (result 2)\n"},
    {"genNoOutput", {"gen"}, 2,
     "",
     GEN_USAGE},
    {"genUnknownOption", {"gen", "--bogus", "1", "@O"}, 2,
     "",
     GEN_USAGE "sortool gen: unknown option: --bogus\n"},
    {"genMissingValue", {"gen", "@O", "--points"}, 2,
     "",
     "sortool gen: missing value after: --points\n"},
    {"genUnknownOptionLast", {"gen", "@O", "--bogus"}, 2,
     "",
     "sortool gen: missing value after: --bogus\n"},
    {"genBadValue", {"gen", "--pulse", "0", "@O"}, 2,
     "",
     "sortool gen: bad pulse width: 0\n"},
    {"genUnknownPreset", {"gen", "--points", "100", "--preset", "huge", "@O"}, 2,
     "",
     "sortool gen: unknown preset: huge\n"},
    {"genTwoOutputs", {"gen", "@O", "@O"}, 2,
     "",
     "sortool gen: more than one output file: @O\n"},
    {"genBadEvent", {"gen", "--event", "bend:1000:0.1", "@O"}, 2,
     "",
     "sortool gen: bad event (KIND:M[:LOSS[:REFL]]): bend:1000:0.1\n"},
    {"genUnwritableOutput", {"gen", "--points", "100", "@T/no/such/folder/x.sor"}, 1,
     "",
     "sortool: cannot write \"@T/no/such/folder/x.sor\" \"No such file or directory\"\n"
     "sortool gen: cannot write @T/no/such/folder/x.sor\n"},
    {"eventsNoCsv", {"events", "@M"}, 2,
     "",
     "sortool events: --csv is needed (the only output form)\n"
     "usage: sortool events --csv [--no-analysis] FILE...\n"},
    {"eventsNoFile", {"events", "--csv"}, 2,
     "",
     "sortool events: no files given\n"
     "usage: sortool events --csv [--no-analysis] FILE...\n"},
    {"eventsUnknownOption", {"events", "--csv", "--bogus", "@M"}, 2,
     "",
     "sortool events: unknown option: --bogus\n"
     "usage: sortool events --csv [--no-analysis] FILE...\n"},
    {"eventsMissingFile", {"events", "--csv", "--no-analysis", "@M"}, 1,
     "file,event,type,code,distance_km,segment_km,loss_db,total_loss_db,slope_db_km,reflectance_db\r\n",
     "sortool events: cannot read @M\n"},
    {"eventsHelp", {"events", "--help"}, 0,
     "usage: sortool events --csv [--no-analysis] FILE...\n",
     ""},
    {"opmNoFile", {"opm"}, 2,
     "",
     "usage: sortool opm FILE.opm\n"},
    {"opmTwoFiles", {"opm", "@M", "@M"}, 2,
     "",
     "usage: sortool opm FILE.opm\n"},
    {"opmUnknownOption", {"opm", "--json"}, 2,
     "",
     "usage: sortool opm FILE.opm\n"},
    {"opmMissingFile", {"opm", "@M"}, 1,
     "",
     "sortool opm: cannot read @M\n"},
    {"reportNothing", {"report"}, 2,
     "",
     REPORT_USAGE},
    {"reportMissingOutValue", {"report", "@M", "--out"}, 2,
     "",
     REPORT_USAGE},
    {"reportMissingPerPageValue", {"report", "--out", "@O", "@M", "--per-page"}, 2,
     "",
     REPORT_USAGE},
    {"reportBadPerPage", {"report", "--per-page", "3", "--out", "@O", "@M"}, 2,
     "",
     "sortool report: --per-page must be 1, 2, 4, 6 or 8, not 3\n"},
    {"reportUnknownOption", {"report", "--bogus", "--out", "@O", "@M"}, 2,
     "",
     REPORT_USAGE},
    {"reportNoFiles", {"report", "--out", "@O"}, 2,
     "",
     REPORT_USAGE},
    {"reportNoOut", {"report", "@M"}, 2,
     "",
     REPORT_USAGE},
    {"reportMissingFile", {"report", "--out", "@O", "@M"}, 1,
     "",
     "sortool report: cannot read @M (result 2)\n"},
};
// clang-format on
#undef GEN_USAGE
#undef REPORT_USAGE

TEST(CommandArguments, BadArgumentsGetTheirExactMessageAndStatus)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing.sor"));
    const QString output = dir.filePath(QStringLiteral("out.sor"));
    const auto place = [&](QString text) {
        return text.replace(QLatin1String("@M"), missing).replace(QLatin1String("@O"), output).replace(QLatin1String("@T"), dir.path());
    };
    for (const ArgumentCase &c : argumentCases) {
        SCOPED_TRACE(c.name);
        QStringList args;
        for (const QString &a : c.args)
            args << place(a);
        const testsupport::ToolRun r = testsupport::runSortool(args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(QString::fromLocal8Bit(r.out).toStdString(), place(QString::fromUtf8(c.out)).toStdString());
        EXPECT_EQ(QString::fromLocal8Bit(r.err).toStdString(), place(QString::fromUtf8(c.err)).toStdString());
        if (c.exitCode == 2) {
            EXPECT_FALSE(QFile::exists(output)) << "a usage error writes nothing";
        }
        QFile::remove(output);
    }
}

} // namespace
