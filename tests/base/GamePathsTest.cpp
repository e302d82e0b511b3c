#include <gtest/gtest.h>

#include <algorithm>

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "support/TempDir.h"

using namespace ketral;
using ketral::testing::TempDir;

TEST(GamePaths, ResolvesEachComponentWithoutRegardToCase)
{
    TempDir dir;
    dir.write("vyxdata/Citymap1", std::string("x"));
    dir.mkdir("Maps/Desert");
    EXPECT_EQ(ResolveCase(dir / "VYXDATA/citymap1"), dir / "vyxdata/Citymap1");
    EXPECT_EQ(ResolveCase(dir / "maps/desert/"), dir / "Maps/Desert/");
    EXPECT_TRUE(FileExists(dir / "VyxData/CITYMAP1"));
    EXPECT_FALSE(FileExists(dir / "vyxdata"));  // a directory is not a file
    EXPECT_TRUE(DirectoryExists(dir / "MAPS/DESERT/"));
    EXPECT_FALSE(DirectoryExists(dir / "vyxdata/Citymap1"));
    EXPECT_FALSE(DirectoryExists(""));
    EXPECT_FALSE(FileExists(""));
    // Nothing matches: the path comes back as it was.
    EXPECT_EQ(ResolveCase(dir / "maps/nowhere/x"), dir / "maps/nowhere/x");
    EXPECT_EQ(FileSize(dir / "VYXDATA/CITYMAP1"), 1u);
}

TEST(GamePaths, ListsEntriesWithoutDotsAndHiddenOnes)
{
    TempDir dir;
    dir.mkdir("maps/B");
    dir.mkdir("maps/a");
    dir.write("maps/x.txt", std::string("x"));
    dir.write("maps/.hidden", std::string("x"));
    auto entries = ListDirectory(dir / "maps/");
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"B", "a", "x.txt"}));
    for (const auto& e : entries) EXPECT_EQ(e.isDirectory, e.name != "x.txt");
    EXPECT_EQ(ListDirectory(dir / "maps/", true).size(), 4u);
    EXPECT_THROW(ListDirectory(dir / "missing/"), IoError);
}

TEST(GamePaths, DirectoryTexts)
{
    EXPECT_EQ(WithTrailingSep("/g/zv"), "/g/zv/");
    EXPECT_EQ(WithTrailingSep("/g/zv/"), "/g/zv/");
    EXPECT_EQ(WithTrailingSep(""), "");
    EXPECT_EQ(AsciiUpper("alienMap1.bld"), "ALIENMAP1.BLD");
    EXPECT_EQ(AsciiUpper("\xE9t\xE9"), "\xE9T\xE9");  // letters a-z only
    EXPECT_TRUE(EqualsIgnoreCase("AlienMap", "ALIENMAP"));
    EXPECT_FALSE(EqualsIgnoreCase("AlienMap", "ALIENMAP1"));
}
