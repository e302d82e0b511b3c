// Writing many files as a batch: every file whole under its name, failures
// reported, and the old bytes of one file taken for the copy of the next.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <optional>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "base/Errors.h"
#include "base/files/FileBatch.h"
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
TEST(FileBatch, ABatchReplacesEachFileWholeAndReportsAnyFailure)
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
TEST(FileBatch, ABatchWritesEachFileOverTheOldBytesOfTheOneBefore)
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
