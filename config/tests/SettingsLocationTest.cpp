#include "config/PassThresholds.h"
#include "config/SettingsLocation.h"

#include "IniTestSupport.h"

#include <QFileDevice>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray shippedBytes = "[Color]\nBack=0\n[PassThrd]\nReflection=0.70\nTotalLoss=25.0\n";

FolderWritable writableIs(bool value)
{
    return [value](const QString &) { return value; };
}

// A program folder with its Config.ini and an empty per-user configuration folder.
struct Fixture {
    ScratchFolder program;
    ScratchFolder config;
    Fixture() { program.write(u"Config.ini"_s, shippedBytes); }
    SettingsEnvironment env() const { return {config.folder(), u"/nonexistent-home"_s}; }
    SettingsLocation location(bool programWritable) const
    {
        return SettingsLocation(program.folder(), env(), writableIs(programWritable));
    }
    QString userFile() const { return config.path(u"Lumidor/Config.ini"_s); }
};

TEST(SettingsLocation, UserFolderFromTheEnvironment)
{
    const struct {
        const char *name;
        QString configHome;
        QString home;
        QString expected;
    } cases[] = {
        {"xdg", u"/x/cfg"_s, u"/home/u"_s, u"/x/cfg/Lumidor/Config.ini"_s},
        {"xdg empty", QString(), u"/home/u"_s, u"/home/u/.config/Lumidor/Config.ini"_s},
        {"xdg relative is ignored", u"cfg"_s, u"/home/u"_s, u"/home/u/.config/Lumidor/Config.ini"_s},
        {"neither", QString(), QString(), QString()},
        {"home relative", QString(), u"home"_s, QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SettingsLocation(u"/opt/p"_s, {c.configHome, c.home}, writableIs(false)).userPath(), c.expected)
            << c.name;
}

TEST(SettingsLocation, WritableProgramFolderIsUsedAsBefore)
{
    Fixture f;
    const SettingsLocation loc = f.location(true);
    EXPECT_FALSE(loc.usesUserFile());
    EXPECT_EQ(loc.readPath(), f.program.path(u"Config.ini"_s));
    EXPECT_EQ(loc.writePath(), f.program.path(u"Config.ini"_s));
    // Even a per-user file left from an installed copy is not read.
    QDir().mkpath(f.config.path(u"Lumidor"_s));
    f.config.write(u"Lumidor/Config.ini"_s, "[PassThrd]\nReflection=0.90\n");
    EXPECT_EQ(loc.readPath(), f.program.path(u"Config.ini"_s));
}

TEST(SettingsLocation, ReadOnlyProgramFolderWritesAPerUserCopy)
{
    Fixture f;
    const SettingsLocation loc = f.location(false);
    ASSERT_TRUE(loc.usesUserFile());
    EXPECT_EQ(loc.readPath(), f.program.path(u"Config.ini"_s)) << "nothing written yet: the shipped file";
    EXPECT_FALSE(QFile::exists(f.userFile())) << "reading creates nothing";

    const QString target = loc.writePath();
    ASSERT_EQ(target, f.userFile());
    EXPECT_EQ(f.config.read(u"Lumidor/Config.ini"_s), shippedBytes) << "made from the shipped file";
    EXPECT_TRUE(QFileInfo(target).permissions() & QFileDevice::WriteOwner);

    PassThresholds saved;
    saved.Reflection = 1.25f;
    ASSERT_TRUE(SavePassThresholds(target, saved));
    EXPECT_EQ(loc.readPath(), f.userFile()) << "read in preference from now on";
    PassThresholds read;
    ReadPassThresholds(loc.readPath(), read);
    EXPECT_FLOAT_EQ(read.Reflection, 1.25f);
    EXPECT_EQ(f.program.read(u"Config.ini"_s), shippedBytes) << "the shipped file is untouched";

    // A later write keeps what the per-user file holds (no second copy over it).
    EXPECT_EQ(loc.writePath(), f.userFile());
    EXPECT_TRUE(f.config.read(u"Lumidor/Config.ini"_s).contains("Reflection=1.25"));
    // The other sections came along with the copy.
    EXPECT_TRUE(f.config.read(u"Lumidor/Config.ini"_s).contains("[Color]"));
}

TEST(SettingsLocation, CopyKeepsAUtf16File)
{
    Fixture f;
    const QByteArray utf16 = utf16File(u"[PassThrd]\r\nReflection=0.60\r\n"_s);
    f.program.write(u"Config.ini"_s, utf16);
    const QString target = f.location(false).writePath();
    EXPECT_EQ(f.config.read(u"Lumidor/Config.ini"_s), utf16);
    PassThresholds t;
    ReadPassThresholds(target, t);
    EXPECT_FLOAT_EQ(t.Reflection, 0.6f);
}

TEST(SettingsLocation, NoShippedFileStillGivesAWritableTarget)
{
    Fixture f;
    QFile::remove(f.program.path(u"Config.ini"_s));
    const QString target = f.location(false).writePath();
    ASSERT_EQ(target, f.userFile());
    EXPECT_TRUE(QFileInfo(f.userFile()).dir().exists());
    EXPECT_TRUE(SavePassThresholds(target, PassThresholds{}));
}

TEST(SettingsLocation, FailuresGiveNoTargetAndTheWriteFails)
{
    {
        SCOPED_TRACE("no configuration folder in the environment");
        ScratchFolder program;
        const SettingsLocation loc(program.folder(), {QString(), QString()}, writableIs(false));
        EXPECT_TRUE(loc.writePath().isEmpty());
        EXPECT_FALSE(SavePassThresholds(loc.writePath(), PassThresholds{}));
    }
    {
        SCOPED_TRACE("a file stands where the Lumidor folder should be");
        Fixture f;
        f.config.write(u"Lumidor"_s, "not a folder");
        EXPECT_TRUE(f.location(false).writePath().isEmpty());
        EXPECT_EQ(f.location(false).readPath(), f.program.path(u"Config.ini"_s));
    }
    {
        SCOPED_TRACE("a folder stands where the per-user file should be");
        Fixture f;
        QDir().mkpath(f.userFile());
        EXPECT_TRUE(f.location(false).writePath().isEmpty());
        EXPECT_EQ(f.location(false).readPath(), f.program.path(u"Config.ini"_s));
    }
}

TEST(SettingsLocation, ProbeSeesAReadOnlyFolder)
{
    ScratchFolder folder;
    EXPECT_TRUE(folderAcceptsFiles(folder.folder()));
    EXPECT_TRUE(QDir(folder.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty())
        << "the probe leaves nothing behind";
    EXPECT_FALSE(folderAcceptsFiles(folder.path(u"missing"_s)));

    QFile::setPermissions(folder.folder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool stillWritable = folderAcceptsFiles(folder.folder());
    QFile::setPermissions(folder.folder(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (stillWritable)
        GTEST_SKIP() << "permission bits do not stop this user (root): the decision is covered with an injected probe";
    EXPECT_FALSE(stillWritable);
}

} // namespace
