#include "tools/Commands.h"

#include "tools/CommandSupport.h"
#include "trace/CSorFileBase.h"
#include "trace/EventAnalysis.h"
#include "trace/TraceAnalysis.h"
#include "trace/TraceData.h"
#include "trace/TraceLoader.h"

#include <QByteArray>
#include <QFile>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// A minimal JSON writer: ASCII output, commas placed by nesting level.
class Json {
public:
    QByteArray out;

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }

    void key(const char *name)
    {
        comma();
        quoted(name, std::strlen(name));
        out.append(':');
        pendingValue_ = true;
    }

    void value(int64_t v)
    {
        comma();
        out.append(QByteArray::number(static_cast<qlonglong>(v)));
    }
    void value(bool v)
    {
        comma();
        out.append(v ? "true" : "false");
    }
    // Single-precision values with enough digits to round-trip; not-a-number and infinities
    // have no JSON form and print as null.
    void value(float v)
    {
        comma();
        if (!std::isfinite(v)) {
            out.append("null");
            return;
        }
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
        out.append(buffer);
    }
    // Each byte as the character of the same number.
    void bytes(const QByteArray &b)
    {
        comma();
        quoted(b.constData(), static_cast<size_t>(b.size()));
    }
    void text(const QString &s)
    {
        comma();
        out.append('"');
        for (QChar c : s)
            appendChar(c.unicode());
        out.append('"');
    }

    void field(const char *name, int64_t v) { key(name); value(v); }
    void field(const char *name, int32_t v) { key(name); value(static_cast<int64_t>(v)); }
    void field(const char *name, uint32_t v) { key(name); value(static_cast<int64_t>(v)); }
    void field(const char *name, float v) { key(name); value(v); }
    void field(const char *name, bool v) { key(name); value(v); }
    void field(const char *name, const QString &v) { key(name); text(v); }
    void fieldBytes(const char *name, const QByteArray &v) { key(name); bytes(v); }

private:
    std::vector<bool> first_;
    bool pendingValue_ = false;

    void open(char c)
    {
        comma();
        out.append(c);
        first_.push_back(true);
    }
    void close(char c)
    {
        first_.pop_back();
        out.append(c);
    }
    void comma()
    {
        if (pendingValue_) {
            pendingValue_ = false;
            return;
        }
        if (!first_.empty()) {
            if (!first_.back())
                out.append(',');
            first_.back() = false;
        }
    }
    void quoted(const char *p, size_t n)
    {
        out.append('"');
        for (size_t i = 0; i < n; ++i)
            appendChar(static_cast<uint8_t>(p[i]));
        out.append('"');
    }
    void appendChar(char16_t c)
    {
        if (c == '"' || c == '\\') {
            out.append('\\');
            out.append(static_cast<char>(c));
        } else if (c >= 0x20 && c < 0x7F) {
            out.append(static_cast<char>(c));
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
            out.append(buffer);
        }
    }
};

void writeRecord(Json &j, const SorRecord &r, bool points)
{
    j.beginObject();
    j.key("traces");
    j.beginArray();
    for (const SorTrace &t : r.traces) {
        j.beginObject();
        j.field("pointCount", t.pointCount);
        j.field("scaleFactor", static_cast<int32_t>(t.scaleFactor));
        if (points) {
            j.key("points");
            j.beginArray();
            for (uint16_t p : t.points)
                j.value(static_cast<int64_t>(p));
            j.endArray();
        }
        j.endObject();
    }
    j.endArray();
    j.field("rangeMetres", r.rangeMetres);
    j.field("pulseWidthNs", r.pulseWidthNs);
    j.field("wavelengthNm", r.wavelengthNm);
    j.field("samplingFrequencyMHz", r.samplingFrequencyMHz);
    j.field("refractiveIndex", r.refractiveIndex);
    j.field("fibreLength", r.fibreLength);
    j.field("sampleSpacing", r.sampleSpacing);
    j.field("backscatter", r.backscatter);
    j.field("lossThreshold", r.lossThreshold);
    j.field("reflectanceThreshold", r.reflectanceThreshold);
    j.field("endThreshold", r.endThreshold);
    j.key("infoTexts");
    j.beginArray();
    for (const QString &t : r.infoTexts)
        j.text(t);
    j.endArray();
    j.field("timestamp", r.timestamp);
    j.field("averages", r.averages);
    j.field("groupIndexRaw", r.groupIndexRaw);
    j.field("endToEndLossDb", r.endToEndLossDb);
    j.field("orlDb", r.orlDb);
    j.key("events");
    j.beginArray();
    for (const SorEvent &e : r.events) {
        j.beginObject();
        j.field("time", e.time);
        j.field("attenuation", static_cast<int32_t>(e.attenuation));
        j.field("loss", static_cast<int32_t>(e.loss));
        j.field("reflectance", e.reflectance);
        j.fieldBytes("code", e.code);
        j.fieldBytes("technique", e.technique);
        j.fieldBytes("comment", e.comment);
        j.endObject();
    }
    j.endArray();
    j.endObject();
}

void writeTrace(Json &j, const TraceData &t)
{
    j.beginObject();
    j.field("sampleSpacing", t.sampleSpacing);
    j.field("refractiveIndex", t.refractiveIndex);
    j.field("sampleCount", t.sampleCount);
    j.field("samplingFrequencyMHz", t.samplingFrequencyMHz);
    j.field("rangeMetres", t.rangeMetres);
    j.field("pulseWidthNs", t.pulseWidthNs);
    j.field("wavelengthNm", t.wavelengthNm);
    j.field("timestamp", t.timestamp);
    j.key("events");
    j.beginArray();
    for (const TraceEvent &e : t.events) {
        j.beginObject();
        j.field("index", e.index);
        j.field("typeDigit", e.typeDigit);
        j.fieldBytes("codeLetter", QByteArray(1, e.codeLetter));
        j.field("distance", e.distance);
        j.field("loss", e.loss);
        j.field("reflectance", e.reflectance);
        j.field("attenuation", e.attenuation);
        j.field("totalLoss", e.totalLoss);
        j.endObject();
    }
    j.endArray();
    j.field("averages", t.averages);
    j.field("fibreLength", t.fibreLength);
    j.field("colour", t.colour);
    j.field("backscatter", t.backscatter);
    j.field("lossThreshold", t.lossThreshold);
    j.field("reflectanceThreshold", t.reflectanceThreshold);
    j.field("endThreshold", t.endThreshold);
    // The instrument's figures; null when the file stores none.
    j.field("endToEndLossDb", t.endToEndLossDb > 0.0f ? t.endToEndLossDb : std::numeric_limits<float>::quiet_NaN());
    j.field("orlDb", t.orlDb > 0.0f ? t.orlDb : std::numeric_limits<float>::quiet_NaN());
    j.field("supplier", t.supplier);
    j.field("userOffset", t.userOffset);
    j.field("userOffsetDistance", t.userOffsetDistance);
    j.field("averagingTime", t.averagingTime);
    j.field("cableId", t.cableId);
    j.field("fiberId", t.fiberId);
    j.field("fiberType", t.fiberType);
    j.field("operatorName", t.operatorName);
    j.field("cursorA", t.cursorA);
    j.field("cursorB", t.cursorB);
    j.field("locationA", t.locationA);
    j.field("locationB", t.locationB);
    j.field("comment", t.comment);
    j.field("model", t.model);
    j.field("serialNumber", t.serialNumber);
    j.field("direction", t.direction);
    j.field("gps", t.gps);
    j.endObject();
}

// One file's object; returns the result code of the read.
int dumpFile(Json &j, const QString &path, bool points, QM7ZZZ_Acount_Total_Loss_fn totalLoss,
             QM7ZZZ_Event_Analysis_fn analysis)
{
    CSorFileBase sor;
    SorRecord record;
    const int result = sor.ReadFile(path, record);

    bool checksumMatches = false;
    if (result == SorResult::Done) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            checksumMatches = checkSorChecksum(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                               static_cast<size_t>(bytes.size()))
                                  .matches();
        }
    }

    j.beginObject();
    j.field("file", path);
    j.field("result", static_cast<int32_t>(result));
    j.field("checksumMatches", checksumMatches);
    if (result == SorResult::Done) {
        j.key("record");
        writeRecord(j, record, points);
        TraceData trace;
        loadTrace(std::move(record), trace, totalLoss);
        analyzeIfNoEvents(trace, analysis);
        j.key("trace");
        writeTrace(j, trace);
    }
    j.endObject();
    return result;
}

} // namespace

int runDump(int argc, char **argv)
{
    const QCommandLineOption pointsOption(QStringLiteral("points"));
    const QCommandLineOption noAnalysisOption(QStringLiteral("no-analysis"));
    QCommandLineParser parser;
    parser.addOptions({pointsOption, noAnalysisOption});
    // Every other argument names a file, one that looks like an option too.
    commandsupport::parseArguments(
        parser, commandsupport::flagsThenFiles(commandsupport::commandArguments("dump", argc, argv),
                                               {pointsOption, noAnalysisOption}));
    const bool points = parser.isSet(pointsOption);
    const bool analysis = !parser.isSet(noAnalysisOption);
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
        std::fputs("usage: sortool dump [--points] [--no-analysis] FILE...\n", stderr);
        return 2;
    }
    const EventAnalysisBinding binding = analysis ? bindEventAnalysis(commandsupport::toolFolder()) : EventAnalysisBinding{};
    const QM7ZZZ_Acount_Total_Loss_fn totalLoss = binding.totalLoss;
    const QM7ZZZ_Event_Analysis_fn analyse = binding.eventAnalysis;

    bool allDone = true;
    Json j;
    if (files.size() > 1)
        j.beginArray();
    for (const QString &file : files) {
        allDone = dumpFile(j, file, points, totalLoss, analyse) == SorResult::Done && allDone;
        // Written file by file so a long list never piles up in memory.
        std::fwrite(j.out.constData(), 1, static_cast<size_t>(j.out.size()), stdout);
        j.out.clear();
    }
    if (files.size() > 1)
        j.endArray();
    j.out.append('\n');
    std::fwrite(j.out.constData(), 1, static_cast<size_t>(j.out.size()), stdout);
    return allDone ? 0 : 1;
}
