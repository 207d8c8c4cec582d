// The pass/fail dialog of a program whose folder is read-only: it saves into the per-user
// Config.ini and reads that back. Needs a user that permission bits stop (not root); install-check
// runs it as an unprivileged user when CI runs as root.
#include "panels/MessageBox.h"
#include "config/Configuration.h"
#include "config/PassThresholds.h"
#include "config/SettingsLocation.h"
#include "panels/CDlgPass.h"

#include "testsupport/TestApp.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ReadOnlyProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        testApp();
        ASSERT_TRUE(program.isValid() && config.isValid());
        QFile ini(configFilePath(program.path()));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(shipped);
        ini.close();
        QFile::setPermissions(program.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (folderAcceptsFiles(program.path()))
            GTEST_SKIP() << "permission bits do not stop this user (root)";
        savedXdg = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    }
    void TearDown() override
    {
        QFile::setPermissions(program.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_CONFIG_HOME", savedXdg);
        setMessageHook({});
    }
    QLineEdit *reflectionEdit(CDlgPass &dialog)
    {
        return dialog.findChild<QLineEdit *>(QString::number(CDlgPass::IdReflectionEdit));
    }
    QString userFile() const { return QDir(config.path()).filePath(QStringLiteral("Lumidor/Config.ini")); }

    const QByteArray shipped = "[Color]\nBack=0\n[PassThrd]\nReflection=0.70\n";
    QTemporaryDir program;
    QTemporaryDir config;
    QByteArray savedXdg;
    PassThresholds thresholds;
};

TEST_F(ReadOnlyProgram, SaveGoesToThePerUserFileAndIsReadBack)
{
    const QString shippedPath = configFilePath(program.path());
    {
        CDlgPass dialog(shippedPath, thresholds, TextLookup());
        ASSERT_NE(reflectionEdit(dialog), nullptr);
        EXPECT_EQ(reflectionEdit(dialog)->text(), QStringLiteral("0.70")) << "the shipped value";
        reflectionEdit(dialog)->setText(QStringLiteral("1.25"));
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(readAll(shippedPath), shipped);
    const QByteArray user = readAll(userFile());
    EXPECT_TRUE(user.contains("Reflection=1.25")) << user.constData();
    EXPECT_TRUE(user.contains("[Color]")) << "made from the shipped file";

    CDlgPass again(shippedPath, thresholds, TextLookup());
    EXPECT_EQ(reflectionEdit(again)->text(), QStringLiteral("1.25"));
}

TEST_F(ReadOnlyProgram, NoPlaceForThePerUserFileSaysSo)
{
    // A file where the Lumidor folder would have to be.
    QFile blocker(QDir(config.path()).filePath(QStringLiteral("Lumidor")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QList<MessageRequest> shown;
    setMessageHook([&shown](const MessageRequest &r) {
        shown.append(r);
        return QMessageBox::Ok;
    });
    CDlgPass dialog(configFilePath(program.path()), thresholds, TextLookup());
    dialog.accept();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].icon, QMessageBox::Warning);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(readAll(configFilePath(program.path())), shipped);
}

} // namespace
