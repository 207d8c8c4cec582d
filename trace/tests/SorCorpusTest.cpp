// Reads every real instrument file of the shared corpus and compares the raw values with those
// an independent reader found (expected.json and expected-issue1.json beside the files). Skipped when the corpus is
// absent, so a plain clone passes.

#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"
#include "trace/TraceLoader.h"
#include "testsupport/BinFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace {

QString corpusFolder()
{
    QString source = qEnvironmentVariable("LUMIDOR_SOURCE_DIR");
#ifdef LUMIDOR_SOURCE_DIR_DEFAULT
    if (source.isEmpty())
        source = QStringLiteral(LUMIDOR_SOURCE_DIR_DEFAULT);
#endif
    return QDir(source).filePath(QStringLiteral("../shared/corpus"));
}

struct CorpusFile {
    std::string name;  // test name: index and file name reduced to letters, digits and '_'
    QString path;      // relative to the corpus folder
    QJsonObject expected;
};

// expected.json holds what a reader of issue 2 found (files of issue 1 are refused there);
// expected-issue1.json what a reader of issue 1 found, which replaces those entries.
std::vector<CorpusFile> corpusFiles()
{
    QJsonObject all;
    for (const char *list : {"expected.json", "expected-issue1.json"}) {
        QFile file(QDir(corpusFolder()).filePath(QString::fromLatin1(list)));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject some = QJsonDocument::fromJson(file.readAll()).object();
        for (auto it = some.begin(); it != some.end(); ++it)
            all.insert(it.key(), it.value());
    }
    if (all.isEmpty())
        return {CorpusFile{"absent", QString(), QJsonObject()}};
    std::vector<CorpusFile> out;
    int index = 0;
    for (auto it = all.begin(); it != all.end(); ++it, ++index) {
        std::string name = std::to_string(index) + "_";
        for (QChar c : it.key())
            name += (c.unicode() < 128 && c.isLetterOrNumber()) ? static_cast<char>(c.unicode()) : '_';
        out.push_back({name, it.key(), it.value().toObject()});
    }
    return out;
}

void PrintTo(const CorpusFile &c, std::ostream *os)
{
    *os << c.path.toStdString();
}

class SorCorpus : public testing::TestWithParam<CorpusFile> {};

TEST_P(SorCorpus, ReadsAsTheIndependentReaderDoes)
{
    const CorpusFile &c = GetParam();
    if (c.path.isEmpty())
        GTEST_SKIP() << "corpus not found at " << corpusFolder().toStdString();

    CSorFileBase sor;
    SorRecord record;
    const int result = sor.ReadFile(QDir(corpusFolder()).filePath(c.path), record);
    const QJsonObject &x = c.expected;
    ASSERT_EQ(result, x.value("result").toInt());
    if (result != SorResult::Done)
        return;

    // The independent reader takes every wavelength as 0.1 nm; one stored in whole nm gives it
    // 60 to 199 "nm", and this reader the value itself.
    const int wavelength = x.value("wavelengthNm").toInt();
    if (wavelength >= 60 && wavelength < 200)
        EXPECT_EQ(record.wavelengthNm / 10, wavelength);
    else
        EXPECT_EQ(record.wavelengthNm, wavelength);
    EXPECT_EQ(record.pulseWidthNs, x.value("pulseWidthNs").toInt());
    EXPECT_EQ(record.groupIndexRaw, x.value("groupIndexRaw").toInt());

    const QJsonArray events = x.value("events").toArray();
    ASSERT_EQ(record.events.size(), static_cast<size_t>(events.size()));
    for (qsizetype i = 0; i < events.size(); ++i) {
        const QJsonObject e = events[i].toObject();
        const SorEvent &got = record.events[static_cast<size_t>(i)];
        EXPECT_EQ(got.time, e.value("time").toInt()) << "event " << i;
        EXPECT_EQ(got.attenuation, e.value("attenuation").toInt()) << "event " << i;
        EXPECT_EQ(got.loss, e.value("loss").toInt()) << "event " << i;
        EXPECT_EQ(got.reflectance, e.value("reflectance").toInt()) << "event " << i;
        EXPECT_EQ(QString::fromLatin1(got.code), e.value("code").toString()) << "event " << i;
    }

    const QJsonArray traces = x.value("traces").toArray();
    ASSERT_EQ(record.traces.size(), static_cast<size_t>(traces.size()));
    for (qsizetype i = 0; i < traces.size(); ++i) {
        const QJsonObject t = traces[i].toObject();
        const SorTrace &got = record.traces[static_cast<size_t>(i)];
        EXPECT_EQ(got.pointCount, t.value("pointCount").toInt()) << "trace " << i;
        EXPECT_EQ(got.scaleFactor, t.value("scaleFactor").toInt()) << "trace " << i;
        EXPECT_EQ(got.points.size(), static_cast<size_t>(got.pointCount)) << "trace " << i;
    }

    // Load, save and read again: the samples and events the save carries come back.
    TraceData trace;
    loadTrace(record, trace, nullptr);
    SorRecord forSave;
    traceToRecord(trace, forSave);
    const QByteArray saved = sor.SaveToBytes(forSave);
    SorRecord again;
    ASSERT_EQ(sor.ReadFromMemory(reinterpret_cast<const uint8_t *>(saved.constData()),
                                 static_cast<size_t>(saved.size()), again),
              SorResult::Done);
    TraceData reloaded;
    loadTrace(again, reloaded, nullptr);
    EXPECT_EQ(reloaded.samples, trace.samples);
    EXPECT_EQ(reloaded.events.size(), trace.events.size());
    EXPECT_EQ(reloaded.wavelengthNm, trace.wavelengthNm);
    EXPECT_EQ(reloaded.pulseWidthNs, trace.pulseWidthNs);
}

// The event library of the build's bin folder.
QM7ZZZ_Acount_Total_Loss_fn builtTotalLoss()
{
    return bindEventAnalysis(testsupport::binFolder()).totalLoss;
}

// What a technician reads off the event list and the information panel: a cumulative loss at
// the last event, no "not measured" marker shown as a number, a test range.
TEST_P(SorCorpus, ShowsCumulativeLossesValuesAndATestRange)
{
    const CorpusFile &c = GetParam();
    if (c.path.isEmpty())
        GTEST_SKIP() << "corpus not found at " << corpusFolder().toStdString();
    const QM7ZZZ_Acount_Total_Loss_fn totalLoss = builtTotalLoss();
    ASSERT_NE(totalLoss, nullptr) << "libQM7ZZZ.so not found beside the tests";

    CSorFileBase sor;
    SorRecord record;
    if (sor.ReadFile(QDir(corpusFolder()).filePath(c.path), record) != SorResult::Done)
        return;
    TraceData trace;
    loadTrace(record, trace, totalLoss);

    EXPECT_GT(trace.rangeMetres, 0);
    EXPECT_LT(trace.rangeMetres, 10.0 * trace.fibreLength) << "a range far beyond the trace";
    EXPECT_GE(trace.wavelengthNm, 600);
    for (size_t i = 0; i < trace.events.size(); ++i) {
        const TraceEvent &e = trace.events[i];
        EXPECT_GT(e.reflectance, -1000.0f) << "event " << i;
        EXPECT_NE(e.loss, 32.767f) << "event " << i;
        EXPECT_TRUE(std::isfinite(e.totalLoss)) << "event " << i;
    }
    // An event at the first sample has no fibre before it, so 0 is its right cumulative loss.
    if (!trace.events.empty() && trace.events.back().index > 0) {
        EXPECT_NE(trace.events.back().totalLoss, 0.0f) << "no cumulative loss at the last event";
    }
}

INSTANTIATE_TEST_SUITE_P(Files, SorCorpus, testing::ValuesIn(corpusFiles()),
                         [](const testing::TestParamInfo<CorpusFile> &info) { return info.param.name; });

} // namespace
