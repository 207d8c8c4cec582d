// The dialogs take every text from the lookup they are given, none from the text library itself.

#include "config/AnalysisSettings.h"
#include "config/PassThresholds.h"
#include "panels/CDlgAnalysisThresholds.h"
#include "panels/CDlgEdit.h"
#include "panels/CDlgPass.h"
#include "panels/MessageBox.h"
#include "textres/TextIds.h"
#include "trace/TraceSet.h"

#include "testsupport/TestApp.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString numbered(int id)
{
    return QStringLiteral("text %1").arg(id);
}

TEST(DialogTexts, DialogsShowTheTextsOfTheirLookup)
{
    testApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    PassThresholds thresholds;
    CDlgPass pass(dir.filePath(QStringLiteral("Config.ini")), thresholds, &numbered);
    EXPECT_EQ(pass.windowTitle(), numbered(text::PassTitle));
    EXPECT_EQ(pass.findChild<QPushButton *>(QString::number(CDlgPass::IdSave))->text(), numbered(text::Save));

    AnalysisSettings settings;
    CDlgAnalysisThresholds analysis(settings, &numbered);
    EXPECT_EQ(analysis.windowTitle(), numbered(text::AnalysisThresholdsTitle));
    EXPECT_EQ(analysis.findChild<QCheckBox *>(QStringLiteral("useFileThresholds"))->text(),
              numbered(text::AnalysisUseFileThresholds));

    TraceSlot slot;
    CDlgEdit edit(slot, &numbered);
    EXPECT_EQ(edit.windowTitle(), numbered(text::FiberInformation));

    // Without a lookup the texts are empty and the dialogs still work.
    CDlgPass bare(dir.filePath(QStringLiteral("Config.ini")), thresholds, TextLookup());
    EXPECT_TRUE(bare.windowTitle().isEmpty());
}

TEST(DialogTexts, SaveFailureMessageComesFromTheLookupOrItsFallback)
{
    testApp();
    QStringList seen;
    setMessageHook([&seen](const MessageRequest &r) {
        seen << r.text;
        return QMessageBox::Ok;
    });
    reportSaveFailure(nullptr, &numbered);
    reportSaveFailure(nullptr, TextLookup());
    setMessageHook({});
    EXPECT_EQ(seen, (QStringList{numbered(text::ErrorSavingFile), QStringLiteral("Error saving file")}));
}

} // namespace
