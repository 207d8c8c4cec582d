#include "panels/CSubDlgToolbar.h"
#include "panels/CUiPngButton.h"
#include "panels/PanelResources.h"
#include "view/DialogUnits.h"
#include "testsupport/TestApp.h"
#include "TestTexts.h"

#include <QToolTip>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct ButtonCase {
    int id;
    int leftDu;
    int image;
    const char *toolTip;
};

const ButtonCase visibleButtons[] = {
    {1004, 2, 143, "Open the file"},
    {1005, 36, 145, "Save the file"},
    {1006, 70, 135, "Reduction curve"},
    {1007, 104, 136, "Zoom in horizontally"},
    {1008, 138, 146, "Zoom out horizontally"},
    {1009, 172, 137, "Zoom in vertically"},
    {1010, 206, 147, "Zoom out vertically"},
    {1011, 240, 142, "Move marking line to left"},
    {1012, 274, 144, "Move marking line to right"},
    {1013, 308, 149, "Move marking line to up"},
    {1014, 342, 138, "Move marking line to down"},
    {1019, 376, 133, "Toggle marking line"},
    {1020, 410, 148, "Toggle curve"},
    {1016, 444, 139, "Add event "},
    {1017, 478, 141, "Delete event"},
};

} // namespace

TEST(Toolbar, ButtonsHaveImagesTooltipsAndPlaces)
{
    testApp();
    CSubDlgToolbar strip(testTexts());
    strip.show();
    const DialogUnits du(strip.font());
    int lastLeft = -1;
    for (const ButtonCase &c : visibleButtons) {
        CUiPngButton *b = strip.button(c.id);
        ASSERT_NE(b, nullptr) << c.id;
        EXPECT_TRUE(b->isVisible()) << c.id;
        EXPECT_EQ(b->image().size(), QSize(48, 48)) << c.id;
        const QImage expected = QImage(pngResourcePath(c.image)).convertToFormat(b->image().format());
        EXPECT_TRUE(!expected.isNull() && b->image() == expected) << c.id << " shows image " << c.image;
        EXPECT_EQ(b->x(), du.x(c.leftDu)) << c.id;
        EXPECT_EQ(b->size(), QSize(48, 48)) << c.id;
        EXPECT_EQ(b->toolTip(), QString::fromLatin1(c.toolTip)) << c.id;
        EXPECT_GT(b->x(), lastLeft) << "buttons run left to right in table order";
        lastLeft = b->x();
    }
    for (int hidden : {1015, 1018}) {
        ASSERT_NE(strip.button(hidden), nullptr);
        EXPECT_FALSE(strip.button(hidden)->isVisible()) << hidden;
    }
}

TEST(Toolbar, ClickButtonsEmitTheirRequestOnce)
{
    testApp();
    CSubDlgToolbar strip(testTexts());
    strip.show();
    struct Case {
        int id;
        QSignalSpy *spy;
    };
    QSignalSpy open(&strip, &CSubDlgToolbar::openRequested);
    QSignalSpy save(&strip, &CSubDlgToolbar::saveRequested);
    QSignalSpy reset(&strip, &CSubDlgToolbar::resetViewRequested);
    QSignalSpy cursor(&strip, &CSubDlgToolbar::cursorToggleRequested);
    QSignalSpy next(&strip, &CSubDlgToolbar::nextTraceRequested);
    QSignalSpy add(&strip, &CSubDlgToolbar::addEventRequested);
    QSignalSpy del(&strip, &CSubDlgToolbar::deleteEventRequested);
    const Case cases[] = {{1004, &open}, {1005, &save}, {1006, &reset}, {1019, &cursor},
                          {1020, &next}, {1016, &add},  {1017, &del}};
    for (const Case &c : cases) {
        QTest::mouseClick(strip.button(c.id), Qt::LeftButton, {}, QPoint(24, 24));
        for (const Case &other : cases)
            EXPECT_EQ(other.spy->count(), other.id == c.id ? 1 : 0) << "after clicking " << c.id;
        c.spy->clear();
    }
}

TEST(Toolbar, HoldingCursorRightStepsSmallThenLarge)
{
    testApp();
    CSubDlgToolbar strip(testTexts());
    strip.show();
    QSignalSpy steps(&strip, &CSubDlgToolbar::cursorStepRequested);
    CUiPngButton *right = strip.button(CSubDlgToolbar::IdCursorRight);
    QTest::mousePress(right, Qt::LeftButton, {}, QPoint(24, 24));
    EXPECT_EQ(steps.count(), 0) << "nothing happens at the press itself";
    EXPECT_EQ(strip.repeatAction(), 6);
    EXPECT_TRUE(strip.repeating());
    for (int i = 0; i < 20; ++i)
        strip.tick();
    ASSERT_EQ(steps.count(), 20);
    QTest::mouseRelease(right, Qt::LeftButton, {}, QPoint(24, 24));
    EXPECT_EQ(strip.heldMs(), 0);
    EXPECT_EQ(strip.repeatAction(), 0);
    const int afterRelease = steps.count();
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(steps.at(i).at(0).toInt(), i < 6 ? 2 : 10) << "tick " << i + 1;
    EXPECT_FALSE(strip.repeating()) << "the repeat stops with the release";
    strip.tick();
    EXPECT_EQ(steps.count(), afterRelease);
}

TEST(Toolbar, QuickClickOnZoomChangesNothing)
{
    testApp();
    CSubDlgToolbar strip(testTexts());
    strip.show();
    QSignalSpy zoom(&strip, &CSubDlgToolbar::zoomInHRequested);
    QTest::mouseClick(strip.button(CSubDlgToolbar::IdZoomInH), Qt::LeftButton, {}, QPoint(24, 24));
    EXPECT_FALSE(strip.repeating());
    strip.tick();
    EXPECT_EQ(zoom.count(), 0);
    // A double click as the platform delivers it: press, release, double-click press, release.
    CUiPngButton *zoomIn = strip.button(CSubDlgToolbar::IdZoomInH);
    QTest::mouseClick(zoomIn, Qt::LeftButton, {}, QPoint(24, 24));
    QTest::mouseDClick(zoomIn, Qt::LeftButton, {}, QPoint(24, 24));
    QTest::mouseRelease(zoomIn, Qt::LeftButton, {}, QPoint(24, 24));
    EXPECT_FALSE(strip.repeating());
    strip.tick();
    EXPECT_EQ(zoom.count(), 0) << "a quick double click leaves no repeat running";
    EXPECT_EQ(strip.repeatAction(), 0);

    // Holding the second press of a double click repeats like any press.
    QTest::mouseClick(zoomIn, Qt::LeftButton, {}, QPoint(24, 24));
    QTest::mouseDClick(zoomIn, Qt::LeftButton, {}, QPoint(24, 24));
    EXPECT_TRUE(strip.repeating());
    strip.tick();
    strip.tick();
    QTest::mouseRelease(zoomIn, Qt::LeftButton, {}, QPoint(24, 24));
    EXPECT_EQ(zoom.count(), 2);
}

TEST(Toolbar, EveryHoldButtonRepeatsItsOwnRequest)
{
    testApp();
    CSubDlgToolbar strip(testTexts());
    strip.show();
    QSignalSpy zoomInH(&strip, &CSubDlgToolbar::zoomInHRequested);
    QSignalSpy zoomOutH(&strip, &CSubDlgToolbar::zoomOutHRequested);
    QSignalSpy zoomInV(&strip, &CSubDlgToolbar::zoomInVRequested);
    QSignalSpy zoomOutV(&strip, &CSubDlgToolbar::zoomOutVRequested);
    QSignalSpy cursor(&strip, &CSubDlgToolbar::cursorStepRequested);
    QSignalSpy curve(&strip, &CSubDlgToolbar::curveMoveRequested);
    struct Case {
        int id;
        QSignalSpy *spy;
        QVariant first;
    };
    const Case cases[] = {
        {1007, &zoomInH, 0.02f}, {1008, &zoomOutH, 0.02f}, {1009, &zoomInV, 0.02f}, {1010, &zoomOutV, 0.02f},
        {1011, &cursor, -2},     {1012, &cursor, 2},       {1013, &curve, -1},      {1014, &curve, 1},
    };
    for (const Case &c : cases) {
        c.spy->clear();
        CUiPngButton *b = strip.button(c.id);
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(24, 24));
        strip.tick();
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(24, 24));
        ASSERT_EQ(c.spy->count(), 1) << c.id;
        EXPECT_EQ(c.spy->at(0).at(0), c.first) << c.id;
    }
}

TEST(Toolbar, TooltipShowsSoonAfterResting)
{
    testApp();
    CSubDlgToolbar strip(testTexts());
    strip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&strip));
    CUiPngButton *save = strip.button(CSubDlgToolbar::IdSave);
    QTest::mouseMove(save, QPoint(24, 24));
    EXPECT_TRUE(save->toolTipPending());
    EXPECT_GE(save->toolTipDelay(), 0);
    EXPECT_LT(save->toolTipDelay(), 500) << "well before the platform's usual delay";
    save->showToolTipNow();
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "Save the file");
    QToolTip::hideText();
}
