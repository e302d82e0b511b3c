#pragma once
// The commit record of a save that replaces several files of one directory
// as one: it names, for every file, the new copy waiting to be renamed over
// it, with the copy's size and checksum. It is written and flushed after the
// last new copy and before the first rename, and removed after the last one,
// so a record found on disk belongs to a save that was stopped (or is still
// running): its copies are complete, and renaming the ones still there
// finishes that save.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/ByteSource.h"

namespace ketral {

// How a record sums up a copy's content. Records of earlier versions of the
// program used FNV-1a, which a record still being finished may hold; new
// ones use XXH3, which is many times faster.
enum class ContentHash { Fnv1a, Xxh3 };

struct CommitEntry {
    std::string file;    // the file's name in the record's directory
    std::string suffix;  // its new copy is "." + file + ".ketral-" + suffix
    std::uint64_t size = 0;
    std::uint64_t checksum = 0;  // ContentChecksum of the new copy
    ContentHash hash = ContentHash::Xxh3;
    friend bool operator==(const CommitEntry&, const CommitEntry&) = default;
};

// Records are small: a few files per save.
inline constexpr std::uint64_t kLargestCommitRecord = 64 * 1024;
inline constexpr std::size_t kMostCommitEntries = 64;

// The record's bytes. Names may hold any byte but '/' and NUL.
std::vector<std::uint8_t> FormatCommitRecord(const std::vector<CommitEntry>& entries);

// The entries of a complete, well-formed record; an empty list for anything
// else (a record cut short by a crash, a name that leads out of the
// directory, a copy that is not one of ours).
std::vector<CommitEntry> ParseCommitRecord(ByteSource& source);

// A 64-bit checksum of either kind, to be fed the content in pieces.
class ContentChecksum {
public:
    explicit ContentChecksum(ContentHash hash = ContentHash::Xxh3);
    ~ContentChecksum();
    ContentChecksum(const ContentChecksum&) = delete;
    ContentChecksum& operator=(const ContentChecksum&) = delete;

    void Add(const std::uint8_t* data, std::size_t n);
    std::uint64_t Value() const;

private:
    struct Xxh3State;
    ContentHash hash_;
    std::uint64_t fnv_ = 0xcbf29ce484222325ull;
    std::unique_ptr<Xxh3State> xxh3_;
};

// Whether `suffix` is one that a new copy's name may end in: six letters or digits.
bool IsCopySuffix(const std::string& suffix);

}  // namespace ketral
