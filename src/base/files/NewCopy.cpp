#include "base/files/NewCopy.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "base/files/CopyNames.h"
#include "base/files/WriteChannel.h"

namespace ketral {

std::string Reason(int error) { return std::string(" (") + std::strerror(error) + ")"; }

ChannelWriter::ChannelWriter(int fd, std::string path, bool sums)
    : fd_(fd), path_(std::move(path)), checksum_(sums ? std::make_unique<ContentChecksum>() : nullptr)
{
}

void ChannelWriter::Write(const void* data, std::size_t n)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (checksum_) checksum_->Add(bytes, n);
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

void RemoveCopies(std::vector<NewCopy>& copies)
{
    for (NewCopy& c : copies)
        if (!c.renamed && !c.temp.empty()) {
            ::unlink(c.temp.c_str());
            c.fd.Close();
        }
}

void WriteInto(NewCopy& copy, const WriteContent& content, bool sums)
{
    ChannelWriter writer(copy.fd.Get(), copy.path, sums);
    content(writer);
    copy.size = writer.size;
    copy.checksum = writer.Checksum();
}

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

NewCopy WriteCopy(const std::string& path, const std::string& target, const struct stat* old, unsigned newFileMode,
                  const WriteContent& content, bool flush, bool sums)
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
        WriteInto(copy, content, sums);
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

}  // namespace ketral
