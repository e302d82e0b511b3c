#include "base/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "base/CommitRecord.h"
#include "base/Errors.h"
#include "base/GamePaths.h"

namespace ketral {

namespace {

WriteChannel& DefaultChannel()
{
    static WriteChannel channel;
    return channel;
}

WriteChannel* g_channel = nullptr;

// A failure on the way; the public functions word it for their callers.
struct Failure {
    std::string path;  // the file as named in messages
    int error = 0;
    bool creating = false;  // the new copy could not be made
};

class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Fd& operator=(Fd&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Fd() { Close(); }
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Close()
    {
        const int result = fd_ >= 0 ? ::close(fd_) : 0;
        fd_ = -1;
        return result;
    }

private:
    int fd_ = -1;
};

int Lock(int fd, int how)
{
    int result;
    do {
        result = ::flock(fd, how);
    } while (result != 0 && errno == EINTR);
    return result;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

std::string DirectoryOf(const std::string& file)
{
    const std::size_t slash = file.find_last_of(kPathSep);
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string(1, kPathSep) : file.substr(0, slash);
}

std::string NameOf(const std::string& file)
{
    const std::size_t slash = file.find_last_of(kPathSep);
    return slash == std::string::npos ? file : file.substr(slash + 1);
}

std::string Join(const std::string& dir, const std::string& name) { return dir + kPathSep + name; }

std::string CopyName(const std::string& file, const std::string& suffix) { return "." + file + ".ketral-" + suffix; }

constexpr char kRecordMark[] = ".ketral-commit-";

// The file a rename must replace: a symbolic link's target, so that the link stays.
// A link to a file not made yet leads to where the file will be.
std::string RenameTarget(const std::string& path)
{
    std::error_code ec;
    std::filesystem::path p = path;
    for (int i = 0; i < 40 && std::filesystem::is_symlink(p, ec); ++i) {
        const std::filesystem::path link = std::filesystem::read_symlink(p, ec);
        if (ec) break;
        p = link.is_absolute() ? link : p.parent_path() / link;
    }
    std::filesystem::path target = std::filesystem::weakly_canonical(p, ec);
    return ec || target.empty() ? path : target.string();
}

std::string RandomSuffix()
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 gen(std::random_device{}() ^ (static_cast<std::uint64_t>(::getpid()) << 32));
    std::string s(6, 'x');
    for (char& c : s) c = kLetters[gen() % (sizeof kLetters - 1)];
    return s;
}

// Takes the save lock of the existing file `target`: flock on the file
// itself. A file renamed over it while we waited is another file, whose
// lock is taken instead. An invalid Fd when there is no such file.
Fd LockExisting(const std::string& target)
{
    for (;;) {
        Fd fd(::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!fd.Valid()) return {};
        if (Lock(fd.Get(), LOCK_EX) != 0) return fd;  // no locks here (some network file systems)
        struct stat held {}, now {};
        if (::fstat(fd.Get(), &held) == 0 && ::stat(target.c_str(), &now) == 0 && SameFile(held, now)) return fd;
        if (::stat(target.c_str(), &now) != 0) return {};
    }
}

// ---- new copies

class ChannelWriter : public ContentWriter {
public:
    ChannelWriter(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    void Write(const void* data, std::size_t n) override
    {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        checksum.Add(bytes, n);
        size += n;
        WriteChannel& channel = CurrentWriteChannel();
        std::size_t done = 0;
        while (done < n) {
            const ssize_t w = channel.Write(fd_, bytes + done, n - done);
            if (w < 0) {
                if (errno == EINTR) continue;
                throw Failure{path_, errno};
            }
            if (w == 0) throw Failure{path_, ENOSPC};
            done += static_cast<std::size_t>(w);
        }
    }
    ContentChecksum checksum;
    std::uint64_t size = 0;

private:
    int fd_;
    std::string path_;
};

// A new copy of one file, written and flushed, waiting to be renamed. Its
// descriptor stays open (and locked) until then.
struct NewCopy {
    std::string path;    // the file as named in messages
    std::string target;  // what the rename replaces
    std::string temp;
    std::string suffix;
    std::uint64_t size = 0, checksum = 0;
    Fd fd;
    bool renamed = false;
};

void RemoveCopies(std::vector<NewCopy>& copies)
{
    for (NewCopy& c : copies)
        if (!c.renamed && !c.temp.empty()) {
            ::unlink(c.temp.c_str());
            c.fd.Close();
        }
}

// Writes the content into the copy's descriptor from where it stands and
// notes its size and checksum.
void WriteInto(NewCopy& copy, const WriteContent& content)
{
    ChannelWriter writer(copy.fd.Get(), copy.path);
    content(writer);
    copy.size = writer.size;
    copy.checksum = writer.checksum.Value();
}

// Makes a new, locked, empty file beside `target`: a copy named after it
// with a random suffix.
Fd CreateBeside(const std::string& path, const std::string& target, const std::string& pattern, mode_t mode,
                std::string& created, std::string& suffix)
{
    const std::string dir = DirectoryOf(target);
    for (int attempt = 0;; ++attempt) {
        suffix = RandomSuffix();
        created = Join(dir, pattern + suffix);
        Fd fd(::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode));
        if (fd.Valid()) {
            (void)Lock(fd.Get(), LOCK_EX);  // nobody else knows the name yet
            return fd;
        }
        if (errno != EEXIST || attempt > 100) throw Failure{path, errno, true};
    }
}

// Writes the new copy of `target`, with the mode and owner of `old` (or
// `newFileMode` less the umask when there is no old file), and flushes it.
// On failure nothing is left behind.
NewCopy WriteCopy(const std::string& path, const std::string& target, const struct stat* old, unsigned newFileMode,
                  const WriteContent& content, bool flush = true)
{
    NewCopy copy;
    copy.path = path;
    copy.target = target;
    const mode_t mode = old ? 0600 : static_cast<mode_t>(newFileMode);
    copy.fd = CreateBeside(path, target, CopyName(NameOf(target), ""), mode, copy.temp, copy.suffix);
    const int fd = copy.fd.Get();
    try {
        if (old) {
            // The owner first: changing it clears the set-user and set-group
            // bits, which the mode then restores.
            if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
                // Only the superuser may give a file away; the group is kept where we may.
                (void)!::fchown(fd, static_cast<uid_t>(-1), old->st_gid);
            }
            if (::fchmod(fd, old->st_mode & 07777) != 0) throw Failure{path, errno};
        }
        WriteInto(copy, content);
        if (flush && CurrentWriteChannel().Sync(fd) != 0) throw Failure{path, errno};
    } catch (...) {
        ::unlink(copy.temp.c_str());
        throw;
    }
    return copy;
}

void SyncDirectory(const std::string& dir, const std::string& path)
{
    Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.Valid()) return;
    // Some file systems cannot flush a directory; they say so with EINVAL.
    if (CurrentWriteChannel().Sync(fd.Get()) != 0 && errno != EINVAL) throw Failure{path, errno};
}

// ---- commit records and left-over copies

std::vector<std::string> NamesIn(const std::string& dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    return names;
}

bool IsRecordName(const std::string& name)
{
    const std::size_t mark = name.rfind(kRecordMark);
    return name.size() > 1 && name[0] == '.' && mark != std::string::npos && mark > 1 &&
           IsCopySuffix(name.substr(mark + sizeof kRecordMark - 1));
}

std::vector<CommitEntry> ReadRecord(const std::string& path)
{
    try {
        FileSource source(path);
        return ParseCommitRecord(source);
    } catch (const Error&) {
        return {};
    }
}

// Whether the file holds exactly `size` bytes with this checksum.
bool HoldsContent(const std::string& path, std::uint64_t size, std::uint64_t checksum)
{
    try {
        FileSource source(path);
        if (source.size() != size) return false;
        ContentChecksum sum;
        std::vector<std::uint8_t> buffer(1 << 20);
        for (std::uint64_t at = 0; at < size;) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - at));
            source.readExact(at, buffer.data(), n);
            sum.Add(buffer.data(), n);
            at += n;
        }
        return sum.Value() == checksum;
    } catch (const Error&) {
        return false;
    }
}

enum class CopyState { Waiting, Renamed, Lost };

CopyState StateOf(const std::string& dir, const CommitEntry& e)
{
    const std::string copy = Join(dir, CopyName(e.file, e.suffix));
    struct stat st {};
    if (::lstat(copy.c_str(), &st) == 0)
        return S_ISREG(st.st_mode) && HoldsContent(copy, e.size, e.checksum) ? CopyState::Waiting : CopyState::Lost;
    return HoldsContent(Join(dir, e.file), e.size, e.checksum) ? CopyState::Renamed : CopyState::Lost;
}

// What a record asks for, decided from the copies and files as they are:
// the copies to rename, or none when the save is to be undone (a copy was
// lost before any rename: the old files stay).
struct RecordPlan {
    std::vector<std::size_t> toRename;
    bool keepOld = false;
};

RecordPlan PlanRecord(const std::string& dir, const std::vector<CommitEntry>& entries)
{
    RecordPlan plan;
    bool lost = false, renamed = false;
    std::vector<CopyState> states;
    for (const CommitEntry& e : entries) states.push_back(StateOf(dir, e));
    for (std::size_t i = 0; i < states.size(); ++i) {
        lost = lost || states[i] == CopyState::Lost;
        renamed = renamed || states[i] == CopyState::Renamed;
        if (states[i] == CopyState::Waiting) plan.toRename.push_back(i);
    }
    // Renames start only after every copy is complete: with a copy lost and
    // none renamed, the save never reached its first rename.
    if (lost && !renamed) {
        plan.keepOld = true;
        plan.toRename.clear();
    }
    return plan;
}

bool NamesAny(const std::vector<CommitEntry>& entries, const std::vector<std::string>& names)
{
    for (const CommitEntry& e : entries)
        if (std::find(names.begin(), names.end(), e.file) != names.end()) return true;
    return false;
}

// Finishes (or undoes) the interrupted saves whose records in `dir` name one
// of `names`, and removes records cut short before they were complete. The
// locks of the files named are held by the caller; a record still being
// written or carried out by a running save is waited for.
void FinishRecords(const std::string& dir, const std::vector<std::string>& names)
{
    WriteChannel& channel = CurrentWriteChannel();
    for (const std::string& recordName : NamesIn(dir)) {
        if (!IsRecordName(recordName)) continue;
        const std::string record = Join(dir, recordName);
        std::vector<CommitEntry> entries = ReadRecord(record);
        Fd fd(::open(record.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        if (!fd.Valid()) continue;
        if (entries.empty()) {
            // Unreadable or cut short: removed only when no running save holds it.
            if (Lock(fd.Get(), LOCK_EX | LOCK_NB) != 0) continue;
        } else {
            if (!NamesAny(entries, names)) continue;
            (void)Lock(fd.Get(), LOCK_EX);
        }
        // The save that held it may have finished and removed it meanwhile.
        struct stat held {}, now {};
        if (::fstat(fd.Get(), &held) != 0 || ::lstat(record.c_str(), &now) != 0 || !SameFile(held, now)) continue;
        entries = ReadRecord(record);
        if (!entries.empty()) {
            const RecordPlan plan = PlanRecord(dir, entries);
            if (plan.keepOld) {
                for (const CommitEntry& e : entries) ::unlink(Join(dir, CopyName(e.file, e.suffix)).c_str());
            }
            for (std::size_t i : plan.toRename) {
                const CommitEntry& e = entries[i];
                if (channel.Rename(Join(dir, CopyName(e.file, e.suffix)), Join(dir, e.file)) != 0)
                    throw Failure{Join(dir, e.file), errno};
            }
            if (!plan.toRename.empty()) SyncDirectory(dir, Join(dir, entries.front().file));
        }
        if (channel.Remove(record) != 0 && errno != ENOENT)
            throw Failure{Join(dir, entries.empty() ? recordName : entries.front().file), errno};
    }
}

// Removes the copies of `name` in `dir` (whose entries are `names`) that a
// stopped save left: copies no running save holds locked and no commit
// record still names.
void RemoveLeftOverCopies(const std::string& dir, const std::string& name, const std::vector<std::string>& names)
{
    const std::string prefix = CopyName(name, "");
    std::vector<CommitEntry> named;
    for (const std::string& n : names)
        if (IsRecordName(n))
            for (const CommitEntry& e : ReadRecord(Join(dir, n))) named.push_back(e);
    for (const std::string& n : names) {
        if (n.size() != prefix.size() + 6 || n.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string suffix = n.substr(prefix.size());
        if (!IsCopySuffix(suffix)) continue;
        bool inRecord = false;
        for (const CommitEntry& e : named) inRecord = inRecord || (e.file == name && e.suffix == suffix);
        if (inRecord) continue;
        const std::string copy = Join(dir, n);
        Fd fd(::open(copy.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
        struct stat held {}, now {};
        if (!fd.Valid() || ::fstat(fd.Get(), &held) != 0 || !S_ISREG(held.st_mode)) continue;
        if (Lock(fd.Get(), LOCK_EX | LOCK_NB) != 0) continue;  // a running save writes it
        if (::lstat(copy.c_str(), &now) == 0 && SameFile(held, now)) ::unlink(copy.c_str());
    }
}

void RemoveLeftOverCopies(const std::string& dir, const std::string& name)
{
    RemoveLeftOverCopies(dir, name, NamesIn(dir));
}

// The locks of existing files, taken in one order so that two saves of
// overlapping sets never wait for each other.
std::vector<Fd> LockAll(const std::vector<std::string>& targets, const std::vector<std::string>& paths,
                        std::string& missing)
{
    std::vector<std::size_t> order(targets.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return targets[a] < targets[b]; });
    std::vector<Fd> locks;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const std::size_t i = order[k];
        if (k > 0 && targets[order[k - 1]] == targets[i]) continue;  // one file named twice
        Fd fd = LockExisting(targets[i]);
        if (!fd.Valid()) {
            missing = paths[i];
            return {};
        }
        locks.push_back(std::move(fd));
    }
    return locks;
}

// Finishes what stopped saves of these files left: their records, then their copies.
void TidyUp(const std::vector<std::string>& targets)
{
    for (const std::string& t : targets) {
        std::vector<std::string> names;
        for (const std::string& other : targets)
            if (DirectoryOf(other) == DirectoryOf(t)) names.push_back(NameOf(other));
        FinishRecords(DirectoryOf(t), names);
    }
    for (const std::string& t : targets) RemoveLeftOverCopies(DirectoryOf(t), NameOf(t));
}

std::string Reason(int error) { return std::string(" (") + std::strerror(error) + ")"; }

// Writes the record of `copies` (all in `dir`) and flushes it and the directory.
std::string WriteRecord(const std::string& dir, std::vector<NewCopy>& copies, Fd& held)
{
    std::vector<CommitEntry> entries;
    for (const NewCopy& c : copies) entries.push_back({NameOf(c.target), c.suffix, c.size, c.checksum});
    const std::vector<std::uint8_t> bytes = FormatCommitRecord(entries);
    std::string record, suffix;
    // Appended piece by piece: g++ 12 at -O3 warns of an overflow, which
    // cannot happen, inside the inlined "." + name.
    std::string prefix(1, '.');
    prefix += NameOf(copies.front().target);
    prefix += kRecordMark;
    held = CreateBeside(copies.front().path, copies.front().target, prefix, 0644, record, suffix);
    try {
        ChannelWriter writer(held.Get(), copies.front().path);
        writer.Write(bytes.data(), bytes.size());
        if (CurrentWriteChannel().Sync(held.Get()) != 0) throw Failure{copies.front().path, errno};
        SyncDirectory(dir, copies.front().path);
    } catch (...) {
        ::unlink(record.c_str());
        throw;
    }
    return record;
}

// Renames the copies over their files. A rename that fails gives the files
// already replaced their old content back.
void RenameAll(std::vector<NewCopy>& copies, const std::vector<const FileReplacement*>& sources)
{
    WriteChannel& channel = CurrentWriteChannel();
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (channel.Rename(copies[i].temp, copies[i].target) == 0) {
            copies[i].renamed = true;
            continue;
        }
        const Failure failure{copies[i].path, errno};
        RemoveCopies(copies);
        for (std::size_t j = 0; j < i; ++j) {
            if (!sources[j]->restore) continue;
            try {
                struct stat st {};
                const bool exists = ::stat(copies[j].target.c_str(), &st) == 0;
                NewCopy back =
                    WriteCopy(copies[j].path, copies[j].target, exists ? &st : nullptr, 0666, sources[j]->restore);
                if (channel.Rename(back.temp, back.target) != 0) ::unlink(back.temp.c_str());
            } catch (...) {
            }
        }
        throw failure;
    }
}

}  // namespace

ssize_t WriteChannel::Write(int fd, const std::uint8_t* data, std::size_t n) { return ::write(fd, data, n); }

int WriteChannel::Sync(int fd) { return ::fsync(fd); }

int WriteChannel::Rename(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()); }

int WriteChannel::Exchange(const std::string& copy, const std::string& file)
{
    return ::renameat2(AT_FDCWD, copy.c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE);
}

int WriteChannel::Remove(const std::string& path) { return ::unlink(path.c_str()); }

int WriteChannel::SyncFileSystem(int fd) { return ::syncfs(fd); }

WriteChannel& CurrentWriteChannel() { return g_channel ? *g_channel : DefaultChannel(); }

ScopedWriteChannel::ScopedWriteChannel(WriteChannel& channel) : previous_(g_channel) { g_channel = &channel; }

ScopedWriteChannel::~ScopedWriteChannel() { g_channel = previous_; }

void WriteFileAtomically(const std::string& path, const WriteContent& content, unsigned newFileMode)
{
    try {
        struct stat st {};
        bool exists = ::stat(path.c_str(), &st) == 0;
        // A pipe, a terminal or /dev/stdout cannot be replaced: it is written.
        // A descriptor's name is written also when it leads to a regular file
        // (the shell's "> file"), whose copy would never reach the descriptor.
        const bool descriptor = path == "/dev/stdout" || path == "/dev/stderr" || path.rfind("/dev/fd/", 0) == 0 ||
                                path.rfind("/proc/self/fd/", 0) == 0;
        if (descriptor || (exists && (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)))) {
            Fd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | (S_ISREG(st.st_mode) ? O_TRUNC : 0)));
            if (!fd.Valid()) throw Failure{path, errno};
            ChannelWriter writer(fd.Get(), path);
            content(writer);
            if (fd.Close() != 0) throw Failure{path, errno};
            return;
        }
        const std::string target = RenameTarget(path);
        exists = ::stat(target.c_str(), &st) == 0;
        Fd lock;
        if (exists && S_ISREG(st.st_mode)) {
            lock = LockExisting(target);
            if (::stat(target.c_str(), &st) != 0) st = {};
        }
        TidyUp({target});
        const bool regular = S_ISREG(st.st_mode);
        NewCopy copy = WriteCopy(path, target, regular ? &st : nullptr, newFileMode, content);
        if (CurrentWriteChannel().Rename(copy.temp, copy.target) != 0) {
            const int error = errno;
            ::unlink(copy.temp.c_str());
            throw Failure{path, error};
        }
    } catch (const Failure& f) {
        throw IoError((f.creating ? "Cannot create file: " : "Cannot write file: ") + path);
    }
}

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

void ReplaceFilesTogether(const std::vector<FileReplacement>& files, const std::function<void()>& underLock)
{
    std::vector<std::string> targets, paths;
    for (const FileReplacement& f : files) {
        targets.push_back(RenameTarget(f.path));
        paths.push_back(f.path);
    }
    try {
        std::string missing;
        std::vector<Fd> locks = LockAll(targets, paths, missing);
        if (!missing.empty()) throw IoError("Cannot open file for writing: " + missing);
        TidyUp(targets);
        if (underLock) underLock();
        std::vector<NewCopy> copies;
        std::vector<const FileReplacement*> sources;
        try {
            for (std::size_t i = 0; i < files.size(); ++i) {
                struct stat st {};
                if (::stat(targets[i].c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                    throw IoError("Cannot open file for writing: " + files[i].path);
                copies.push_back(WriteCopy(files[i].path, targets[i], &st, 0666, files[i].content));
                sources.push_back(&files[i]);
            }
        } catch (...) {
            RemoveCopies(copies);
            throw;
        }
        if (copies.size() < 2) {
            RenameAll(copies, sources);
            return;
        }
        // Files of one directory are replaced through a commit record, so
        // that a crash between two renames is finished at the next save.
        const std::string dir = DirectoryOf(copies.front().target);
        bool oneDirectory = true;
        for (const NewCopy& c : copies) oneDirectory = oneDirectory && DirectoryOf(c.target) == dir;
        Fd recordLock;
        std::string record;
        if (oneDirectory) {
            try {
                record = WriteRecord(dir, copies, recordLock);
            } catch (...) {
                RemoveCopies(copies);
                throw;
            }
        }
        try {
            RenameAll(copies, sources);
        } catch (...) {
            if (!record.empty()) ::unlink(record.c_str());
            throw;
        }
        if (!record.empty()) {
            SyncDirectory(dir, copies.back().path);
            if (CurrentWriteChannel().Remove(record) != 0) throw Failure{copies.front().path, errno};
        }
    } catch (const Failure& f) {
        throw IoError("Cannot write file: " + f.path + Reason(f.error));
    }
}

bool FinishInterruptedSaves(const std::vector<std::string>& paths)
{
    std::vector<std::string> targets, real;
    for (const std::string& p : paths) {
        const std::string resolved = ResolveCase(p);
        struct stat st {};
        if (::stat(resolved.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        real.push_back(resolved);
        targets.push_back(RenameTarget(resolved));
    }
    try {
        std::string missing;
        std::vector<Fd> locks = LockAll(targets, real, missing);
        if (!missing.empty()) return false;
        TidyUp(targets);
        return true;
    } catch (const Failure&) {
        return false;
    }
}

std::string CurrentCopyOf(const std::string& path)
{
    const std::string real = ResolveCase(path);
    const std::string target = RenameTarget(real);
    const std::string dir = DirectoryOf(target), name = NameOf(target);
    for (const std::string& n : NamesIn(dir)) {
        if (!IsRecordName(n)) continue;
        const std::vector<CommitEntry> entries = ReadRecord(Join(dir, n));
        for (const CommitEntry& e : entries) {
            if (e.file != name) continue;
            const RecordPlan plan = PlanRecord(dir, entries);
            for (std::size_t i : plan.toRename)
                if (entries[i].file == name) return Join(dir, CopyName(e.file, e.suffix));
        }
    }
    return real;
}

namespace {

// A source read from a new copy, named as the file it will replace.
class RenamedSource : public ByteSource {
public:
    RenamedSource(std::unique_ptr<ByteSource> inner, std::string name)
        : inner_(std::move(inner)), name_(std::move(name))
    {
    }
    const std::string& name() const override { return name_; }
    std::uint64_t size() const override { return inner_->size(); }
    std::size_t readSome(std::uint64_t offset, void* dst, std::size_t n) override
    {
        return inner_->readSome(offset, dst, n);
    }

private:
    std::unique_ptr<ByteSource> inner_;
    std::string name_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenCurrentCopy(const std::string& path)
{
    const std::string real = ResolveCase(path);
    const std::string copy = CurrentCopyOf(real);
    if (copy != real) {
        try {
            return std::make_unique<RenamedSource>(std::make_unique<FileSource>(copy), real);
        } catch (const Error&) {
            // Renamed over the file meanwhile by a save that finished it.
        }
    }
    return std::make_unique<FileSource>(path);
}

}  // namespace ketral
