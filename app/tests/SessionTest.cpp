#include "app/FileCommands.h"
#include "app/Session.h"
#include "tools/gen/TraceGenerator.h"
#include "trace/CSorFileBase.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Two different files: other wavelength, length, events and fibre texts.
QString writeTrace(const QTemporaryDir &dir, const QString &name, double lengthM, int wavelengthNm, uint32_t seed)
{
    gen::Options o;
    o.wavelengthNm = wavelengthNm;
    o.seed = seed;
    o.pointCount = 6000;
    o.events = {{gen::EventKind::Splice, lengthM * 0.4, 0.2, 0.0},
                {gen::EventKind::End, lengthM, 0.0, -14.0}};
    const gen::Trace t = gen::generate(o);
    const QString path = dir.filePath(name);
    CSorFileBase file;
    EXPECT_EQ(file.SaveFile(path, t.record), 1);
    return path;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

TEST(Session, SavingATraceDependsOnThatTraceAlone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString a = writeTrace(dir, QStringLiteral("a.sor"), 4000.0, 1310, 3);
    const QString b = writeTrace(dir, QStringLiteral("b.sor"), 25000.0, 1550, 8);

    // Right after opening A.
    Session first;
    first.binFolder = dir.path();
    ASSERT_EQ(LoadFiles(first, {a}, {QStringLiteral("a.sor")}).slotsLoaded.size(), 1u);
    ASSERT_TRUE(SaveTraceTo(first, dir.filePath(QStringLiteral("a1.sor")), 100.0f, 900.0f).saved);

    // Open A, open B (the file object and currentSorRecord now hold B), save A.
    Session second;
    second.binFolder = dir.path();
    ASSERT_EQ(LoadFiles(second, {a}, {QStringLiteral("a.sor")}).slotsLoaded.size(), 1u);
    ASSERT_EQ(LoadFiles(second, {b}, {QStringLiteral("b.sor")}).slotsLoaded.size(), 1u);
    ASSERT_EQ(second.traceSet.currentSlot, 1);
    second.traceSet.currentSlot = 0;
    ASSERT_TRUE(SaveTraceTo(second, dir.filePath(QStringLiteral("a2.sor")), 100.0f, 900.0f).saved);

    const QByteArray once = bytesOf(dir.filePath(QStringLiteral("a1.sor")));
    ASSERT_FALSE(once.isEmpty());
    EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("a2.sor"))), once);

    // And saving B still gives B's own file, not A's.
    second.traceSet.currentSlot = 1;
    ASSERT_TRUE(SaveTraceTo(second, dir.filePath(QStringLiteral("b1.sor")), 100.0f, 900.0f).saved);
    EXPECT_NE(bytesOf(dir.filePath(QStringLiteral("b1.sor"))), once);
}

TEST(Session, CommandsReturnWhatChangedAndNothingOutlivesTheSession)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString a = writeTrace(dir, QStringLiteral("a.sor"), 4000.0, 1310, 3);
    {
        Session session;
        const CommandResult loaded = LoadFiles(session, {a, dir.filePath(QStringLiteral("missing.sor"))},
                                               {QStringLiteral("a.sor"), QStringLiteral("missing.sor")});
        EXPECT_TRUE(loaded.change.slots);
        ASSERT_EQ(loaded.slotsLoaded.size(), 1u);
        EXPECT_EQ(loaded.slotsLoaded[0], 0);
        EXPECT_EQ(session.traceSet.currentSlot, 0);
        EXPECT_EQ(session.document.notices(), 1u) << "one notice for the whole load";
        ASSERT_EQ(loaded.messages.size(), 1u) << "the missing file is told once";
        EXPECT_GE(session.verticalRangeDb, 50);

        const CommandResult again = LoadFiles(session, {a}, {QStringLiteral("a.sor")});
        EXPECT_TRUE(again.slotsLoaded.empty()) << "an open file is not loaded twice";
        EXPECT_TRUE(again.messages.empty());

        const CommandResult failed = SaveTraceTo(session, dir.filePath(QStringLiteral("no/such/x.sor")), 0, 0);
        EXPECT_FALSE(failed.saved);
        EXPECT_EQ(failed.messages.size(), 1u);
    }
    Session fresh;
    EXPECT_EQ(fresh.verticalRangeDb, 0);
    EXPECT_EQ(fresh.traceSet.loadedCount, 0);
}

} // namespace
