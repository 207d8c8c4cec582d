// The event table for spreadsheets: the event list's rows with plain numbers.

#include "testsupport/TraceEvents.h"
#include "testsupport/CommaDecimalLocale.h"
#include "trace/EventTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

using testsupport::event;

TraceData sampleTrace()
{
    TraceData t;
    t.events = {
        event(0.0f, 1, 'F').loss(0.4f).total(0.4f).reflectance(-50.0f),
        event(1234.5f, 0, 'F').loss(0.12f).total(0.52f).attenuation(0.19f),
        event(5000.0f, 1, 'A').reflectance(-45.288f),
        event(9000.0f, 2, 'E').loss(0.8f).total(2.1f).reflectance(-14.7f).attenuation(0.2f),
    };
    return t;
}

TEST(EventTable, RowsFollowTheEventListWithPlainNumbers)
{
    const std::vector<QStringList> rows = eventTableRows("f.sor", sampleTrace());
    ASSERT_EQ(rows.size(), 3u) << "the first event is not listed";
    const QStringList expected[] = {
        {"f.sor", "1", "Non-Reflect", "F", "1.235", "1.235", "0.120", "0.520", "0.190", ""},
        // "--" in the list (zero loss, total and slope) is an empty cell; the reflectance keeps
        // three decimals instead of the list's ">-45.3".
        {"f.sor", "2", "Reflect", "A", "5.000", "3.766", "", "", "", "-45.288"},
        // The last event's loss is never shown; kind 2 (saturated) is reflective.
        {"f.sor", "3", "Reflect", "E", "9.000", "4.000", "", "2.100", "0.200", "-14.700"},
    };
    for (size_t r = 0; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), eventTableColumns().size());
        for (qsizetype c = 0; c < rows[r].size(); ++c)
            EXPECT_EQ(rows[r][c], expected[r][c]) << "row " << r << " " << eventTableColumns()[c].toStdString();
    }
}

TEST(EventTable, DistancesTakeTheUserOffsetAsTheListDoes)
{
    TraceData t = sampleTrace();
    t.userOffset = 1000.0f;
    const auto rows = eventTableRows("f.sor", t);
    EXPECT_EQ(rows[0][4], "0.235");
    EXPECT_EQ(rows[0][5], "1.235") << "segments are not shifted";
    t.userOffset = 6000.0f; // beyond 5 km the list ignores it
    EXPECT_EQ(eventTableRows("f.sor", t)[0][4], "1.235");
}

TEST(EventTable, DistancesThatAreNoNumberLeaveTheCellEmpty)
{
    TraceData t = sampleTrace();
    t.events[1].distance = std::numeric_limits<float>::infinity(); // a file with group index 0
    const auto rows = eventTableRows("f.sor", t);
    EXPECT_EQ(rows[0][4], "");
    EXPECT_EQ(rows[0][5], "");
    EXPECT_EQ(rows[1][5], "") << "the next segment starts at that distance";
    EXPECT_EQ(rows[1][4], "5.000");
}

TEST(EventTable, FewerThanTwoEventsListNothing)
{
    TraceData t;
    EXPECT_TRUE(eventTableRows("f", t).empty());
    t.events.push_back(event(0.0f, 1, 'E').reflectance(-14.0f));
    EXPECT_TRUE(eventTableRows("f", t).empty());
    EXPECT_TRUE(eventTableCsvRecords("f", t).isEmpty());
}

TEST(EventTable, CsvQuotesTheFileAndKeepsDotsUnderACommaLocale)
{
    CommaDecimalLocale comma;
    if (!comma.active())
        GTEST_SKIP() << "no comma-decimal locale on this machine";
    EXPECT_EQ(eventTableCsvHeader(),
              "file,event,type,code,distance_km,segment_km,loss_db,total_loss_db,slope_db_km,reflectance_db\r\n");
    const QByteArray csv = eventTableCsvRecords(R"(site,"A".sor)", sampleTrace());
    EXPECT_TRUE(csv.startsWith("\"site,\"\"A\"\".sor\",1,Non-Reflect,F,1.235,1.235,0.120,0.520,0.190,\r\n")) << csv.toStdString();
    EXPECT_EQ(csv.count("\r\n"), 3);
}

TEST(EventTable, ExportWritesTheWholeTableOrNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("events.csv");
    ASSERT_TRUE(exportEventTableCsv(path, "f.sor", sampleTrace()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), eventTableCsvHeader() + eventTableCsvRecords("f.sor", sampleTrace()));
    file.close();

    EXPECT_FALSE(exportEventTableCsv(dir.filePath("no-such-folder/events.csv"), "f.sor", sampleTrace()));
    EXPECT_FALSE(exportEventTableCsv(dir.path(), "f.sor", sampleTrace())) << "a folder is no file";
    EXPECT_FALSE(exportEventTableCsv(QString(), "f.sor", sampleTrace()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"events.csv"}) << "no temporary file left";
}

} // namespace
