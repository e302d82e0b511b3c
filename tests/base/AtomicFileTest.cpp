// Replacing files across processes and crashes: the save lock, commit
// records of saves stopped half-way, copies left over by them, and outputs
// that are pipes, devices or symbolic links.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/fs.h>
#include <optional>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

#include "base/AtomicFile.h"
#include "base/CommitRecord.h"
#include "base/Errors.h"
#include "base/FileStamp.h"
#include "base/FileUpdate.h"
#include "base/FileWriter.h"
#include "support/FailingWrites.h"
#include "support/TempDir.h"

namespace ketral {
namespace {

using testing::DirectoryNames;
using testing::ReadFileBytes;
using testing::TempDir;
using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t n, int seed)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return b;
}

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
TEST(AtomicFile, TheSecondOfTwoSimultaneousSavesFindsTheFileChanged)
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
TEST(AtomicFile, ASaveRemovesTheCopiesStoppedSavesLeftOfItsFile)
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

TEST(AtomicFile, ARecordWhoseCopyIsLostBeforeAnyRenameKeepsTheOldFiles)
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

TEST(AtomicFile, PipesAndDevicesAreWrittenAndLinksFollowed)
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

// The record's bytes: what is written reads back; anything cut short, or a
// name leading out of its directory, is no record.
TEST(AtomicFile, CommitRecordsReadBackAndDamagedOnesAreRefused)
{
    const std::vector<CommitEntry> entries = {{"Citymap1", "Ab12Cd", 200000, 0x0123456789ABCDEFull},
                                              {"we%ird\nname", "zz99ZZ", 0, 0}};
    const Bytes bytes = FormatCommitRecord(entries);
    MemorySource whole(bytes);
    EXPECT_EQ(ParseCommitRecord(whole), entries);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        MemorySource cut(bytes.data(), n);
        EXPECT_TRUE(ParseCommitRecord(cut).empty()) << "cut at " << n;
    }
    const struct {
        std::string file, suffix;
    } bad[] = {{"..", "Ab12Cd"}, {"maps/a.smp", "Ab12Cd"}, {"a.smp", "Ab12C"}, {"a.smp", "Ab/2Cd"}, {"", "Ab12Cd"}};
    for (const auto& b : bad) {
        MemorySource source(FormatCommitRecord({{b.file, b.suffix, 1, 1}}));
        EXPECT_TRUE(ParseCommitRecord(source).empty()) << b.file << " " << b.suffix;
    }
    // The same file twice cannot be renamed twice.
    MemorySource twice(FormatCommitRecord({entries[0], entries[0]}));
    EXPECT_TRUE(ParseCommitRecord(twice).empty());
}

// A channel that fails one operation of a batch: the n-th write or rename,
// or the flush at its end.
class FailingStep : public WriteChannel {
public:
    enum Step { None, Writing, Renaming, Flushing };
    FailingStep(Step step, int nth) : step_(step), nth_(nth), scope_(*this) {}
    ssize_t Write(int fd, const std::uint8_t* data, std::size_t n) override
    {
        if (step_ == Writing && ++count_ == nth_) return Fail(ENOSPC);
        return WriteChannel::Write(fd, data, n);
    }
    int Rename(const std::string& from, const std::string& to) override
    {
        if (step_ == Renaming && ++count_ == nth_) return Fail(EXDEV);
        return WriteChannel::Rename(from, to);
    }
    int Exchange(const std::string& copy, const std::string& file) override
    {
        if (step_ == Renaming && ++count_ == nth_) return Fail(EXDEV);
        return WriteChannel::Exchange(copy, file);
    }
    int SyncFileSystem(int fd) override { return step_ == Flushing ? Fail(EIO) : WriteChannel::SyncFileSystem(fd); }

private:
    static int Fail(int error)
    {
        errno = error;
        return -1;
    }
    Step step_;
    int nth_, count_ = 0;
    ScopedWriteChannel scope_;
};

// A batch writes its files one after another and flushes them at the end. A
// failing write or rename leaves that file as it was, with no copy beside
// it; a failing flush is reported too; nothing failed is passed as done.
TEST(AtomicFile, ABatchReplacesEachFileWholeAndReportsAnyFailure)
{
    struct Case {
        const char* what;
        FailingStep::Step step;
        int nth;
        int replaced;         // how many of the three files hold their new bytes
        const char* failure;  // the message, or none
    };
    const Case cases[] = {
        {"all written", FailingStep::None, 0, 3, nullptr},
        {"second write fails", FailingStep::Writing, 2, 1, "Cannot write file: b.png"},
        {"first rename fails", FailingStep::Renaming, 1, 0, "Cannot write file: a.png"},
        {"third write fails", FailingStep::Writing, 3, 2, "Cannot write file: c.png"},
        {"flush fails", FailingStep::Flushing, 0, 3, "Cannot write file: a.png (Input/output error)"},
    };
    const char* names[] = {"a.png", "b.png", "c.png"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        dir.write("a.png", Pattern(300, 1));
        dir.write("b.png", Pattern(200, 2));
        ASSERT_EQ(::chmod((dir / "a.png").c_str(), 0640), 0);
        dir.write(".a.png.ketral-Ab12Cd", Pattern(10, 3));  // left by a write that was stopped
        std::string message;
        {
            FailingStep channel(c.step, c.nth);
            FileBatch batch;
            try {
                for (int i = 0; i < 3; ++i) {
                    const Bytes bytes = Pattern(100 + static_cast<std::size_t>(i), 10 + i);
                    batch.Write(dir / names[i], [&](ContentWriter& out) { out.Write(bytes.data(), bytes.size()); });
                }
                batch.Finish();
            } catch (const IoError& e) {
                message = e.what();
            }
        }
        EXPECT_EQ(message, c.failure ? std::string(c.failure).insert(std::string(c.failure).find(':') + 2, dir.path())
                                     : "");
        for (int i = 0; i < 3; ++i) {
            const bool exists = std::filesystem::exists(dir / names[i]);
            if (i < c.replaced)
                EXPECT_EQ(ReadFileBytes(dir / names[i]), Pattern(100 + static_cast<std::size_t>(i), 10 + i)) << i;
            else if (i < 2)
                EXPECT_EQ(ReadFileBytes(dir / names[i]), Pattern(i == 0 ? 300 : 200, i + 1)) << i;
            else
                EXPECT_FALSE(exists);
        }
        struct stat st {};
        ASSERT_EQ(::stat((dir / "a.png").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        // The stopped write's copy goes once the batch is flushed; no new copy stays.
        std::vector<std::string> expected(names, names + (c.replaced == 3 ? 3 : 2));
        if (c.failure) expected.insert(expected.begin(), ".a.png.ketral-Ab12Cd");
        EXPECT_EQ(DirectoryNames(dir.path()), expected);
    }
}

}  // namespace
}  // namespace ketral

namespace ketral {
namespace {

// A file system that cannot swap two names.
class NoExchange : public WriteChannel {
public:
    NoExchange() : scope_(*this) {}
    int Exchange(const std::string&, const std::string&) override
    {
        errno = EINVAL;
        return -1;
    }

private:
    ScopedWriteChannel scope_;
};

// What tells one file from another: its device and number, and where the
// file system keeps one, the generation of the number. A number freed by a
// removed file is given to the next new file at once (ext4 does), which then
// differs only by the generation. (Birth times do not tell them apart: two
// files made within one tick of the file system's clock have the same.)
struct Identity {
    dev_t device = 0;
    ino_t number = 0;
    std::optional<std::uint32_t> generation;

    bool operator==(const Identity& other) const
    {
        return device == other.device && number == other.number &&
               (!generation || !other.generation || *generation == *other.generation);
    }
};

Identity IdentityOf(const std::string& path)
{
    Identity id;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        if (fd >= 0) ::close(fd);
        ADD_FAILURE() << "cannot look at " << path;
        return id;
    }
    id.device = st.st_dev;
    id.number = st.st_ino;
    int generation = 0;
    if (::ioctl(fd, FS_IOC_GETVERSION, &generation) == 0) id.generation = static_cast<std::uint32_t>(generation);
    ::close(fd);
    return id;
}

// In a batch, the old bytes a file leaves become the copy of the next file
// of its directory, written over and cut to its length, with that file's own
// mode; a file that has another link, is open elsewhere or has extended
// attributes is not written over, and a file system that cannot swap names
// gets new copies renamed.
TEST(AtomicFile, ABatchWritesEachFileOverTheOldBytesOfTheOneBefore)
{
    struct File {
        std::size_t oldSize, newSize;
        mode_t mode;
    };
    struct Case {
        const char* what;
        File files[3];
        bool linkB;          // b.png has a second name
        bool readB;          // b.png is open for reading
        bool attributeOnA;   // a.png carries an extended attribute
        bool defaultList;    // the directory has a default access list
        bool exchange;       // the file system swaps names
        int reusedBy[3];     // whose old bytes each file now has (-1: a new file)
    };
    const Case cases[] = {
        {"longer and shorter", {{100, 300, 0644}, {5000, 10, 0644}, {10, 4000, 0644}}, false, false, false, false, true, {-1, 0, 1}},
        {"modes differ", {{50, 50, 0640}, {50, 60, 0600}, {50, 40, 0751}}, false, false, false, false, true, {-1, 0, 1}},
        {"another link", {{80, 90, 0644}, {80, 70, 0644}, {80, 100, 0644}}, true, false, false, false, true, {-1, 0, -1}},
        {"a reader", {{80, 90, 0644}, {8000, 70, 0644}, {80, 100, 0644}}, false, true, false, false, true, {-1, 0, -1}},
        {"an attribute", {{80, 90, 0644}, {80, 70, 0644}, {80, 100, 0644}}, false, false, true, false, true, {-1, -1, 1}},
        {"a default list", {{80, 90, 0644}, {80, 70, 0644}, {80, 100, 0644}}, false, false, false, true, true, {-1, -1, -1}},
        {"no exchange", {{100, 300, 0644}, {5000, 10, 0600}, {10, 4000, 0644}}, false, false, false, false, false, {-1, -1, -1}},
    };
    const char* names[] = {"a.png", "b.png", "c.png"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        Identity before[3];
        for (int i = 0; i < 3; ++i) {
            dir.write(names[i], Pattern(c.files[i].oldSize, i));
            ASSERT_EQ(::chmod((dir / names[i]).c_str(), c.files[i].mode), 0);
            before[i] = IdentityOf(dir / names[i]);
        }
        if (c.linkB) {
            ASSERT_EQ(::link((dir / "b.png").c_str(), (dir / "b-link.png").c_str()), 0);
        }
        const int reader = c.readB ? ::open((dir / "b.png").c_str(), O_RDONLY | O_CLOEXEC) : -1;
        bool attribute = false;
        if (c.attributeOnA) attribute = ::setxattr((dir / "a.png").c_str(), "user.note", "x", 1, 0) == 0;
        if (c.defaultList) {
            // Version 2; owner rw-, group r--, others r--.
            const std::uint8_t list[] = {2, 0, 0, 0, 1, 0, 6, 0, 0xFF, 0xFF, 0xFF, 0xFF, 4, 0, 4, 0,
                                         0xFF, 0xFF, 0xFF, 0xFF, 0x20, 0, 4, 0, 0xFF, 0xFF, 0xFF, 0xFF};
            attribute = ::setxattr(dir.path().c_str(), "system.posix_acl_default", list, sizeof list, 0) == 0;
        }
        {
            std::unique_ptr<NoExchange> noExchange;
            if (!c.exchange) noExchange = std::make_unique<NoExchange>();
            FileBatch batch;
            for (int i = 0; i < 3; ++i) {
                const Bytes bytes = Pattern(c.files[i].newSize, 10 + i);
                batch.Write(dir / names[i], [&](ContentWriter& out) { out.Write(bytes.data(), bytes.size()); });
            }
            batch.Finish();
        }
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(names[i]);
            EXPECT_EQ(ReadFileBytes(dir / names[i]), Pattern(c.files[i].newSize, 10 + i));
            struct stat st {};
            ASSERT_EQ(::stat((dir / names[i]).c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 07777, c.files[i].mode);
            EXPECT_EQ(st.st_nlink, 1u);
            if ((c.attributeOnA || c.defaultList) && !attribute) continue;  // no extended attributes here
            const Identity now = IdentityOf(dir / names[i]);
            const int reused = c.reusedBy[i];
            if (reused >= 0) {
                EXPECT_TRUE(now == before[reused]) << "not the old file of " << names[reused];
            } else {
                for (int k = 0; k < 3; ++k) EXPECT_FALSE(now == before[k]) << "the old file of " << names[k];
            }
            EXPECT_LT(::getxattr((dir / names[i]).c_str(), "user.note", nullptr, 0), 0);
        }
        std::vector<std::string> expected(names, names + 3);
        if (c.linkB) {
            EXPECT_EQ(ReadFileBytes(dir / "b-link.png"), Pattern(c.files[1].oldSize, 1));
            expected.insert(expected.begin() + 1, "b-link.png");
        }
        if (reader >= 0) {
            // The reader still reads the old bytes it opened.
            Bytes read(c.files[1].oldSize + 1);
            EXPECT_EQ(::pread(reader, read.data(), read.size(), 0), static_cast<ssize_t>(c.files[1].oldSize));
            read.resize(c.files[1].oldSize);
            EXPECT_EQ(read, Pattern(c.files[1].oldSize, 1));
            ::close(reader);
        }
        EXPECT_EQ(DirectoryNames(dir.path()), expected);
    }
}

}  // namespace
}  // namespace ketral
