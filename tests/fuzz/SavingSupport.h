#pragma once
// What the saving targets share: a write channel that keeps the bytes of
// every new copy a save makes, a scratch directory in memory (/dev/shm where
// there is one) and the check that a save wrote exactly the files it names.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "base/ByteSource.h"
#include "base/files/WriteChannel.h"

namespace ketral::fuzz {

using Bytes = std::vector<std::uint8_t>;

[[noreturn]] inline void Mismatch(const std::string& what)
{
    std::fprintf(stderr, "Saved files do not hold the map in memory: %s\n", what.c_str());
    std::abort();
}

// The map in memory is not what the edits should have made of it.
[[noreturn]] inline void Unexpected(const std::string& what)
{
    std::fprintf(stderr, "The map in memory is not what its edits make: %s\n", what.c_str());
    std::abort();
}

KETRAL_FUZZ_HELPER inline void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) Mismatch("cannot write the scratch file " + path);
}

// The bytes of each new copy, by the name of the file it replaces. They go
// to the copy too, so that later saves of the same input find them; only the
// flush to the disk is left out.
class KeepingChannel : public WriteChannel {
public:
    std::map<std::string, Bytes> copies;
    ssize_t Write(int fd, const std::uint8_t* data, std::size_t n) override
    {
        // A save of two files also writes a commit record beside them.
        if (Name(fd).find(".ketral-commit-") != std::string::npos) return WriteChannel::Write(fd, data, n);
        Bytes& copy = copies[Target(fd)];
        copy.insert(copy.end(), data, data + n);
        return WriteChannel::Write(fd, data, n);
    }
    int Sync(int) override { return 0; }
    bool Wrote() const
    {
        return std::any_of(copies.begin(), copies.end(), [](const auto& c) { return !c.second.empty(); });
    }
    // Empties the copies, keeping their buffers.
    void Forget()
    {
        for (auto& [path, copy] : copies) copy.clear();
    }

private:
    // The copy is ".<name>.ketral-XXXXXX" beside the file <name>.
    static std::string Name(int fd)
    {
        char link[4096];
        const std::string proc = "/proc/self/fd/" + std::to_string(fd);
        const ssize_t n = ::readlink(proc.c_str(), link, sizeof link - 1);
        if (n <= 0) Mismatch("a copy without a name");
        return std::string(link, static_cast<std::size_t>(n));
    }
    static std::string Target(int fd)
    {
        const std::string path = Name(fd);
        const std::size_t slash = path.rfind('/');
        const std::size_t mark = path.rfind(".ketral-");
        if (slash == std::string::npos || mark == std::string::npos || path[slash + 1] != '.') Mismatch("copy " + path);
        return path.substr(0, slash + 1) + path.substr(slash + 2, mark - slash - 2);
    }
};

// A new scratch directory holding the subdirectories named.
inline std::string MakeScratch(std::initializer_list<const char*> dirs)
{
    std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = base + "/ketral-fuzz-saving-XXXXXX";
    if (!::mkdtemp(pattern.data())) Mismatch("no scratch directory");
    const std::string root = pattern + "/";
    for (const char* d : dirs) ::mkdir((root + d).c_str(), 0755);
    return root;
}

// One framed sprite: a tile set that loads.
inline std::vector<std::uint8_t> OneTilePck() { return {1, 0, 0, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0}; }

// The files of one input as they should be on the disk now.
using Files = std::map<std::string, Bytes>;

// Which inputs go through the files on the disk: the map is written there,
// opened as the window opens it, edited and saved, and the saved files are
// read back. Every other input is opened from memory and only edited, and
// its edits are checked against the target's own model of them (a save
// costs a hundred system calls and more, the edits a few microseconds). The
// choice is a hash of the whole input, so that an input always takes the
// same path (its coverage is the same at every run) while any change of it
// may move it to the other one: about one mutation in kDiskEvery saves.
inline constexpr std::uint32_t kDiskEvery = 16;

KETRAL_FUZZ_HELPER inline std::uint32_t InputHash(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
    return h;
}

inline bool GoesToDisk(const std::uint8_t* data, std::size_t size, std::uint32_t every = kDiskEvery)
{
    return InputHash(data, size) % every == 0;
}

// A save in the middle of an input's edits, besides the one at its end:
// each costs a few copies of the files, and one shows as much as several.
inline constexpr int kSavesBetweenEdits = 1;

// Takes the copies of a save into `files`: the save wrote exactly them. The
// buffers stay with the channel and the files, so that the next input's
// copies need no new memory (each new buffer of a city map's size costs
// more than the rest of an input).
inline void TakeCopies(KeepingChannel& channel, const std::vector<std::string>& written, Files& files)
{
    std::size_t made = 0;
    for (const auto& [path, copy] : channel.copies) made += copy.empty() ? 0 : 1;
    if (written.size() != made) Mismatch("files written and copies made differ");
    for (const std::string& path : written) {
        auto it = channel.copies.find(path);
        if (it == channel.copies.end() || !files.count(path)) Mismatch("an unexpected file written: " + path);
        files[path] = it->second;
    }
    channel.Forget();
}

// A file's bytes, read in place.
class SpanSource : public ByteSource {
public:
    SpanSource(const Bytes& bytes, std::string name) : bytes_(bytes), name_(std::move(name)) {}
    const std::string& name() const override { return name_; }
    std::uint64_t size() const override { return bytes_.size(); }
    KETRAL_FUZZ_HELPER std::size_t readSome(std::uint64_t offset, void* dst, std::size_t n) override
    {
        if (offset >= bytes_.size()) return 0;
        n = static_cast<std::size_t>(std::min<std::uint64_t>(n, bytes_.size() - offset));
        std::memcpy(dst, bytes_.data() + offset, n);
        return n;
    }

private:
    const Bytes& bytes_;
    std::string name_;
};

}  // namespace ketral::fuzz
