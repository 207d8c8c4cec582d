// sortool points and sortool picture, run as the executable they are.

#include "trace/CSorFileBase.h"
#include "trace/tests/SorTestFiles.h"
#include "testsupport/SortoolRun.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using testsupport::ToolRun;

// Without XDG_RUNTIME_DIR, so that Qt would warn about it if its warnings got through.
ToolRun run(const QStringList &args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    env.remove(QStringLiteral("LUMIDOR_DEBUG"));
    return testsupport::runSortool(args, env);
}

class PointsPicture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // A trace of 3000 samples 0.9993 m apart (5 ns at n = 1.5), raw 10000 + 3 i, with a user
    // offset of 100 ns (19.986 m).
    QString knownTrace()
    {
        SorRecord r;
        SorTrace t;
        for (int i = 0; i < 3000; ++i)
            t.points.push_back(static_cast<uint16_t>(10000 + 3 * i));
        t.pointCount = 3000;
        r.traces = {t};
        r.samplingFrequencyMHz = 100.0f;
        r.refractiveIndex = 1.5f;
        r.wavelengthNm = 1550;
        r.pulseWidthNs = 100;
        r.infoTexts = {QStringLiteral("UO=1000")};
        const QString path = dir.filePath(QStringLiteral("known.sor"));
        CSorFileBase sor;
        EXPECT_EQ(sor.SaveFile(path, r), 1);
        return path;
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    QTemporaryDir dir;
};

std::vector<std::pair<double, double>> parsePoints(const QByteArray &csv)
{
    std::vector<std::pair<double, double>> out;
    const QList<QByteArray> lines = csv.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QList<QByteArray> f = lines[i].split(',');
        out.emplace_back(f.value(0).toDouble(), f.value(1).toDouble());
    }
    return out;
}

} // namespace

// Count, spacing and level steps of the rows are those of the file's samples.
TEST_F(PointsPicture, PointsMatchTheSamples)
{
    const ToolRun r = run({QStringLiteral("points"), knownTrace()});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    ASSERT_TRUE(r.out.startsWith("distance_km,level_db\n"));
    const auto rows = parsePoints(r.out);
    ASSERT_EQ(rows.size(), 3000u);
    const double spacingKm = 299792458.0 * 5e-9 / 1.5 / 1000.0;
    const double offsetKm = 299792458.0 * 100e-9 / 1.5 / 1000.0;
    EXPECT_NEAR(rows[0].first, -offsetKm, 2e-6);
    EXPECT_NEAR(rows[2999].first, 2999 * spacingKm - offsetKm, 1e-5);
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_NEAR(rows[i].second, (65535.0 - (10000 + 3 * static_cast<double>(i))) / 1000.0, 1e-9) << i;
        if (i > 0) {
            EXPECT_NEAR(rows[i].first - rows[i - 1].first, spacingKm, 2e-6) << i;
        }
    }
}

TEST_F(PointsPicture, PointsOfAnIssue1File)
{
    const QString path = write(QStringLiteral("old.sor"), sortest::issue1File(sortest::issue1Blocks(200)));
    const ToolRun r = run({QStringLiteral("points"), path});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const auto rows = parsePoints(r.out);
    ASSERT_EQ(rows.size(), 200u);
    EXPECT_NEAR(rows[1].second - rows[0].second, -0.010, 1e-9);
}

TEST_F(PointsPicture, PictureIsAPngOfTheAskedSize)
{
    const QString out = dir.filePath(QStringLiteral("view.png"));
    const QString trace = knownTrace();
    ToolRun r = run({QStringLiteral("picture"), QStringLiteral("--out"), out, trace});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << "only sortool's own messages: " << r.err.toStdString();
    EXPECT_EQ(QImage(out).size(), QSize(1200, 700));

    r = run({QStringLiteral("picture"), QStringLiteral("--size"), QStringLiteral("640x400"), QStringLiteral("--out"),
             out, trace, write(QStringLiteral("old.sor"), sortest::issue1File(sortest::issue1Blocks()))});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage image(out);
    ASSERT_EQ(image.size(), QSize(640, 400));
    // Not one colour: background, grid, curve and labels.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 4);
}

// Bad input: a clear message and exit status 2 for the command line, 1 for files.
TEST_F(PointsPicture, BadInput)
{
    const QString trace = knownTrace();
    const QString png = dir.filePath(QStringLiteral("p.png"));
    const QString unreadable = write(QStringLiteral("bad.sor"), "not a trace");
    struct Case {
        const char *name;
        QStringList args;
        int status;
        const char *says;
    } cases[] = {
        {"points without file", {QStringLiteral("points")}, 2, "no file given"},
        {"points of two files", {QStringLiteral("points"), trace, trace}, 2, "one file only"},
        {"points option", {QStringLiteral("points"), QStringLiteral("--wide"), trace}, 2, "Unknown option"},
        {"points of a non-trace", {QStringLiteral("points"), unreadable}, 1, "not a SOR file"},
        {"points of a missing file", {QStringLiteral("points"), dir.filePath(QStringLiteral("none.sor"))}, 1,
         "cannot open"},
        {"picture without --out", {QStringLiteral("picture"), trace}, 2, "--out FILE.png is required"},
        {"picture without file", {QStringLiteral("picture"), QStringLiteral("--out"), png}, 2, "no file given"},
        {"picture size", {QStringLiteral("picture"), QStringLiteral("--size"), QStringLiteral("12x9000"),
                          QStringLiteral("--out"), png, trace}, 2, "--size must be WxH"},
        {"picture size form", {QStringLiteral("picture"), QStringLiteral("--size"), QStringLiteral("big"),
                               QStringLiteral("--out"), png, trace}, 2, "--size must be WxH"},
        {"picture of a non-trace", {QStringLiteral("picture"), QStringLiteral("--out"), png, unreadable}, 1,
         "not a SOR file"},
        {"picture into a missing folder", {QStringLiteral("picture"), QStringLiteral("--out"),
                                           dir.filePath(QStringLiteral("no/such/p.png")), trace}, 1, "cannot write"},
    };
    for (const Case &c : cases) {
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.exitCode, c.status) << c.name;
        EXPECT_TRUE(r.err.contains(c.says)) << c.name << ": " << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("QPainter")) << c.name;
        EXPECT_FALSE(r.err.contains("QStandardPaths")) << c.name;
    }
}
