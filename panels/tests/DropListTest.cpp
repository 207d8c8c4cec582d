#include "panels/CDropfileList.h"
#include "testsupport/TestApp.h"

#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

TEST(DropList, KeepsOnlyLocalFiles)
{
    testApp();
    QMimeData data;
    EXPECT_TRUE(CDropfileList::droppedPaths(&data).isEmpty());
    data.setText("not a file");
    EXPECT_TRUE(CDropfileList::droppedPaths(&data).isEmpty());
    data.setUrls({QUrl::fromLocalFile("/a b/x.sor"), QUrl("https://example.org/y.sor"), QUrl::fromLocalFile("/c.SOR")});
    EXPECT_EQ(CDropfileList::droppedPaths(&data), QStringList({"/a b/x.sor", "/c.SOR"}));
    EXPECT_TRUE(CDropfileList::droppedPaths(nullptr).isEmpty());
}
