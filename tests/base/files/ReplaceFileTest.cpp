// Replacing one file: outputs that are pipes, devices or symbolic links.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "base/files/FileWriter.h"
#include "support/BytePattern.h"
#include "support/FailingWrites.h"
#include "support/TempDir.h"

namespace ketral {
namespace {

using testing::DirectoryNames;
using testing::Pattern;
using testing::ReadFileBytes;
using testing::TempDir;
using Bytes = std::vector<std::uint8_t>;

TEST(ReplaceFile, PipesAndDevicesAreWrittenAndLinksFollowed)
{
    TempDir dir;
    const std::string data = "picture bytes";
    // A named pipe is written, not replaced.
    const std::string fifo = dir / "view.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    WriteWholeFileAtomically(fifo, data.data(), data.size());
    char got[64] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), static_cast<ssize_t>(data.size()));
    EXPECT_EQ(std::string(got), data);
    ::close(reader);
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // A character device (this one is the null device), where one may be made.
    const std::string device = dir / "null.raw";
    if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        WriteWholeFileAtomically(device, data.data(), data.size());
        ASSERT_EQ(::lstat(device.c_str(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }

    // A link stays a link; its target is replaced, keeping its mode; a link
    // to no file yet creates its target.
    const std::string target = dir.write("pictures/real.png", Pattern(20, 1));
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    std::filesystem::create_symlink("pictures/real.png", dir / "link.png");
    std::filesystem::create_symlink("pictures/later.png", dir / "later.png");
    WriteWholeFileAtomically(dir / "link.png", data.data(), data.size());
    WriteWholeFileAtomically(dir / "later.png", data.data(), 7);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.png"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "later.png"));
    EXPECT_EQ(ReadFileBytes(target), Bytes(data.begin(), data.end()));
    EXPECT_EQ(ReadFileBytes(dir / "pictures/later.png"), Bytes(data.begin(), data.begin() + 7));
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(DirectoryNames(dir / "pictures"), (std::vector<std::string>{"later.png", "real.png"}));
}

}  // namespace
}  // namespace ketral
