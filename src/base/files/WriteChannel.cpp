#include "base/files/WriteChannel.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace ketral {

namespace {

WriteChannel& DefaultChannel()
{
    static WriteChannel channel;
    return channel;
}

WriteChannel* g_channel = nullptr;

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

}  // namespace ketral
