#include "textres/Strova.h"
#include "textres/TextResources.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Each test starts unloaded and records failure notices instead of showing them.
class TextResourcesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unloadTextLibrary();
        setTextLoadFailureHandler([this](const QString &message) { failures << message; });
    }
    void TearDown() override
    {
        unloadTextLibrary();
        setTextLoadFailureHandler(nullptr);
    }

    QStringList failures;
};

TEST_F(TextResourcesTest, TextsComeFromTheLibraryWithTheirBlanks)
{
    ASSERT_TRUE(loadTextLibrary(QStringLiteral(STROVA_DIR)));
    EXPECT_TRUE(failures.isEmpty());

    const struct {
        int id;
        const char *text;
    } cases[] = {
        {103, "Veltrane"},
        {117, "Diatance(Km)"},
        {124, "Are you sure you to exit?"},
        {159, " Reflect"},
        {160, " Non-Reflect"},
        {176, "Add event "},
        {222, "Add "},
        {234, "NZ Dispersion Shifted Singlemode Fiber"},
        {238, "Unit"},
        {239, "A-B distance"},
        {243, "Pass/Fail thresholds"},
        {252, "Operator"},
        {253, "Error saving file"},
        {254, "OPM"},
        {330, "Link summary"},
        {343, "Page %1 of %2"},
        {344, "Export events..."},
        {347, "Summary page"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(loadText(c.id), QString::fromUtf8(c.text)) << "id " << c.id;
}

TEST_F(TextResourcesTest, EveryIdentifierTheProgramAsksForHasText)
{
    ASSERT_TRUE(loadTextLibrary(QStringLiteral(STROVA_DIR)));
    for (int id = 103; id <= 254; ++id) {
        if (id == 242) // not asked for by any window
            continue;
        EXPECT_FALSE(loadText(id).isEmpty()) << "id " << id;
    }
}

TEST_F(TextResourcesTest, UnknownIdentifiersGiveEmptyText)
{
    ASSERT_TRUE(loadTextLibrary(QStringLiteral(STROVA_DIR)));
    // 101 belongs to the program itself; 65536 + 103 must not wrap onto text 103.
    for (int id : {-1, 0, 101, 102, 242, 255, 65535, 65536 + 103})
        EXPECT_TRUE(loadText(id).isEmpty()) << "id " << id;
}

TEST_F(TextResourcesTest, EachLookupReturnsAFreshString)
{
    ASSERT_TRUE(loadTextLibrary(QStringLiteral(STROVA_DIR)));
    QString first = loadText(180);
    first[0] = QLatin1Char('X');
    EXPECT_EQ(loadText(180), QStringLiteral("File"));
}

TEST_F(TextResourcesTest, MissingLibraryIsReportedOnceAndTextsAreEmpty)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    EXPECT_FALSE(loadTextLibrary(empty.path()));
    EXPECT_FALSE(textLibraryLoaded());
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures.front(), QStringLiteral("加载资源文件失败，请检查"));

    EXPECT_TRUE(loadText(103).isEmpty());
    EXPECT_TRUE(loadText(176).isEmpty());
    EXPECT_EQ(failures.size(), 1) << "lookups never report";
}

TEST_F(TextResourcesTest, UnloadableFileIsReported)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile garbage(QDir(folder.path()).filePath(QStringLiteral("libStrova.so")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a shared library");
    garbage.close();

    EXPECT_FALSE(loadTextLibrary(folder.path()));
    EXPECT_EQ(failures.size(), 1);
    EXPECT_TRUE(loadText(103).isEmpty());
}

TEST_F(TextResourcesTest, ReplacingTheLibraryReplacesTheLanguage)
{
    ASSERT_TRUE(loadTextLibrary(QStringLiteral(STROVA_DIR)));
    ASSERT_EQ(loadText(192), QStringLiteral("Open"));

    ASSERT_TRUE(loadTextLibrary(QStringLiteral(STROVA_ALT_DIR)));
    EXPECT_EQ(loadText(192), QStringLiteral("Ouvrir"));
    EXPECT_EQ(loadText(176), QStringLiteral("Ajouter un événement "));
    EXPECT_TRUE(loadText(193).isEmpty()) << "the small table has no text 193";

    unloadTextLibrary();
    EXPECT_FALSE(textLibraryLoaded());
    EXPECT_TRUE(loadText(192).isEmpty());
}

TEST(StrovaLibrary, TableIsReachableThroughTheExportedFunction)
{
    // Direct lookups through a fresh binding, independent of the program's loader.
    QLibrary library(QDir(QStringLiteral(STROVA_DIR)).filePath(QStringLiteral("Strova")));
    ASSERT_TRUE(library.load()) << library.errorString().toStdString();
    auto lookup = reinterpret_cast<StrovaTextFn>(library.resolve(strovaTextSymbol));
    ASSERT_NE(lookup, nullptr);
    EXPECT_STREQ(lookup(125), "Tips");
    EXPECT_EQ(lookup(102), nullptr);
    EXPECT_NE(library.resolve("_ZN7CStrovaaSERKS_"), nullptr) << "CStrova::operator= is exported";
}

} // namespace
