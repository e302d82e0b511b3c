#include "shell/RecoveryDirectory.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Errors.h"
#include "base/files/ReplaceFile.h"
#include "base/files/WriteChannel.h"
#include "shell/XdgDirectories.h"

namespace ketral {

namespace {

constexpr const char* kJournalEnding = ".journal";
constexpr const char* kLockEnding = ".lock";

bool EndsWith(const std::string& s, const std::string& end)
{
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

bool PathExists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The names in `dir` that end with `ending` and are not hidden.
std::vector<std::string> NamesEndingWith(const std::string& dir, const std::string& ending)
{
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return names;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (!name.empty() && name[0] != '.' && EndsWith(name, ending)) names.push_back(name);
    }
    ::closedir(d);
    return names;
}

void MakeDirectory(const std::string& path, mode_t mode)
{
    if (::mkdir(path.c_str(), mode) == 0) return;
    struct stat st {};
    if (errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return;
    throw IoError("Cannot create directory: " + path);
}

}  // namespace

std::string RecoveryDirectory() { return XdgBaseDirectory("XDG_STATE_HOME", ".local/state") + "ketral/recovery/"; }

void MakeRecoveryDirectory()
{
    const std::string dir = RecoveryDirectory();
    // The parents as any program makes them; ketral/ and recovery/ the
    // owner's alone (the journals hold the paths of the user's files).
    const std::size_t own = dir.rfind('/', dir.rfind('/', dir.size() - 2) - 1);
    for (std::size_t slash = dir.find('/', 1); slash != std::string::npos; slash = dir.find('/', slash + 1))
        MakeDirectory(dir.substr(0, slash), slash > own ? 0700 : 0755);
}

std::vector<JournalListing> ListJournals()
{
    std::vector<JournalListing> list;
    const std::string dir = RecoveryDirectory();
    for (const std::string& name : NamesEndingWith(dir, kJournalEnding)) list.push_back({dir + name, false});
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.path < b.path; });
    for (JournalListing& j : list) j.inUse = JournalInUse(j.path);
    return list;
}

bool JournalInUse(const std::string& path)
{
    const int fd = ::open((path + kLockEnding).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);  // also drops the lock this test took
    return held;
}

bool IsInRecoveryDirectory(const std::string& path)
{
    if (!EndsWith(path, kJournalEnding)) return false;
    const std::size_t slash = path.rfind('/');
    const std::string parent = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    char a[PATH_MAX], b[PATH_MAX];
    if (!::realpath(parent.c_str(), a) || !::realpath(RecoveryDirectory().c_str(), b)) return false;
    return std::string(a) == std::string(b);
}

int RemoveOrphanedLocks()
{
    const std::string dir = RecoveryDirectory();
    const std::string ending = std::string(kJournalEnding) + kLockEnding;
    int removed = 0;
    for (const std::string& name : NamesEndingWith(dir, ending)) {
        const std::string lock = dir + name, journal = lock.substr(0, lock.size() - std::strlen(kLockEnding));
        if (PathExists(journal)) continue;  // DiscardJournal takes both
        // "<kind>-<pid>-<n>.journal.lock": a writer that still runs may be
        // between making its lock and taking it, or between two journals.
        const std::size_t first = name.find('-'), second = name.find('-', first + 1);
        if (first == std::string::npos || second == std::string::npos) continue;
        const long pid = std::strtol(name.c_str() + first + 1, nullptr, 10);
        if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        const int fd = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat held {}, now {};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::lstat(lock.c_str(), &now) == 0 && held.st_dev == now.st_dev && held.st_ino == now.st_ino &&
            ::unlink(lock.c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}

void DiscardJournal(const std::string& path)
{
    if (JournalInUse(path)) throw Error("The recovery journal " + path + " belongs to a running Ketral.");
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) throw IoError("Cannot remove file: " + path);
    ::unlink((path + kLockEnding).c_str());
}

RecoveryJournalFile::~RecoveryJournalFile()
{
    WaitForFlush();
    Remove();
    if (lockFd_ >= 0) {
        ::unlink((path_ + kLockEnding).c_str());
        ::close(lockFd_);
    }
}

void RecoveryJournalFile::Claim()
{
    if (lockFd_ >= 0) return;
    MakeRecoveryDirectory();
    const std::string stem = RecoveryDirectory() + JournalKindName(kind_) + "-" + std::to_string(::getpid()) + "-";
    // A name that no journal and no lock has: a journal left by an earlier
    // process with the same id is never written over.
    for (int n = 0; n < 1000; ++n) {
        const std::string path = stem + std::to_string(n) + kJournalEnding;
        if (PathExists(path)) continue;
        const int fd = ::open((path + kLockEnding).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            break;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        path_ = path;
        lockFd_ = fd;
        return;
    }
    throw IoError("Cannot create file: " + stem + "0" + kJournalEnding);
}

void RecoveryJournalFile::Replace(const JournalBytes& bytes)
{
    WaitForFlush();  // a whole new journal takes the place of the appended one
    Claim();
    WriteFileAtomically(path_, [&bytes](ContentWriter& w) { w.Write(bytes.data(), bytes.size()); }, 0600);
    exists_ = true;
}

bool RecoveryJournalFile::WaitForFlush()
{
    if (flusher_.joinable()) flusher_.join();
    return !flushFailed_.exchange(false);
}

void RecoveryJournalFile::Append(const JournalBytes& bytes)
{
    if (!WaitForFlush()) throw IoError("Cannot write file: " + path_);
    const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) throw IoError("Cannot write file: " + path_);
    WriteChannel& channel = CurrentWriteChannel();
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t n = channel.Write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ok = false;
        else done += static_cast<std::size_t>(n);
    }
    if (!ok) {
        ::close(fd);
        throw IoError("Cannot write file: " + path_);
    }
    flusher_ = std::thread([this, fd, &channel] {
        if (channel.Sync(fd) != 0) flushFailed_ = true;
        ::close(fd);
    });
}

void RecoveryJournalFile::Remove()
{
    if (!exists_) return;
    ::unlink(path_.c_str());
    exists_ = false;
}

}  // namespace ketral
