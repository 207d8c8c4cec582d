#include "app/MainLayout.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

TEST(MainLayout, ResizeKeepsAnchors)
{
    MainLayout layout;
    const QSize client(1000, 700);
    layout.capture({QRect(10, 5, 980, 50), QRect(4, 60, 600, 450), QRect(620, 62, 370, 460),
                    QRect(622, 560, 366, 130), QRect(0, 540, 610, 150)},
                   client);
    // Same size gives the same rectangles back.
    const auto same = layout.apply(client);
    EXPECT_EQ(same[MainLayout::TraceView], QRect(4, 60, 600, 450));
    EXPECT_EQ(same[MainLayout::EventList], QRect(0, 540, 610, 150));

    const auto big = layout.apply(QSize(1600, 900));
    EXPECT_EQ(big[MainLayout::Toolbar], QRect(10, 5, 1580, 50));
    EXPECT_EQ(big[MainLayout::TraceView], QRect(4, 60, 1200, 650));
    EXPECT_EQ(big[MainLayout::InfoPanel], QRect(1220, 62, 370, 660));
    EXPECT_EQ(big[MainLayout::Overview], QRect(1222, 760, 366, 130));
    EXPECT_EQ(big[MainLayout::EventList], QRect(0, 740, 1210, 150));
}

} // namespace
