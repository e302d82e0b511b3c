// Saving game files: a complete new copy renamed over the old file, and the
// old file byte for byte after every kind of failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Errors.h"
#include "base/files/FileStamp.h"
#include "base/files/FileUpdate.h"
#include "support/FailingWrites.h"
#include "support/TempDir.h"
#include "support/WriteProtect.h"

namespace ketral {
namespace {

using testing::DirectoryNames;
using testing::ReadFileBytes;
using testing::TempDir;
using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t n, int seed)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 31 + seed);
    return b;
}

unsigned ModeOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// The process acts as an ordinary user while the object lives (root ignores
// permission bits); nothing changes for an ordinary user.
class AsOrdinaryUser {
public:
    AsOrdinaryUser()
    {
        if (::geteuid() == 0) {
            EXPECT_EQ(::seteuid(65534), 0);
            switched_ = true;
        }
    }
    ~AsOrdinaryUser()
    {
        if (switched_ && ::seteuid(0) != 0) std::terminate();
    }

private:
    bool switched_ = false;
};

std::string SaveExpectingError(std::vector<FileUpdate>& updates)
{
    try {
        SaveFileUpdates(updates);
    } catch (const IoError& e) {
        return e.what();
    }
    ADD_FAILURE() << "the save reported success";
    return "";
}

TEST(FileUpdate, ReplacesTheWholeFileKeepingItsModeAndLeavesNoCopy)
{
    TempDir dir;
    const std::string path = dir.write("game/Citymap1", Pattern(5000, 1));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    std::vector<FileUpdate> updates;
    updates.emplace_back(dir / "GAME/CITYMAP1");  // any letter case
    EXPECT_EQ(updates[0].Path(), path);
    updates[0].After()[17] ^= 0xFF;
    updates[0].After().push_back(9);
    const Bytes expected = updates[0].After();
    EXPECT_EQ(SaveFileUpdates(updates), std::vector<std::string>{path});
    EXPECT_EQ(ReadFileBytes(path), expected);
    EXPECT_EQ(ModeOf(path), 0640u);
    EXPECT_EQ(DirectoryNames(dir / "game"), std::vector<std::string>{"Citymap1"});
}

TEST(FileUpdate, FileWhoseBytesWouldNotChangeIsNotWritten)
{
    TempDir dir;
    const std::string path = dir.write("a.bld", Pattern(700, 2));
    const FileStamp before = StampOf(path);
    std::vector<FileUpdate> updates;
    updates.emplace_back(path);
    updates[0].After()[3] ^= 1;
    updates[0].After()[3] ^= 1;  // and back
    EXPECT_TRUE(SaveFileUpdates(updates).empty());
    EXPECT_EQ(StampOf(path), before);  // the same file, not a new copy
    // Nor is a file that nobody may write, when nothing changes.
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(ReplaceFileContent(path, Pattern(700, 2)));
}

TEST(FileUpdate, FullDiskAtEveryByteLeavesTheOldFile)
{
    TempDir dir;
    const Bytes old = Pattern(300, 3);
    const std::string path = dir.write("savegame.01", old);
    const Bytes next = Pattern(320, 4);
    for (std::size_t limit = 0; limit < next.size(); ++limit) {
        testing::FullDisk disk(limit);
        std::vector<FileUpdate> updates;
        updates.emplace_back(path);
        updates[0].After() = next;
        ASSERT_EQ(SaveExpectingError(updates), "Cannot write file: " + path + " (No space left on device)")
            << "limit " << limit;
        ASSERT_EQ(ReadFileBytes(path), old) << "limit " << limit;
        ASSERT_EQ(DirectoryNames(dir.path()), std::vector<std::string>{"savegame.01"}) << "limit " << limit;
    }
    // A flush that fails is a failure too.
    testing::FullDisk flushFails(100000, true);
    std::vector<FileUpdate> updates;
    updates.emplace_back(path);
    updates[0].After() = next;
    EXPECT_EQ(SaveExpectingError(updates), "Cannot write file: " + path + " (Input/output error)");
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(DirectoryNames(dir.path()), std::vector<std::string>{"savegame.01"});
}

TEST(FileUpdate, ReadOnlyDirectoryLeavesTheOldFile)
{
    TempDir dir;
    const Bytes old = Pattern(100, 5);
    const std::string path = dir.write("ro/Citymap2", old);
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);  // the file itself may be written
    ASSERT_EQ(::chmod((dir / "ro").c_str(), 0555), 0);
    {
        AsOrdinaryUser user;
        std::vector<FileUpdate> updates;
        updates.emplace_back(dir / "ro/CITYMAP2");
        updates[0].After()[0] ^= 1;
        EXPECT_EQ(SaveExpectingError(updates), "Cannot write file: " + path + " (Permission denied)");
    }
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(DirectoryNames(dir / "ro"), std::vector<std::string>{"Citymap2"});
}

TEST(FileUpdate, FileNobodyMayWriteIsRefusedAlsoForTheSuperuser)
{
    TempDir dir;
    const Bytes old = Pattern(64, 6);
    const std::string path = dir.write("vyxexe/Vyx2p.exe", old);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    // Whoever runs the tests (the superuser writes any file the system lets it).
    std::vector<FileUpdate> updates;
    updates.emplace_back(dir / "vyxexe/VYX2P.EXE");
    updates[0].After()[1] ^= 1;
    EXPECT_EQ(SaveExpectingError(updates), "Cannot open file for writing: " + path);
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(ModeOf(path), 0444u);
    // An ordinary user the system refuses: the same message.
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    {
        testing::WriteProtect protect(path);
        EXPECT_EQ(SaveExpectingError(updates), "Cannot open file for writing: " + path);
    }
    EXPECT_EQ(ReadFileBytes(path), old);
}

TEST(FileUpdate, VanishedFileIsAnErrorAndNothingIsCreated)
{
    TempDir dir;
    const std::string path = dir.write("tactgame.01", Pattern(50, 7));
    std::vector<FileUpdate> updates;
    updates.emplace_back(path);
    updates[0].After()[0] ^= 1;
    ASSERT_EQ(::unlink(path.c_str()), 0);
    EXPECT_EQ(SaveExpectingError(updates), "Cannot open file for writing: " + path);
    EXPECT_TRUE(DirectoryNames(dir.path()).empty());
    try {
        FileUpdate missing(path);
        ADD_FAILURE() << "a missing file was read";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file for writing: " + path);
    }
    EXPECT_THROW(FileUpdate{dir.path()}, IoError);  // a directory is not a file
}

TEST(FileUpdate, SymbolicLinkStaysALinkAndItsTargetIsSaved)
{
    TempDir dir;
    const std::string target = dir.write("store/a.smp", Pattern(40, 8));
    std::filesystem::create_directory_symlink(dir / "store", dir / "maps");
    std::filesystem::create_symlink(target, dir / "maps/b.smp");
    EXPECT_TRUE(ReplaceFileContent(dir / "maps/b.smp", Pattern(40, 9)));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "maps/b.smp"));
    EXPECT_EQ(ReadFileBytes(target), Pattern(40, 9));
}

TEST(FileUpdate, FailureInTheSecondFileLeavesBothAsTheyWere)
{
    TempDir dir;
    const Bytes oldA = Pattern(200, 10), oldB = Pattern(150, 11);
    const std::string a = dir.write("Citymap1", oldA), b = dir.write("CITYMAP1.bld", oldB);
    // The disk fills up while the second copy is written.
    for (std::size_t limit : {std::size_t{200}, std::size_t{260}, std::size_t{349}}) {
        testing::FullDisk disk(limit);
        std::vector<FileUpdate> updates;
        updates.emplace_back(a);
        updates.emplace_back(b);
        updates[0].After()[5] ^= 1;
        updates[1].After()[7] ^= 1;
        EXPECT_EQ(SaveExpectingError(updates), "Cannot write file: " + b + " (No space left on device)");
        EXPECT_EQ(ReadFileBytes(a), oldA);
        EXPECT_EQ(ReadFileBytes(b), oldB);
        EXPECT_EQ(DirectoryNames(dir.path()), (std::vector<std::string>{"CITYMAP1.bld", "Citymap1"}));
    }
    // The second rename fails (its file was replaced by a directory after
    // the copies were written): the first file gets its old bytes back.
    testing::SyncHook hook([&](int flush) {
        if (flush == 2) {
            std::filesystem::remove(b);
            std::filesystem::create_directory(b);
        }
    });
    std::vector<FileUpdate> updates;
    updates.emplace_back(a);
    updates.emplace_back(b);
    updates[0].After()[5] ^= 1;
    updates[1].After()[7] ^= 1;
    EXPECT_EQ(SaveExpectingError(updates), "Cannot write file: " + b + " (Is a directory)");
    EXPECT_EQ(ReadFileBytes(a), oldA);
    EXPECT_EQ(DirectoryNames(dir.path()), (std::vector<std::string>{"CITYMAP1.bld", "Citymap1"}));
}

TEST(FileUpdate, FileChangedSinceOpeningIsRefusedUnlessOverwriteIsAllowed)
{
    TempDir dir;
    const std::string path = dir.write("savegame.02", Pattern(90, 12));
    OpenedFiles opened;
    opened.Remember(path);
    EXPECT_EQ(opened.FirstChanged(), "");
    // Another program writes the file (same size, another time).
    const Bytes theirs = Pattern(90, 13);
    dir.write("savegame.02", theirs);
    const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 5}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_TRUE(opened.ChangedSinceOpened(path));
    EXPECT_EQ(opened.FirstChanged(), path);

    std::vector<FileUpdate> updates;
    updates.emplace_back(path);
    updates[0].After()[0] ^= 1;
    try {
        SaveFileUpdates(updates, opened, false);
        ADD_FAILURE() << "a changed file was overwritten unasked";
    } catch (const FileChangedError& e) {
        EXPECT_EQ(e.path(), path);
        EXPECT_EQ(std::string(e.what()),
                  path + " was changed by another program since it was opened. Nothing was saved.");
    }
    EXPECT_EQ(ReadFileBytes(path), theirs);
    EXPECT_EQ(ChangedOnDiskQuestion(path), path + " was changed by another program since it was opened. Overwrite it?");

    // Overwriting is allowed: written, and the new stamp is the one remembered.
    EXPECT_EQ(SaveFileUpdates(updates, opened, true), std::vector<std::string>{path});
    EXPECT_EQ(ReadFileBytes(path), updates[0].After());
    EXPECT_FALSE(opened.ChangedSinceOpened(path));
    // A file that only changed its size counts as changed; one that vanished too.
    dir.write("savegame.02", Pattern(91, 13));
    EXPECT_TRUE(opened.ChangedSinceOpened(path));
    opened.Remember(path);
    ::unlink(path.c_str());
    EXPECT_TRUE(opened.ChangedSinceOpened(path));
}

// A save of a map also removes the copies that stopped saves left of the
// map's other files, which it does not write; a copy a running save holds
// stays.
TEST(FileUpdate, ASaveRemovesTheStaleCopiesOfEveryFileOfTheMap)
{
    TempDir dir;
    const std::string cells = dir.write("a.smp", Pattern(64, 1)), sizes = dir.write("a.sdt", Pattern(16, 2));
    OpenedFiles opened;
    opened.Remember(cells);
    opened.Remember(sizes);
    dir.write(".a.sdt.ketral-Ab12Cd", Pattern(16, 3));
    const std::string held = dir.write(".a.sdt.ketral-Held00", Pattern(16, 4));
    const int fd = ::open(held.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    const std::vector<std::string> before = DirectoryNames(dir.path());

    std::vector<FileUpdate> unchanged;
    unchanged.emplace_back(cells);
    SaveFileUpdates(unchanged, opened, false);  // writes nothing, so it touches nothing
    EXPECT_EQ(DirectoryNames(dir.path()), before);

    std::vector<FileUpdate> updates;
    updates.emplace_back(cells);
    updates[0].After()[0] ^= 1;
    SaveFileUpdates(updates, opened, false);
    EXPECT_EQ(DirectoryNames(dir.path()), (std::vector<std::string>{".a.sdt.ketral-Held00", "a.sdt", "a.smp"}));
    EXPECT_EQ(ReadFileBytes(sizes), Pattern(16, 2));
    ::close(fd);
}

}  // namespace
}  // namespace ketral
