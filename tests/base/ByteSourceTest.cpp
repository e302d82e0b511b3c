#include <gtest/gtest.h>

#include <sys/stat.h>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "base/FileWriter.h"
#include "support/TempDir.h"

using namespace ketral;
using ketral::testing::ReadFileBytes;
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

TEST(FileWriter, PatchesInPlaceWithoutTruncating)
{
    TempDir dir;
    std::string path = dir.write("vyxexe/VYX2P.EXE", std::vector<std::uint8_t>(10, 0xAA));
    {
        FileWriter w(dir / "vyxexe/vyx2p.exe");
        w.writeU16(2, 0x1234);
        w.writeU8(9, 0x01);
        w.close();
    }
    auto bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 10u);
    EXPECT_EQ(bytes[1], 0xAA);
    EXPECT_EQ(bytes[2], 0x34);
    EXPECT_EQ(bytes[3], 0x12);
    EXPECT_EQ(bytes[4], 0xAA);
    EXPECT_EQ(bytes[9], 0x01);
    EXPECT_THROW(FileWriter(dir / "missing.exe"), IoError);
}

TEST(FileWriter, ReadOnlyFileCannotBeOpenedForWriting)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
    TempDir dir;
    std::string path = dir.write("ro.bin", std::vector<std::uint8_t>(4, 0));
    ::chmod(path.c_str(), 0444);
    EXPECT_THROW(FileWriter{path}, IoError);
}
