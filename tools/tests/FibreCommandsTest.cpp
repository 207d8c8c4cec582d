// sortool bidir, macrobend and summary --by-fibre, run as the executable, on generated traces of
// one fibre measured from both ends at two wavelengths.

#include "tools/gen/GeneratedFile.h"
#include "testsupport/CsvRecords.h"
#include "testsupport/SortoolRun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

using testsupport::ToolRun;

ToolRun run(const QStringList &args, const QString &locale = QString())
{
    return locale.isEmpty() ? testsupport::runSortool(args)
                            : testsupport::runSortool(args, testsupport::environmentWith(QStringLiteral("LC_ALL"), locale));
}

using testsupport::parseCsv;

// Fixes the cumulative losses through the event comments, so no event library decides them.
void writeTrace(const QString &path, gen::Options o, const std::vector<const char *> &totals)
{
    gen::Trace t = gen::generate(o);
    ASSERT_EQ(t.record.events.size(), totals.size());
    for (size_t i = 0; i < totals.size(); ++i)
        t.record.events[i].comment = totals[i];
    ASSERT_EQ(gen::writeFile(path, t, o), 1);
}

// One 10 km fibre of cable K1 between North and South with a splice whose true loss is 0.20 dB
// (a gainer of -0.10 dB from North, 0.50 dB from South) and a bend 0.4 dB worse at 1550 nm.
gen::Options direction(int wavelength, bool fromNorth, const char *fibre = "F7")
{
    gen::Options o;
    o.wavelengthNm = wavelength;
    o.pulseWidthNs = 100;
    o.pointCount = 8000;
    const double bend = wavelength > 1400 ? 0.60 : 0.20;
    if (fromNorth)
        o.events = {{gen::EventKind::Splice, 3000.0, -0.10, 0.0}, {gen::EventKind::Splice, 6500.0, bend, 0.0},
                    {gen::EventKind::End, 10000.0, 0.0, -45.0}};
    else
        o.events = {{gen::EventKind::Splice, 3500.0, bend, 0.0}, {gen::EventKind::Splice, 7000.0, 0.50, 0.0},
                    {gen::EventKind::End, 10000.0, 0.0, -45.0}};
    o.description.cableId = QStringLiteral("K1");
    o.description.fiberId = QString::fromLatin1(fibre);
    o.description.locationA = QString::fromLatin1(fromNorth ? "North" : "South");
    o.description.locationB = QString::fromLatin1(fromNorth ? "South" : "North");
    return o;
}

class FibreCommands : public testing::Test {
protected:
    QTemporaryDir dir;
    QString ab1550, ba1550, ab1310, ba1310, lone;

    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(testsupport::sortoolPath())) << testsupport::sortoolPath().toStdString();
        ab1550 = dir.filePath("k1-f7-1550-n.sor");
        writeTrace(ab1550, direction(1550, true), {"2.00", "2.60", "3.20"});
        ba1550 = dir.filePath("k1-f7-1550-s.sor");
        writeTrace(ba1550, direction(1550, false), {"2.20", "2.80", "3.40"});
        ab1310 = dir.filePath("k1-f7-1310-n.sor");
        writeTrace(ab1310, direction(1310, true), {"3.20", "3.40", "4.00"});
        ba1310 = dir.filePath("k1-f7-1310-s.sor");
        writeTrace(ba1310, direction(1310, false), {"3.40", "3.60", "4.20"});
        lone = dir.filePath("k1-f8-1550-s.sor");
        writeTrace(lone, direction(1550, false, "F8"), {"2.20", "2.80", "3.40"});
    }
};

TEST_F(FibreCommands, BidirCsvGivesTheMeanOfBothDirections)
{
    const ToolRun r = run({"bidir", ab1550, ba1550});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const auto rows = parseCsv(r.out);
    ASSERT_EQ(rows.size(), 3u) << r.out.toStdString();
    EXPECT_EQ(rows[0].join(','), "file_ab,file_ba,event,distance_km,loss_ab_db,loss_ba_db,loss_db,reflectance_db,seen");
    EXPECT_EQ(rows[1].mid(0, 3), (QStringList{ab1550, ba1550, "1"}));
    EXPECT_NEAR(rows[1][3].toDouble(), 3.0, 0.005);
    EXPECT_EQ(rows[1].mid(4, 3), (QStringList{"-0.100", "0.500", "0.200"}));
    EXPECT_EQ(rows[1][7], "");
    EXPECT_EQ(rows[1][8], "both");
    EXPECT_NEAR(rows[2][3].toDouble(), 6.5, 0.005);
    EXPECT_EQ(rows[2][6], "0.600");
}

TEST_F(FibreCommands, BidirJsonAndRefusals)
{
    ToolRun r = run({"bidir", "--json", "--tolerance", "30", ab1550, ba1550, ab1310, ba1310});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    QJsonParseError error;
    const QJsonArray pairs = QJsonDocument::fromJson(r.out, &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    ASSERT_EQ(pairs.size(), 2);
    const QJsonObject p = pairs[0].toObject();
    EXPECT_EQ(p.keys(), (QStringList{"events", "fibre_length_km", "file_ab", "file_ba", "total_loss_ab_db",
                                     "total_loss_ba_db", "total_loss_db"}));
    EXPECT_DOUBLE_EQ(p.value("total_loss_db").toDouble(), 3.3);
    EXPECT_NEAR(p.value("fibre_length_km").toDouble(), 10.0, 0.005);
    const QJsonObject e = p.value("events").toArray()[0].toObject();
    EXPECT_EQ(e.keys(), (QStringList{"distance_km", "loss_ab_db", "loss_ba_db", "loss_db", "reflectance_db", "seen"}));
    EXPECT_TRUE(e.value("reflectance_db").isNull());
    EXPECT_EQ(e.value("seen").toString(), "both");

    r = run({"bidir", ab1550, ba1550, ab1310});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("pairs")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());

    r = run({"bidir", ab1550, ba1310});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("different wavelengths")) << r.err.toStdString();

    r = run({"bidir", "--tolerance", "-3", ab1550, ba1550});
    EXPECT_EQ(r.exitCode, 2);
}

TEST_F(FibreCommands, MacrobendFlagsTheBendInEitherOrder)
{
    const ToolRun r = run({"macrobend", "--threshold", "0.4", ab1550, ab1310});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const auto rows = parseCsv(r.out);
    ASSERT_EQ(rows.size(), 3u) << r.out.toStdString();
    EXPECT_EQ(rows[0].join(','), "file_short,file_long,event,distance_km,loss_short_db,loss_long_db,difference_db,macrobend");
    EXPECT_EQ(rows[1].mid(0, 2), (QStringList{ab1310, ab1550}));
    EXPECT_EQ(rows[1][7], "false");
    EXPECT_EQ(rows[2].mid(4, 4), (QStringList{"0.200", "0.600", "0.400", "true"}));

    const ToolRun j = run({"macrobend", "--json", ab1310, ab1550});
    const QJsonArray pairs = QJsonDocument::fromJson(j.out).array();
    ASSERT_EQ(pairs.size(), 1) << j.out.toStdString();
    EXPECT_EQ(pairs[0].toObject().value("wavelength_long_nm").toInt(), 1550);
    EXPECT_FALSE(pairs[0].toObject().value("events").toArray()[1].toObject().value("macrobend").toBool())
        << "0.4 dB is below the default 0.5 dB";

    const ToolRun same = run({"macrobend", ab1550, ba1550});
    EXPECT_EQ(same.exitCode, 2);
    EXPECT_TRUE(same.err.contains("two wavelengths")) << same.err.toStdString();
}

TEST_F(FibreCommands, SummaryByFibrePairsTheCablesFiles)
{
    const ToolRun r = run({"summary", "--by-fibre", ba1550, lone, ab1310, ab1550, ba1310});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const auto rows = parseCsv(r.out);
    ASSERT_EQ(rows.size(), 4u) << r.out.toStdString();
    EXPECT_EQ(rows[0].join(','), "cable,fibre,wavelength_nm,file_ab,file_ba,length_m,total_loss_ab_db,total_loss_ba_db,"
                                 "total_loss_db,events,bends,verdict");
    // The first file was launched at South: South is the cable's A end.
    EXPECT_EQ(rows[1].mid(0, 5), (QStringList{"K1", "F7", "1310", ba1310, ab1310}));
    EXPECT_EQ(rows[1].mid(6, 5), (QStringList{"4.200", "4.000", "4.100", "2", "0"}));
    EXPECT_EQ(rows[2].mid(0, 5), (QStringList{"K1", "F7", "1550", ba1550, ab1550}));
    EXPECT_EQ(rows[2][8], "3.300");
    EXPECT_EQ(rows[2][10], "0") << "0.6 - 0.2 = 0.4 dB stays below the 0.5 dB threshold";
    EXPECT_EQ(rows[3].mid(0, 5), (QStringList{"K1", "F8", "1550", lone, ""}));
    EXPECT_EQ(rows[3].mid(6, 5), (QStringList{"3.400", "", "3.400", "2", ""}));

    const ToolRun j = run({"summary", "--by-fibre", "--json", lone});
    const QJsonArray objects = QJsonDocument::fromJson(j.out).array();
    ASSERT_EQ(objects.size(), 1) << j.out.toStdString();
    EXPECT_TRUE(objects[0].toObject().value("file_ba").isNull());
    EXPECT_TRUE(objects[0].toObject().value("bends").isNull());
    EXPECT_EQ(objects[0].toObject().value("events").toInt(), 2);
}

} // namespace

namespace {

TEST_F(FibreCommands, ReportBidirGivesOnePagePerPair)
{
    const QString pdf = dir.filePath("bidir.pdf");
    ToolRun r = run({"report", "--bidir", "--out", pdf, ab1550, ba1550, ab1310, ba1310});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n"), 2) << "one page per pair";

    r = run({"report", "--bidir", "--out", dir.filePath("odd.pdf"), ab1550, ba1550, ab1310});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(QFile::exists(dir.filePath("odd.pdf")));

    r = run({"report", "--bidir", "--out", dir.filePath("refused.pdf"), ab1550, ba1310});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("different wavelengths")) << r.err.toStdString();
}

} // namespace
