#include "panels/CMyButton.h"
#include "panels/CUiPngButton.h"
#include "testsupport/TestApp.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// An image of `frames` solid pictures side by side: red, green, blue, yellow.
QImage framedImage(int frames, int side)
{
    static const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    QImage image(side * frames, side, QImage::Format_ARGB32);
    QPainter p(&image);
    for (int i = 0; i < frames; ++i)
        p.fillRect(i * side, 0, side, side, colours[i]);
    return image;
}

// The button painted over a white parent.
QImage paintedOnWhite(QWidget &button)
{
    QWidget *parent = button.parentWidget();
    parent->setAutoFillBackground(true);
    QPalette pal = parent->palette();
    pal.setColor(QPalette::Window, Qt::white);
    parent->setPalette(pal);
    return parent->grab(button.geometry()).toImage();
}

void enter(QWidget &w)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&w, &event);
}

void leave(QWidget &w)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&w, &event);
}

} // namespace

TEST(ImageButton, LoadsItsPngAndTakesItsSize)
{
    testApp();
    QWidget parent;
    CUiPngButton button(&parent);
    button.setGeometry(10, 5, 80, 30);
    ASSERT_TRUE(button.LoadPng(143));
    EXPECT_EQ(button.image().size(), QSize(48, 48));
    EXPECT_EQ(button.frameCount(), 1);
    EXPECT_EQ(button.geometry(), QRect(10, 5, 48, 48)) << "resized to the image, left-top kept";
}

TEST(ImageButton, MissingResourceLeavesNoImageAndDrawsNothing)
{
    testApp();
    QWidget parent;
    parent.resize(100, 60);
    CUiPngButton button(&parent);
    button.setGeometry(0, 0, 80, 30);
    EXPECT_FALSE(button.LoadPng(999));
    EXPECT_TRUE(button.image().isNull());
    EXPECT_EQ(button.size(), QSize(80, 30));
    const QImage shot = paintedOnWhite(button);
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            ASSERT_EQ(shot.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
}

TEST(ImageButton, SinglePictureIsCentredOrClipped)
{
    testApp();
    QWidget parent;
    parent.resize(100, 100);
    CUiPngButton button(&parent);
    button.setImage(framedImage(1, 48), 1);
    button.setGeometry(0, 0, 64, 64);
    QImage shot = paintedOnWhite(button);
    EXPECT_EQ(shot.pixelColor(8, 8), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(55, 55), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(7, 7), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(56, 56), QColor(Qt::white));

    button.setGeometry(0, 0, 40, 40);
    shot = paintedOnWhite(button);
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(Qt::red)) << "a smaller button clips the picture on all sides";
    EXPECT_EQ(shot.pixelColor(39, 39), QColor(Qt::red));
}

TEST(ImageButton, ThreePicturesFollowHoverPressAndDisable)
{
    testApp();
    QWidget parent;
    parent.resize(100, 100);
    parent.show();
    CUiPngButton button(&parent);
    button.setImage(framedImage(3, 30), 3);
    EXPECT_EQ(button.size(), QSize(30, 30));
    button.show();
    QSignalSpy clicked(&button, &QAbstractButton::clicked);

    EXPECT_EQ(paintedOnWhite(button).pixelColor(15, 15), QColor(Qt::red));
    enter(button);
    EXPECT_EQ(button.state(), 2);
    EXPECT_EQ(paintedOnWhite(button).pixelColor(15, 15), QColor(Qt::green));
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(15, 15));
    EXPECT_EQ(button.state(), 3);
    EXPECT_EQ(paintedOnWhite(button).pixelColor(15, 15), QColor(Qt::blue));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(15, 15));
    EXPECT_EQ(button.state(), 2);
    EXPECT_EQ(clicked.count(), 1) << "clicks still reach the button's command";
    leave(button);
    EXPECT_EQ(button.state(), 1);

    button.setEnabled(false);
    EXPECT_EQ(button.state(), 4);
    EXPECT_EQ(paintedOnWhite(button).pixelColor(15, 15), QColor(Qt::white)) << "three pictures have no disabled one";
    button.setEnabled(true);
    EXPECT_EQ(button.state(), 1);
}

TEST(ImageButton, HoverAndLeaveReturnToNormalWithOnePicture)
{
    testApp();
    QWidget parent;
    parent.resize(100, 100);
    CUiPngButton button(&parent);
    ASSERT_TRUE(button.LoadPng(136));
    const QImage before = paintedOnWhite(button);
    enter(button);
    EXPECT_EQ(button.state(), 2);
    EXPECT_EQ(paintedOnWhite(button), before) << "one picture serves every state";
    leave(button);
    EXPECT_EQ(button.state(), 1);
}

namespace {

class ContentButton : public CMyButton {
public:
    using CMyButton::CMyButton;
    QRect lastRect;

protected:
    void DrawContent(QPainter &painter, const QRect &rect) override
    {
        lastRect = rect;
        painter.fillRect(QRect(rect.center(), QSize(2, 2)), Qt::black);
    }
};

} // namespace

TEST(OwnDrawnButton, BufferFollowsALargerClientAndIsKeptForASmallerOne)
{
    testApp();
    QWidget parent;
    ContentButton button(&parent);
    button.resize(100, 30);
    QImage shot = button.grab().toImage();
    EXPECT_EQ(button.bufferSize(), QSize(100, 30));
    EXPECT_EQ(button.lastRect, QRect(0, 0, 100, 30));
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(238, 232, 219)) << "the face is filled before the content";
    EXPECT_EQ(shot.pixelColor(button.lastRect.center()), QColor(Qt::black));

    button.resize(120, 30);
    button.grab();
    EXPECT_EQ(button.bufferSize(), QSize(120, 30));
    button.resize(100, 30);
    shot = button.grab().toImage();
    EXPECT_EQ(button.bufferSize(), QSize(120, 30));
    EXPECT_EQ(shot.size(), QSize(100, 30));
    EXPECT_EQ(shot.pixelColor(99, 29), QColor(238, 232, 219));

    // Taller than the kept 120 x 30 buffer: a new buffer of the client size, not of the union.
    button.resize(100, 40);
    shot = button.grab().toImage();
    EXPECT_EQ(button.bufferSize(), QSize(100, 40));
    EXPECT_EQ(shot.pixelColor(99, 39), QColor(238, 232, 219));
    EXPECT_EQ(shot.pixelColor(button.lastRect.center()), QColor(Qt::black));
}
