#include "config/AtomicWrite.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Only the target itself, nothing half-written beside it.
QStringList filesIn(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

// A writer that needs its own file name (a PDF printer) writes a temporary file; the target
// changes only when the writer succeeded, in one rename.
TEST(AtomicWrite, WriterThroughATemporaryFile)
{
    struct Case {
        const char *name;
        bool succeeds;
        QByteArray writes;
        QByteArray expected;
    };
    const Case cases[] = {
        {"success replaces", true, "new", "new"},
        {"failure after writing keeps the old file", false, "half", "old"},
        {"success that wrote nothing keeps the old file", true, "", "old"},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString target = dir.filePath(QStringLiteral("report.pdf"));
        put(target, "old");
        QString seenPath;
        const bool ok = writeThroughTemporaryFile(target, [&](const QString &temporaryPath) {
            seenPath = temporaryPath;
            EXPECT_EQ(contentOf(target), QByteArray("old")) << c.name << ": the target is untouched while writing";
            put(temporaryPath, c.writes);
            return c.succeeds;
        });
        EXPECT_EQ(ok, c.succeeds && !c.writes.isEmpty()) << c.name;
        EXPECT_NE(seenPath, target) << c.name;
        EXPECT_EQ(QFileInfo(seenPath).absolutePath(), QFileInfo(target).absolutePath()) << c.name;
        EXPECT_EQ(contentOf(target), c.expected) << c.name;
        EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("report.pdf")}) << c.name;
    }
}

TEST(AtomicWrite, NewTargetsGetTheUsualPermissions)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fresh = dir.filePath(QStringLiteral("fresh.pdf"));
    ASSERT_TRUE(writeThroughTemporaryFile(fresh, [](const QString &p) {
        put(p, "x");
        return true;
    }));
    EXPECT_EQ(contentOf(fresh), QByteArray("x"));
    EXPECT_TRUE(QFile::permissions(fresh) & QFile::ReadOther) << "not the temporary file's owner-only mode";

    ASSERT_TRUE(writeBytesAtomically(fresh, "bytes"));
    EXPECT_EQ(contentOf(fresh), QByteArray("bytes"));
}

TEST(AtomicWrite, ReadOnlyFilesAreNotReplaced)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fresh = dir.filePath(QStringLiteral("fresh.pdf"));
    put(fresh, "bytes");
    QFile::setPermissions(fresh, QFile::ReadOwner);
    if (QFileInfo(fresh).isWritable())
        GTEST_SKIP() << "running as a user who may write any file";
    QString error;
    EXPECT_FALSE(writeThroughTemporaryFile(fresh, [](const QString &p) {
        put(p, "y");
        return true;
    }, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(writeBytesAtomically(fresh, "z"));
    QFile::setPermissions(fresh, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(contentOf(fresh), QByteArray("bytes"));
}
