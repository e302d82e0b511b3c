// The file tree held in memory lists, finds and opens what the same files
// on disk give.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "base/FileTree.h"
#include "support/TempDir.h"

namespace ketral {
namespace {

using testing::TempDir;

std::vector<std::string> Names(std::vector<DirEntry> entries)
{
    std::vector<std::string> out;
    for (const DirEntry& e : entries) out.push_back(e.name + (e.isDirectory ? "/" : "") + (e.hidden ? " hidden" : ""));
    std::sort(out.begin(), out.end());
    return out;
}

TEST(MemoryFileTree, ListsFindsAndOpensAsTheDiskDoes)
{
    // Names that sort around the separator ('-' and '.' before it, '0' after).
    const std::vector<std::string> files = {"g/maps/a/x.smp", "g/maps/a/y.smp", "g/maps-x/z", "g/maps/.hidden",
                                            "g/maps.txt",     "g/maps0/k",      "g/top.txt",  "g/maps/a.sdt"};
    TempDir disk;
    MemoryFileTree memory;
    for (const std::string& f : files) {
        disk.write(f, f);
        memory.AddFile(disk / f, std::vector<std::uint8_t>(f.begin(), f.end()));
    }
    disk.mkdir("g/maps/b");
    memory.AddDirectory(disk / "g/maps/b/");

    for (const std::string dir : {"", "g", "g/", "g/maps", "g/maps/", "g/maps/a", "g/maps/b", "g/maps0"})
        for (const bool hidden : {false, true})
            EXPECT_EQ(Names(memory.List(disk / dir, hidden)), Names(DiskTree().List(disk / dir, hidden)))
                << "'" << dir << "' " << hidden;
    EXPECT_EQ(Names(memory.List(disk / "g/maps", true)),
              (std::vector<std::string>{".hidden hidden", "a.sdt", "a/", "b/"}));

    for (const std::string path : {"g/maps", "g/maps/a/x.smp", "g/maps/b", "g/nothing", "g/maps-x/z"}) {
        EXPECT_EQ(memory.IsFile(disk / path), DiskTree().IsFile(disk / path)) << path;
        EXPECT_EQ(memory.IsDirectory(disk / path), DiskTree().IsDirectory(disk / path)) << path;
    }
    EXPECT_THROW(memory.List(disk / "g/top.txt", true), IoError);
    EXPECT_THROW(memory.List(disk / "g/none", true), IoError);
    EXPECT_THROW(memory.Open(disk / "g/maps"), IoError);
    const auto source = memory.Open(disk / "g/maps/a/y.smp");
    EXPECT_EQ(source->size(), std::string("g/maps/a/y.smp").size());
}

TEST(MemoryFileTree, TheRootListsItsDirectories)
{
    MemoryFileTree memory;
    memory.AddFile("/g/maps/a", {});
    memory.AddFile("/h", {1});
    EXPECT_EQ(Names(memory.List("/", false)), (std::vector<std::string>{"g/", "h"}));
    EXPECT_EQ(Names(memory.List("/g", false)), (std::vector<std::string>{"maps/"}));
}

}  // namespace
}  // namespace ketral
