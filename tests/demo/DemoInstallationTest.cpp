#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/LittleEndian.h"
#include "base/Messages.h"
#include "demo/Demo.h"
#include "shell/Catalogue.h"
#include "shell/GameInstallation.h"
#include "shell/SettingsStore.h"
#include "support/Digest.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace ketral;
using ketral::testing::ReadFileBytes;
using ketral::testing::TempDir;

namespace {

// Every file below `root` by its relative path, with its bytes.
std::map<std::string, std::vector<std::uint8_t>> Snapshot(const std::string& root)
{
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string rel = fs::relative(e.path(), root).string();
        files[rel + (e.is_directory() ? "/" : "")] = e.is_directory() ? std::vector<std::uint8_t>{} : ReadFileBytes(e.path().string());
    }
    return files;
}

// The digests committed beside this test: "<digest> <path>" lines.
std::string DigestsFile()
{
    const char* dir = std::getenv("KETRAL_TEST_SOURCE");
    return std::string(dir ? dir : "tests") + "/demo/demo-installation.fnv";
}

std::map<std::string, std::string> ReadDigests(const std::string& path)
{
    std::map<std::string, std::string> out;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto space = line.find(' ');
        if (space != std::string::npos) out[line.substr(space + 1)] = line.substr(0, space);
    }
    return out;
}

}  // namespace

TEST(Fnv1a64, KnownValues)
{
    const struct {
        std::string text;
        const char* hex;
    } cases[] = {
        {"", "cbf29ce484222325"},
        {"a", "af63dc4c8601ec8c"},
        {"foobar", "85944171f73967e8"},
        {std::string("\0", 1), "af63bd4c8601b7df"},
    };
    for (const auto& c : cases) {
        ketral::testing::Fnv1a64 digest;
        digest.Add(c.text);
        EXPECT_EQ(digest.Hex(), c.hex) << c.text;
    }
    // Adding in pieces is adding the whole.
    ketral::testing::Fnv1a64 pieces;
    pieces.Add("foo");
    pieces.Add("bar");
    EXPECT_EQ(pieces.Hex(), "85944171f73967e8");
}

// The demo is the same with every compiler and on every machine: each file
// (path and bytes) matches the committed digests. Should the demo change on
// purpose, the test leaves the new list in its working directory, to
// replace tests/demo/demo-installation.fnv.
TEST(DemoInstallation, MatchesTheCommittedDigests)
{
    TempDir tmp;
    const auto actual = ketral::testing::TreeDigests(WriteDemoInstallation(tmp / "game"));
    const auto expected = ReadDigests(DigestsFile());
    std::ostringstream differences;
    int count = 0;
    if (expected.empty()) {
        differences << "  no digests in " << DigestsFile() << "\n";
        ++count;
    }
    for (const auto& [path, digest] : expected) {
        auto it = actual.find(path);
        if (it == actual.end()) {
            differences << "  missing: " << path << "\n";
            ++count;
        } else if (it->second != digest) {
            differences << "  differs: " << path << "\n";
            ++count;
        }
    }
    for (const auto& entry : actual)
        if (!expected.count(entry.first)) {
            differences << "  new:     " << entry.first << "\n";
            ++count;
        }
    if (count > 0) {
        std::ofstream list("demo-installation.fnv");
        list << "# FNV-1a 64 of every file of the demo installation (tests/demo/DemoInstallationTest.cpp)\n";
        for (const auto& [path, digest] : actual) list << digest << " " << path << "\n";
        ADD_FAILURE() << count << " differences from " << DigestsFile() << ":\n"
                      << differences.str() << "The new list is " << fs::absolute("demo-installation.fnv").string();
    }
}

TEST(DemoInstallation, IsByteIdenticalOnEveryRun)
{
    TempDir a;
    TempDir b;
    EXPECT_EQ(WriteDemoInstallation(a / "game"), a / "game/");
    EXPECT_EQ(WriteDemoInstallation(b / "game"), b / "game/");
    const auto first = Snapshot(a / "game");
    const auto second = Snapshot(b / "game");
    ASSERT_FALSE(first.empty());
    ASSERT_EQ(first.size(), second.size());
    for (const auto& [name, bytes] : first) {
        auto it = second.find(name);
        ASSERT_NE(it, second.end()) << name;
        EXPECT_TRUE(bytes == it->second) << name << " differs";
    }

    // Writing again over an existing demo changes nothing either.
    WriteDemoInstallation(a / "game");
    EXPECT_TRUE(Snapshot(a / "game") == first);
}

TEST(DemoInstallation, LayoutOfTheInstallation)
{
    TempDir tmp;
    const std::string game = WriteDemoInstallation(tmp / "demo");
    for (const char* dir : {"maps", "vyxdata", "vyxexe", "tacdata", "savegame"})
        EXPECT_TRUE(DirectoryExists(game + dir)) << dir;

    // The configuration file names the CD drive in byte 1.
    FileSource cfg(game + "ZORVAN3.CFG");
    ASSERT_GE(cfg.size(), 2u);
    const char letter = static_cast<char>(cfg.u8(1));
    EXPECT_TRUE(letter >= 'A' && letter <= 'Z');

    // Saved games reach as far as the editor reads them.
    const std::string sg = game + "savegame/";
    for (const char* city : {"savegame.00", "savegame.01", "savegame.03", "strtgame.05"})
        EXPECT_GE(FileSize(sg + city), 224106u + 200000u) << city;
    for (const char* battle : {"tactgame.03", "tactgame.05", "tactgame.07"}) {
        FileSource f(sg + battle);
        std::uint64_t cells = 4;
        for (int i = 0; i < 3; ++i) cells *= static_cast<std::uint64_t>(f.i32(2103 + 4 * i));
        EXPECT_GE(f.size(), 1457102u + cells) << battle;
    }
    EXPECT_EQ(FileSource(sg + "savegame.01").u8(173), 1);  // the alien city
    EXPECT_EQ(FileSource(sg + "savegame.00").u8(173), 0);
}

TEST(DemoInstallation, OpensInTheCatalogueWithEverySlotLayout)
{
    TempDir tmp;
    Game().Reset();
    MemorySettingsStore store;
    store.OpenKey(kSettingsKey).WriteString("ZorvanPath", WriteDemoInstallation(tmp / "demo"));
    CollectingMessages messages;
    std::vector<CatalogueNode> groups;
    BuildCatalogue(store, messages, groups);
    EXPECT_TRUE(messages.messages.empty());
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0].Caption, "Strategic maps");
    EXPECT_GE(groups[0].Children.size(), 2u);
    EXPECT_EQ(groups[1].Children.size(), 6u);  // the alien dimension and five cities
    EXPECT_EQ(groups[2].Children.size(), 33u);

    const auto& slots = groups[3].Children;
    ASSERT_EQ(slots.size(), 5u);
    std::vector<std::string> layouts;
    for (const auto& slot : slots) {
        std::string l = slot.Entry->FileName + ":";
        for (const auto& child : slot.Children) l += " " + child.Entry->FileName;
        layouts.push_back(l);
    }
    EXPECT_EQ(layouts, (std::vector<std::string>{
                           "savegame.00: savegame.00",
                           "savegame.01: savegame.01",
                           "savegame.03: savegame.03",  // the battle of slot 3 stays hidden
                           "tactgame.05: tactgame.05 strtgame.05",
                           "tactgame.07: tactgame.07",
                       }));
    // Readable header texts: a name, a comma, the date.
    EXPECT_EQ(slots[0].Caption, "Dawn patrol, 12 March 2084 08:15");
    EXPECT_EQ(slots[4].Caption.size(), 40u + 2u + 17u);
    Game().Reset();
}
