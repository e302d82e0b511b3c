#include "base/FileUpdate.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "base/FileStamp.h"
#include "base/GamePaths.h"

namespace ketral {

namespace {

// The game's largest files (the executable, a saved battle) are a few
// megabytes; a save never reads a file beyond this into memory.
constexpr std::uint64_t kLargestGameFile = 256ull << 20;

WriteChannel& DefaultChannel()
{
    static WriteChannel channel;
    return channel;
}

WriteChannel* g_channel = nullptr;

std::string Reason(int error) { return std::string(" (") + std::strerror(error) + ")"; }

IoError WriteFailure(const std::string& path, int error)
{
    return IoError("Cannot write file: " + path + Reason(error));
}

// The file a rename must replace: a symbolic link's target, so that the link stays.
std::string RenameTarget(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::canonical(path, ec);
    return ec ? path : target.string();
}

std::string DirectoryOf(const std::string& file)
{
    const std::size_t slash = file.find_last_of(kPathSep);
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string(1, kPathSep) : file.substr(0, slash);
}

// A new copy of one file, written and flushed, waiting to be renamed.
struct NewCopy {
    std::string path;    // the file as named in messages
    std::string target;  // what the rename replaces
    std::string temp;    // the copy
};

void RemoveCopies(const std::vector<NewCopy>& copies, std::size_t from = 0)
{
    for (std::size_t i = from; i < copies.size(); ++i) ::unlink(copies[i].temp.c_str());
}

// Writes `content` into a new temporary file beside `path`, with the old
// file's mode and owner, and flushes it. On failure nothing is left behind.
NewCopy WriteCopy(const std::string& path, const std::vector<std::uint8_t>& content)
{
    NewCopy copy;
    copy.path = path;
    copy.target = RenameTarget(path);
    struct stat st {};
    if (::stat(copy.target.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        throw IoError("Cannot open file for writing: " + path);
    const std::size_t slash = copy.target.find_last_of(kPathSep);
    const std::string name = slash == std::string::npos ? copy.target : copy.target.substr(slash + 1);
    std::string pattern = DirectoryOf(copy.target) + kPathSep + "." + name + ".ketral-XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) throw WriteFailure(path, errno);
    copy.temp = pattern;
    auto fail = [&](int error) {
        ::close(fd);
        ::unlink(copy.temp.c_str());
        return WriteFailure(path, error);
    };
    // The owner first: changing it clears the set-user and set-group bits,
    // which the mode then restores.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
        // Only the superuser may give a file away; the group is kept where we may.
        (void)!::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
    }
    if (::fchmod(fd, st.st_mode & 07777) != 0) throw fail(errno);
    WriteChannel& channel = CurrentWriteChannel();
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = channel.Write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw fail(errno);
        }
        if (n == 0) throw fail(ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    if (channel.Sync(fd) != 0) throw fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(copy.temp.c_str());
        throw WriteFailure(path, error);
    }
    return copy;
}

// A file nobody may write is refused also where the system would let the
// superuser write it, with the message of the system's own refusal.
void CheckWritable(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 ||
        ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        throw IoError("Cannot open file for writing: " + path);
}

}  // namespace

ssize_t WriteChannel::Write(int fd, const std::uint8_t* data, std::size_t n) { return ::write(fd, data, n); }

int WriteChannel::Sync(int fd) { return ::fsync(fd); }

WriteChannel& CurrentWriteChannel() { return g_channel ? *g_channel : DefaultChannel(); }

ScopedWriteChannel::ScopedWriteChannel(WriteChannel& channel) : previous_(g_channel) { g_channel = &channel; }

ScopedWriteChannel::~ScopedWriteChannel() { g_channel = previous_; }

FileUpdate::FileUpdate(const std::string& path) : path_(ResolveCase(path))
{
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) throw IoError("Cannot open file for writing: " + path_);
    before_ = ReadWholeFile(path_, kLargestGameFile, "game file");
    after_ = before_;
}

std::vector<std::string> SaveFileUpdates(std::vector<FileUpdate>& updates)
{
    for (const FileUpdate& u : updates)
        if (u.Changes()) CheckWritable(u.Path());
    std::vector<NewCopy> copies;
    try {
        for (const FileUpdate& u : updates)
            if (u.Changes()) copies.push_back(WriteCopy(u.Path(), u.After()));
    } catch (...) {
        RemoveCopies(copies);
        throw;
    }
    std::vector<std::string> written;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (::rename(copies[i].temp.c_str(), copies[i].target.c_str()) != 0) {
            const int error = errno;
            RemoveCopies(copies, i);
            // The files replaced so far get their old bytes back.
            for (const FileUpdate& u : updates)
                for (const std::string& p : written)
                    if (u.Path() == p) {
                        try {
                            ReplaceFileContent(p, u.Before());
                        } catch (const Error&) {
                        }
                    }
            throw WriteFailure(copies[i].path, error);
        }
        written.push_back(copies[i].path);
    }
    // The directory is not flushed: until the system writes it (within
    // seconds), a crash leaves the old file whole instead of the new one.
    return written;
}

std::vector<std::string> SaveFileUpdates(std::vector<FileUpdate>& updates, OpenedFiles& opened, bool overwriteChanged)
{
    if (!overwriteChanged)
        for (const FileUpdate& u : updates)
            if (u.Changes() && opened.ChangedSinceOpened(u.Path())) throw FileChangedError(u.Path());
    std::vector<std::string> written = SaveFileUpdates(updates);
    for (const std::string& p : written) opened.Remember(p);
    return written;
}

bool ReplaceFileContent(const std::string& path, const std::vector<std::uint8_t>& content)
{
    std::vector<FileUpdate> updates;
    updates.emplace_back(path);
    updates.back().After() = content;
    return !SaveFileUpdates(updates).empty();
}

}  // namespace ketral
