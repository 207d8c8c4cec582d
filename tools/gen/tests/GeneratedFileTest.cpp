#include "tools/gen/GeneratedFile.h"
#include "trace/CSorFileBase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The source tree: from the environment when CTest passes it, else the folder built in.
QString sourceDir()
{
    const QByteArray env = qgetenv("LUMIDOR_SOURCE_DIR");
    return env.isEmpty() ? QStringLiteral(LUMIDOR_TEST_SOURCE_DIR) : QString::fromLocal8Bit(env);
}

constexpr double c = 299792458.0;

// What a reader gets from a generated file is the generator's own record, descriptive texts
// included (a standard save would replace supplier, locations and comment by defaults).
TEST(GeneratedFile, ReadsBackAsTheGeneratedRecord)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char *preset : {"patch", "link", "long"}) {
        SCOPED_TRACE(preset);
        gen::Options o;
        ASSERT_TRUE(gen::presetOptions(QString::fromLatin1(preset), o));
        const gen::Trace t = gen::generate(o);
        const QString path = dir.filePath(QString::fromLatin1(preset) + QStringLiteral(".sor"));
        ASSERT_EQ(gen::writeFile(path, t, o), 1);

        CSorFileBase file;
        SorRecord r;
        ASSERT_EQ(file.ReadFile(path, r), 1);
        const SorRecord &g = t.record;
        ASSERT_EQ(r.traces.size(), 1u);
        EXPECT_EQ(r.traces[0].pointCount, g.traces[0].pointCount);
        EXPECT_EQ(r.traces[0].scaleFactor, 1000);
        EXPECT_TRUE(r.traces[0].points == g.traces[0].points);
        EXPECT_EQ(r.rangeMetres, g.rangeMetres);
        EXPECT_EQ(r.pulseWidthNs, g.pulseWidthNs);
        EXPECT_EQ(r.wavelengthNm, g.wavelengthNm);
        EXPECT_EQ(r.samplingFrequencyMHz, g.samplingFrequencyMHz);
        EXPECT_EQ(r.refractiveIndex, g.refractiveIndex);
        EXPECT_EQ(r.sampleSpacing, g.sampleSpacing);
        EXPECT_EQ(r.fibreLength, g.fibreLength);
        EXPECT_EQ(r.backscatter, g.backscatter);
        EXPECT_EQ(r.lossThreshold, g.lossThreshold);
        EXPECT_EQ(r.reflectanceThreshold, g.reflectanceThreshold);
        EXPECT_EQ(r.endThreshold, g.endThreshold);
        EXPECT_EQ(r.timestamp, g.timestamp);
        EXPECT_EQ(r.averages, g.averages);
        EXPECT_EQ(r.groupIndexRaw, g.groupIndexRaw);
        EXPECT_EQ(r.infoTexts, g.infoTexts);
        ASSERT_EQ(r.events.size(), g.events.size());
        for (size_t i = 0; i < r.events.size(); ++i) {
            EXPECT_EQ(r.events[i].time, g.events[i].time);
            EXPECT_EQ(r.events[i].loss, g.events[i].loss);
            EXPECT_EQ(r.events[i].reflectance, g.events[i].reflectance);
            EXPECT_EQ(r.events[i].attenuation, g.events[i].attenuation);
            EXPECT_EQ(r.events[i].code, g.events[i].code);
            EXPECT_EQ(r.events[i].technique, g.events[i].technique);
        }
        QFile raw(path);
        ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        EXPECT_TRUE(checkSorChecksum(reinterpret_cast<const uint8_t *>(bytes.constData()), bytes.size()).matches());
    }
}

TEST(GeneratedFile, WriteFailuresAreReported)
{
    gen::Options o;
    o.pointCount = 100;
    const gen::Trace t = gen::generate(o);
    EXPECT_EQ(gen::writeFile(QString(), t, o), 2);
    QTemporaryDir dir;
    EXPECT_EQ(gen::writeFile(dir.filePath(QStringLiteral("missing/folder/x.sor")), t, o), 4);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing/folder/x.sor"))));
}

struct Sample {
    const char *file;
    const char *preset;
    int32_t points;
    size_t events;
    int wavelength;
};

// The committed samples hold the presets' fibres: point counts, events and texts as planned.
TEST(SampleFiles, HoldThePlannedFibres)
{
    const QDir samples(sourceDir() + QStringLiteral("/samples"));
    const Sample cases[] = {{"patch-2km-1310.sor", "patch", 16000, 3, 1310},
                            {"link-40km-1550.sor", "link", 32000, 8, 1550},
                            {"long-120km-1550.sor", "long", 256000, 6, 1550}};
    for (const Sample &s : cases) {
        SCOPED_TRACE(s.file);
        CSorFileBase file;
        SorRecord r;
        ASSERT_EQ(file.ReadFile(samples.filePath(QString::fromLatin1(s.file)), r), 1);
        ASSERT_EQ(r.traces.size(), 1u);
        EXPECT_EQ(r.traces[0].pointCount, s.points);
        EXPECT_EQ(r.traces[0].points.size(), static_cast<size_t>(s.points));
        EXPECT_EQ(r.wavelengthNm, s.wavelength);
        gen::Options o;
        ASSERT_TRUE(gen::presetOptions(QString::fromLatin1(s.preset), o));
        // The launch connector comes first, at 0 m, then the planned events.
        ASSERT_EQ(r.events.size(), s.events + 1);
        ASSERT_EQ(o.events.size(), s.events);
        EXPECT_EQ(r.events[0].time, 0);
        EXPECT_EQ(r.events[0].code, QByteArray("1F9999"));
        EXPECT_EQ(r.events[0].reflectance, -45000);
        for (size_t i = 0; i < s.events; ++i) {
            const double metres = r.events[i + 1].time * c / (r.refractiveIndex * 1e10);
            EXPECT_NEAR(metres, o.events[i].distanceM, 0.02);
            EXPECT_EQ(r.events[i + 1].loss, std::lround(o.events[i].lossDb * 1000));
        }
        EXPECT_EQ(r.events.back().code, QByteArray("1E9999"));
        EXPECT_GE(r.fibreLength, 1.2 * o.events.back().distanceM);
        EXPECT_TRUE(r.infoTexts.contains(QStringLiteral("LocA=") + o.description.locationA));
        EXPECT_TRUE(r.infoTexts.contains(QStringLiteral("Comment=") + o.description.comment));
    }
}

} // namespace

namespace {

QByteArray generatedBytes(const gen::Options &o)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("g.sor"));
    if (gen::writeFile(path, gen::generate(o), o) != 1)
        return {};
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The committed samples are what `sortool gen --preset NAME` makes today, byte for byte: a
// change to the generator's arithmetic shows here before it reaches anyone's sample folder.
TEST(SampleFiles, AreWhatTheGeneratorMakesOfTheirPresets)
{
    const QDir samples(sourceDir() + QStringLiteral("/samples"));
    for (const auto &[file, preset] : {std::pair{"patch-2km-1310.sor", "patch"}, std::pair{"link-40km-1550.sor", "link"},
                                       std::pair{"long-120km-1550.sor", "long"}}) {
        SCOPED_TRACE(file);
        gen::Options o;
        ASSERT_TRUE(gen::presetOptions(QString::fromLatin1(preset), o));
        QFile committed(samples.filePath(QString::fromLatin1(file)));
        ASSERT_TRUE(committed.open(QIODevice::ReadOnly));
        const QByteArray made = generatedBytes(o);
        ASSERT_FALSE(made.isEmpty());
        EXPECT_TRUE(made == committed.readAll());
    }
}

// Files of settings away from the presets (a start event and a user offset, a fibre that
// saturates the receiver at its start and drops to the floor, another group index and a
// fixed sampling frequency) keep their bytes: the digests were taken from the generator
// before its levels and times went through the trace mapping.
TEST(GeneratedFile, KnownSettingsKeepTheirBytes)
{
    struct Case {
        const char *name;
        void (*set)(gen::Options &);
        const char *sha256;
    } cases[] = {
        {"defaults", [](gen::Options &) {}, "ae2fdef73fe193121d8a8ca796aa261c6b048c9701a7218d03b85c59796247cc"},
        {"startEventOffsetCursors",
         [](gen::Options &o) {
             o.wavelengthNm = 1310;
             o.startEvent = true;
             o.launchReflectanceDb = -52.5;
             o.userOffsetM = 123.4;
             o.cursorAM = 1500.0;
             o.cursorBM = 8000.0;
             o.seed = 7;
         },
         "bdf51fd84efdf2802b9262a52159895661b8dd2ad40028e947c36d549d9a9cc1"},
        {"saturatedAndFloor",
         [](gen::Options &o) {
             o.startLevelDb = 64.9;
             o.noiseFloorDb = 60.0;
             o.attenuationDbPerKm = 2.5;
             o.pointCount = 5000;
             o.events = {{gen::EventKind::Connector, 3000.0, 0.5, -20.0}, {gen::EventKind::End, 6000.0, 0.0, -14.0}};
         },
         "9234f3aaa23475f5e4a2aa137c517f0cbb2cf9f44cac49b6f05ececaa4bd9d23"},
        {"groupIndexAndSampling",
         [](gen::Options &o) {
             o.groupIndex = 1.5;
             o.samplingFrequencyMHz = 25.0;
             o.pointCount = 20000;
             o.pulseWidthNs = 1000;
         },
         "86052a9d5a31af7da42a904e6b18e496dd3484679bf2b83794e5b16f0e137820"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        gen::Options o;
        c.set(o);
        const QByteArray bytes = generatedBytes(o);
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString(), c.sha256);
    }
}

} // namespace
