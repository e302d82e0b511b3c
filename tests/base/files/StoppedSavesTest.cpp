// Saves across processes and crashes: the save lock, commit records of
// saves stopped half-way, and the copies left over by them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "base/files/CommitRecord.h"
#include "base/files/CurrentCopy.h"
#include "base/files/FileStamp.h"
#include "base/files/FileUpdate.h"
#include "base/files/FileWriter.h"
#include "base/files/ReplaceFilesTogether.h"
#include "base/files/WriteChannel.h"
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
namespace fs = std::filesystem;

// Whether process `pid` waits for a file lock (the kernel lists it in
// /proc/locks behind "->"), or has ended; false only after a long wait.
bool BlockedOnALockOrGone(pid_t pid)
{
    const std::string mark = " " + std::to_string(pid) + " ";
    for (int i = 0; i < 20000; ++i) {
        std::ifstream locks("/proc/locks");
        for (std::string line; std::getline(locks, line);)
            if (line.find("->") != std::string::npos && line.find(mark) != std::string::npos) return true;
        siginfo_t info {};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// Two programs save one file at the same moment: the second one's check
// falls between the first one's check and its rename. It waits for the
// lock, finds the file changed and saves nothing; the first change stays.
TEST(SaveLock, TheSecondOfTwoSimultaneousSavesFindsTheFileChanged)
{
    TempDir dir;
    const std::string path = dir.write("Citymap1", Pattern(400, 1));
    OpenedFiles mine, theirs;
    mine.Remember(path);
    theirs.Remember(path);
    pid_t other = -1;
    testing::SyncHook hook([&](int flush) {
        if (flush != 1 || other >= 0) return;
        other = ::fork();
        if (other == 0) {
            // Another program: none of our descriptors (nor the locks on them).
            for (int fd = 3; fd < 1024; ++fd) ::close(fd);
            std::vector<FileUpdate> updates;
            updates.emplace_back(path);
            updates[0].After()[300] ^= 0x55;
            int code = 0;
            try {
                SaveFileUpdates(updates, theirs, false);
            } catch (const FileChangedError&) {
                code = 3;
            } catch (...) {
                code = 4;
            }
            ::_exit(code);
        }
        ASSERT_TRUE(BlockedOnALockOrGone(other));
    });
    std::vector<FileUpdate> updates;
    updates.emplace_back(path);
    updates[0].After()[10] ^= 0x22;
    EXPECT_EQ(SaveFileUpdates(updates, mine, false), std::vector<std::string>{path});
    int status = -1;
    ASSERT_EQ(::waitpid(other, &status, 0), other);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3) << "the second save was not refused";
    EXPECT_EQ(ReadFileBytes(path), updates[0].After());
    EXPECT_EQ(DirectoryNames(dir.path()), std::vector<std::string>{"Citymap1"});
}

// Copies that stopped saves left are removed by the next save of their
// file, pictures as game files; a copy a running save holds, a copy of
// another file and names that are not ours stay.
TEST(StoppedSaves, ASaveRemovesTheCopiesStoppedSavesLeftOfItsFile)
{
    TempDir dir;
    const std::string game = dir.write("tactgame.01", Pattern(64, 1));
    const std::string picture = dir.write("view.png", Pattern(64, 2));
    // A save killed before its rename leaves its copy.
    ASSERT_EQ(testing::RunStoppedAt(3, [&] { ReplaceFileContent(game, Pattern(64, 3)); }), testing::StoppedSave::Stopped);
    ASSERT_EQ(testing::RunStoppedAt(2, [&] { WriteWholeFileAtomically(picture, "new", 3); }),
              testing::StoppedSave::Stopped);
    ASSERT_EQ(DirectoryNames(dir.path()).size(), 4u);
    dir.write(".tactgame.01.ketral-Ab12Cd", Pattern(5000, 4));
    const std::string held = dir.write(".tactgame.01.ketral-Held00", Pattern(10, 5));
    const int fd = ::open(held.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    dir.write(".tactgame.02.ketral-Ab12Cd", Pattern(10, 6));
    dir.write(".tactgame.01.ketral-Ab12Cde", Pattern(10, 7));
    dir.write("tactgame.01.ketral-Ab12Cd", Pattern(10, 8));

    EXPECT_TRUE(ReplaceFileContent(game, Pattern(64, 9)));
    WriteWholeFileAtomically(picture, "picture", 7);
    EXPECT_EQ(DirectoryNames(dir.path()),
              (std::vector<std::string>{".tactgame.01.ketral-Ab12Cde", ".tactgame.01.ketral-Held00",
                                        ".tactgame.02.ketral-Ab12Cd", "tactgame.01", "tactgame.01.ketral-Ab12Cd",
                                        "view.png"}));
    EXPECT_EQ(ReadFileBytes(game), Pattern(64, 9));
    ::close(fd);
}

// A two-file save stopped after its record: the state just before the first
// rename (both copies and the record on disk, both files old).
std::string StopBeforeTheFirstRename(const std::string& a, const std::string& b, const std::string& dir)
{
    for (int step = 1; step < 40; ++step) {
        const Bytes oldA = ReadFileBytes(a), oldB = ReadFileBytes(b);
        testing::RunStoppedAt(step, [&] {
            std::vector<FileUpdate> updates;
            updates.emplace_back(a);
            updates.emplace_back(b);
            updates[0].After()[0] ^= 1;
            updates[1].After()[0] ^= 1;
            SaveFileUpdates(updates);
        });
        if (ReadFileBytes(a) != oldA) break;
        for (const std::string& name : DirectoryNames(dir))
            if (name.find(".ketral-commit-") != std::string::npos) {
                std::vector<CommitEntry> entries;
                try {
                    FileSource record(dir + name);
                    entries = ParseCommitRecord(record);
                } catch (const Error&) {
                }
                if (entries.size() == 2 && DirectoryNames(dir).size() == 5) return dir + name;
            }
        FinishInterruptedSaves({a, b});  // back to the two old files
    }
    ADD_FAILURE() << "no step stopped the save between its record and its first rename";
    return "";
}

TEST(StoppedSaves, ARecordWhoseCopyIsLostBeforeAnyRenameKeepsTheOldFiles)
{
    TempDir dir;
    const Bytes oldA = Pattern(100, 1), oldB = Pattern(80, 2);
    const std::string a = dir.write("Citymap1", oldA), b = dir.write("CITYMAP1.bld", oldB);
    const std::string record = StopBeforeTheFirstRename(a, b, dir.path());
    ASSERT_FALSE(record.empty());
    // Read as the last save left it: the new copies.
    Bytes newA = oldA;
    newA[0] ^= 1;
    EXPECT_EQ(OpenCurrentCopy(a)->bytes(0, 100), newA);
    EXPECT_NE(CurrentCopyOf(b), b);
    // One copy is lost: nothing was renamed, so the old pair is the map.
    ASSERT_EQ(::unlink(CurrentCopyOf(b).c_str()), 0);
    EXPECT_EQ(CurrentCopyOf(a), a);
    EXPECT_EQ(CurrentCopyOf(b), b);
    EXPECT_TRUE(FinishInterruptedSaves({a, b}));
    EXPECT_EQ(ReadFileBytes(a), oldA);
    EXPECT_EQ(ReadFileBytes(b), oldB);
    EXPECT_EQ(DirectoryNames(dir.path()), (std::vector<std::string>{"CITYMAP1.bld", "Citymap1"}));
}

// A save of an earlier version of the program, stopped after its record
// (which sums up the copies with FNV-1a) and its first rename, is finished.
TEST(StoppedSaves, ARecordOfAnEarlierVersionIsFinished)
{
    TempDir dir;
    const Bytes oldB = Pattern(80, 2), newA = Pattern(100, 3), newB = Pattern(80, 4);
    const std::string a = dir.write("Citymap1", newA), b = dir.write("CITYMAP1.bld", oldB);
    dir.write(".CITYMAP1.bld.ketral-Cd34Ef", newB);
    const auto fnv = [](const Bytes& bytes) {
        ContentChecksum sum(ContentHash::Fnv1a);
        sum.Add(bytes.data(), bytes.size());
        return sum.Value();
    };
    const Bytes record = FormatCommitRecord({{"Citymap1", "Ab12Cd", newA.size(), fnv(newA), ContentHash::Fnv1a},
                                             {"CITYMAP1.bld", "Cd34Ef", newB.size(), fnv(newB), ContentHash::Fnv1a}});
    const std::string text(record.begin(), record.end());
    ASSERT_NE(text.find("\nchecksum "), std::string::npos);
    dir.write(".Citymap1.ketral-commit-Xy12Zz", record);
    EXPECT_TRUE(FinishInterruptedSaves({a, b}));
    EXPECT_EQ(ReadFileBytes(a), newA);
    EXPECT_EQ(ReadFileBytes(b), newB);
    EXPECT_EQ(DirectoryNames(dir.path()), (std::vector<std::string>{"CITYMAP1.bld", "Citymap1"}));
}

// Writes and flushes normally, and notes each operation with the name of the
// file or directory it works on.
class LoggingChannel : public WriteChannel {
public:
    ssize_t Write(int fd, const std::uint8_t* data, std::size_t n) override
    {
        log.push_back("write " + NameOf(fd));
        return WriteChannel::Write(fd, data, n);
    }
    int Sync(int fd) override
    {
        log.push_back("sync " + NameOf(fd));
        return WriteChannel::Sync(fd);
    }
    int Rename(const std::string& from, const std::string& to) override
    {
        log.push_back("rename " + fs::path(from).filename().string());
        return WriteChannel::Rename(from, to);
    }
    std::vector<std::string> log;

private:
    static std::string NameOf(int fd)
    {
        return fs::read_symlink("/proc/self/fd/" + std::to_string(fd)).filename().string();
    }
    ScopedWriteChannel scope_{*this};
};

// A save of two files makes its commit record lasting before the first
// rename: the record's bytes, then the record itself and its directory are
// flushed. A crash right after a rename then always finds the record.
TEST(StoppedSaves, TheRecordAndItsDirectoryAreFlushedBeforeTheFirstRename)
{
    TempDir dir;
    const std::string a = dir.write("Citymap1", Pattern(100, 1)), b = dir.write("CITYMAP1.bld", Pattern(80, 2));
    std::vector<FileUpdate> updates;
    updates.emplace_back(a);
    updates.emplace_back(b);
    updates[0].After()[0] ^= 1;
    updates[1].After()[0] ^= 1;
    LoggingChannel channel;
    SaveFileUpdates(updates);

    const std::vector<std::string>& log = channel.log;
    const auto firstRename = std::find_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("rename ", 0) == 0; });
    ASSERT_NE(firstRename, log.end());
    const auto isRecord = [](const std::string& e) { return e.find(".ketral-commit-") != std::string::npos; };
    const auto lastRecordWrite = std::find_if(log.rbegin(), log.rend(), [&](const std::string& e) {
                                     return e.rfind("write ", 0) == 0 && isRecord(e);
                                 }).base();
    ASSERT_TRUE(lastRecordWrite != log.begin()) << "no record was written";
    ASSERT_TRUE(lastRecordWrite <= firstRename);
    const fs::path d = fs::path(dir.path()).lexically_normal();
    const std::string dirSync = "sync " + (d.has_filename() ? d.filename() : d.parent_path().filename()).string();
    bool recordFlushed = false, dirFlushed = false;
    for (auto e = lastRecordWrite; e != firstRename; ++e) {
        recordFlushed = recordFlushed || (e->rfind("sync ", 0) == 0 && isRecord(*e));
        dirFlushed = dirFlushed || (recordFlushed && *e == dirSync);
    }
    std::string all;
    for (const std::string& e : log) all += e + "\n";
    EXPECT_TRUE(recordFlushed) << all;
    EXPECT_TRUE(dirFlushed) << all;
}

}  // namespace
}  // namespace ketral
