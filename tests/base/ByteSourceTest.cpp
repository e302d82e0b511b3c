#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <sys/stat.h>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "support/GuardedFifo.h"
#include "support/StarvedSource.h"
#include "support/TempDir.h"

using namespace ketral;
using ketral::testing::StarvedSource;
using ketral::testing::TempDir;

TEST(ByteSource, ReadsLittleEndianNumbersAtOffsets)
{
    MemorySource src({0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF, 0xFE, 0xFF});
    EXPECT_EQ(src.u8(1), 0x02);
    EXPECT_EQ(src.u16(0), 0x0201);
    EXPECT_EQ(src.u32(0), 0x04030201u);
    EXPECT_EQ(src.i32(4), -65537);
    EXPECT_EQ(src.i16(4), -1);
}

TEST(ByteSource, ShortReadsNameTheSource)
{
    MemorySource src({1, 2, 3}, "game/short.dat");
    EXPECT_EQ(src.u16(1), 0x0302);
    try {
        src.u16(2);
        FAIL() << "a read past the end must fail";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Read beyond end of file: game/short.dat");
    }
    EXPECT_THROW(src.u8(3), IoError);
    EXPECT_THROW(src.u32(1ull << 40), IoError);
    // A huge length from a file is refused before anything is allocated.
    EXPECT_THROW(src.bytes(1, static_cast<std::size_t>(-1)), IoError);
    EXPECT_EQ(src.bytes(1, 2), (std::vector<std::uint8_t>{2, 3}));
}

TEST(FileSource, MatchesNamesWithoutCaseAndReportsMissingFiles)
{
    TempDir dir;
    dir.write("VyxData/Citymap1", std::vector<std::uint8_t>{9, 8, 7});
    FileSource src(dir / "vyxdata/CITYMAP1");
    EXPECT_EQ(src.size(), 3u);
    EXPECT_EQ(src.u8(2), 7);
    // Messages name the file as it is spelt on disk.
    EXPECT_EQ(src.name(), dir / "VyxData/Citymap1");
    try {
        src.u8(3);
        FAIL();
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Read beyond end of file: " + (dir / "VyxData/Citymap1"));
    }
    try {
        FileSource missing(dir / "nothing.dat");
        FAIL();
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file: " + (dir / "nothing.dat"));
    }
    // A directory is not a file.
    EXPECT_THROW(FileSource(dir / "vyxdata"), IoError);
}

TEST(FileSource, OpensOnlyRegularFilesAndNeverWaitsOnAPipe)
{
    TempDir dir;
    ketral::testing::GuardedFifo pipe(dir / "pipe.dat");
    try {
        FileSource src(pipe.path());
        ADD_FAILURE() << "a named pipe must be refused";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file: " + pipe.path() + " (not a regular file)");
    }
    EXPECT_FALSE(pipe.Unblocked()) << "the open waited on the pipe";
    // Found without regard to case, like any file, and refused as well.
    EXPECT_THROW(FileSource(dir / "PIPE.DAT"), IoError);
    EXPECT_FALSE(pipe.Unblocked());
    // A device is no file of the game either.
    try {
        FileSource device("/dev/null");
        ADD_FAILURE() << "a device must be refused";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file: /dev/null (not a regular file)");
    }
    try {
        FileSource folder(dir.mkdir("folder"));
        ADD_FAILURE() << "a directory must be refused";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file: " + (dir / "folder/") + " (not a regular file)");
    }
}

namespace {

// A file of `size` bytes that takes no room on disk.
std::string SparseFile(const TempDir& dir, const std::string& name, std::uint64_t size)
{
    const std::string path = dir.write(name, std::string("x"));
    std::filesystem::resize_file(path, size);
    return path;
}

}  // namespace

TEST(ReadWholeFile, RefusesFilesFarLargerThanTheirKindBeforeReading)
{
    TempDir dir;
    const std::string big = SparseFile(dir, "huge.lst", (1ull << 30) + 5);
    try {
        ReadWholeFile(big, 16u << 20, "list file");
        ADD_FAILURE() << "a file of 1 GiB must be refused";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The file " + big + " is 1073741829 bytes, far larger than any list file (at most 16777216 bytes)");
    }
    const std::string fits = SparseFile(dir, "fits.lst", 16u << 20);
    EXPECT_EQ(ReadWholeFile(fits, 16u << 20, "list file").size(), 16u << 20);
}

TEST(ByteSource, MemoryRunningOutIsReportedWithTheFile)
{
    StarvedSource src("game/starved.dat", 4096);
    try {
        src.bytes(0, 4096);
        ADD_FAILURE() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Not enough memory to read game/starved.dat");
    }
}
