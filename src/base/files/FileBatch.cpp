#include "base/files/FileBatch.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "base/Errors.h"
#include "base/files/CopyNames.h"
#include "base/files/NewCopy.h"
#include "base/files/StoppedSaves.h"
#include "base/files/WriteChannel.h"

namespace ketral {

struct FileBatch::Spare {
    Fd fd;  // open for writing and locked, as a new copy is
    std::string name;
    struct stat st {};
};

FileBatch::FileBatch() = default;

FileBatch::~FileBatch() { DropSpare(); }

void FileBatch::DropSpare()
{
    if (!spare_) return;
    ::unlink(spare_->name.c_str());
    spare_.reset();
}

namespace {

// Whether nobody but us has the file of `fd` open: a reader that opened the
// old file before its name was taken would see its bytes change. The kernel
// grants a write lease only then; it is given up at once. Should somebody
// open the file in between, the lease's notice is a signal that is ignored
// unless caught, not the default one that ends the program.
bool OpenOnlyHere(int fd)
{
    if (::fcntl(fd, F_SETSIG, SIGURG) != 0 || ::fcntl(fd, F_SETLEASE, F_WRLCK) != 0) return false;
    (void)::fcntl(fd, F_SETLEASE, F_UNLCK);
    return true;
}

// The old content that an exchange left under the copy's name `name`, when
// it may become the next copy: still the file `old` described, of one link,
// open nowhere else, without extended attributes. Anything else is removed.
bool TakeOldContent(const std::string& name, const struct stat& old, Fd& fd, struct stat& st)
{
    fd = Fd(::open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    const bool usable = fd.Valid() && Lock(fd.Get(), LOCK_EX | LOCK_NB) == 0 && ::fstat(fd.Get(), &st) == 0 &&
                        S_ISREG(st.st_mode) && SameFile(st, old) && st.st_nlink == 1 && OpenOnlyHere(fd.Get()) &&
                        ::flistxattr(fd.Get(), nullptr, 0) == 0;
    if (usable) return true;
    fd.Close();
    ::unlink(name.c_str());
    return false;
}

// Turns the old content `spare` into the new copy of `path`, whose file is
// described by `old`: owner and mode, then the content written over the old
// bytes from the start and the rest cut off. On failure it is removed.
NewCopy RewriteOldContent(const std::string& path, const struct stat& old, Fd spareFd, const std::string& spareName,
                          const struct stat& spare, const WriteContent& content)
{
    NewCopy copy;
    copy.path = path;
    copy.target = path;
    copy.temp = spareName;
    copy.fd = std::move(spareFd);
    const int fd = copy.fd.Get();
    try {
        const bool owner = spare.st_uid != old.st_uid || spare.st_gid != old.st_gid;
        if (owner && ::fchown(fd, old.st_uid, old.st_gid) != 0) (void)!::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        // Changing the owner clears the set-user and set-group bits.
        if ((owner || (spare.st_mode & 07777) != (old.st_mode & 07777)) && ::fchmod(fd, old.st_mode & 07777) != 0)
            throw Failure{path, errno};
        if (::lseek(fd, 0, SEEK_SET) != 0) throw Failure{path, errno};
        WriteInto(copy, content);
        // Old bytes beyond the new end are cut off (no call when there are none).
        if (copy.size < static_cast<std::uint64_t>(spare.st_size) && ::ftruncate(fd, static_cast<off_t>(copy.size)) != 0)
            throw Failure{path, errno};
    } catch (...) {
        ::unlink(copy.temp.c_str());
        throw;
    }
    return copy;
}

}  // namespace

void FileBatch::Write(const std::string& path, const WriteContent& content, unsigned newFileMode)
{
    struct stat st {};
    const bool exists = ::lstat(path.c_str(), &st) == 0;
    const bool descriptor = path == "/dev/stdout" || path == "/dev/stderr" || path.rfind("/dev/fd/", 0) == 0 ||
                            path.rfind("/proc/self/fd/", 0) == 0;
    if (descriptor || (exists && !S_ISREG(st.st_mode))) {
        // Links, pipes and devices take the careful way.
        WriteFileAtomically(path, content, newFileMode);
        written_.push_back(RenameTarget(path));
        return;
    }
    try {
        // No save lock: these files are whole new copies every time, and of
        // two writers at once the later rename simply wins.
        NewCopy copy;
        if (exists && spare_ && DirectoryOf(spare_->name) == DirectoryOf(path)) {
            const std::unique_ptr<Spare> spare = std::move(spare_);
            copy = RewriteOldContent(path, st, std::move(spare->fd), spare->name, spare->st, content);
        } else {
            copy = WriteCopy(path, path, exists ? &st : nullptr, newFileMode, content, false);
        }
        WriteChannel& channel = CurrentWriteChannel();
        bool exchanged = false;
        int result = -1;
        if (exists) {
            result = channel.Exchange(copy.temp, copy.target);
            exchanged = result == 0;
            // A file system that cannot swap names, or a file renamed away meanwhile.
            if (result != 0 && errno != EINVAL && errno != ENOSYS && errno != ENOTSUP && errno != ENOENT) {
                const int error = errno;
                ::unlink(copy.temp.c_str());
                throw Failure{path, error};
            }
        }
        if (!exchanged) result = channel.Rename(copy.temp, copy.target);
        if (result != 0) {
            const int error = errno;
            ::unlink(copy.temp.c_str());
            throw Failure{path, error};
        }
        copy.fd.Close();
        written_.push_back(path);
        if (exchanged) {
            // A new file of a directory with a default access list gets
            // that list; the old bytes of a file would not.
            const std::string dir = DirectoryOf(path);
            if (dir != withoutDefaultList_ &&
                ::getxattr(dir.c_str(), "system.posix_acl_default", nullptr, 0) < 0 && (errno == ENODATA || errno == ENOTSUP))
                withoutDefaultList_ = dir;
            auto spare = std::make_unique<Spare>();
            if (dir != withoutDefaultList_) {
                ::unlink(copy.temp.c_str());
            } else if (TakeOldContent(copy.temp, st, spare->fd, spare->st)) {
                DropSpare();
                spare->name = copy.temp;
                spare_ = std::move(spare);
            }
        }
    } catch (const Failure& f) {
        throw IoError((f.creating ? "Cannot create file: " : "Cannot write file: ") + path);
    }
}

void FileBatch::Finish()
{
    DropSpare();
    std::vector<std::string> dirs;
    for (const std::string& t : written_)
        if (std::find(dirs.begin(), dirs.end(), DirectoryOf(t)) == dirs.end()) dirs.push_back(DirectoryOf(t));
    for (const std::string& dir : dirs) {
        const std::string& first =
            *std::find_if(written_.begin(), written_.end(), [&](const std::string& t) { return DirectoryOf(t) == dir; });
        Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!fd.Valid()) throw IoError("Cannot write file: " + first);
        WriteChannel& channel = CurrentWriteChannel();
        if (channel.SyncFileSystem(fd.Get()) != 0)
            throw IoError("Cannot write file: " + first + Reason(errno));
        if (channel.Sync(fd.Get()) != 0 && errno != EINVAL) throw IoError("Cannot write file: " + first + Reason(errno));
        const std::vector<std::string> names = NamesIn(dir);
        for (const std::string& t : written_)
            if (DirectoryOf(t) == dir) RemoveLeftOverCopies(dir, NameOf(t), names);
    }
    written_.clear();
}

}  // namespace ketral
