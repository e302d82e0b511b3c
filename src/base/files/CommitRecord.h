#pragma once
// The commit record of a save that replaces several files of one directory
// as one: it names, for every file, the new copy waiting to be renamed over
// it, with the copy's size and checksum. It is written and flushed after the
// last new copy and before the first rename, and removed after the last one,
// so a record found on disk belongs to a save that was stopped (or is still
// running): its copies are complete, and renaming the ones still there
// finishes that save.
#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteSource.h"

namespace ketral {

struct CommitEntry {
    std::string file;    // the file's name in the record's directory
    std::string suffix;  // its new copy is "." + file + ".ketral-" + suffix
    std::uint64_t size = 0;
    std::uint64_t checksum = 0;  // ContentChecksum of the new copy
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

// A 64-bit FNV-1a checksum, to be fed the content in pieces.
class ContentChecksum {
public:
    void Add(const std::uint8_t* data, std::size_t n);
    std::uint64_t Value() const { return value_; }

private:
    std::uint64_t value_ = 0xcbf29ce484222325ull;
};

// Whether `suffix` is one that a new copy's name may end in: six letters or digits.
bool IsCopySuffix(const std::string& suffix);

}  // namespace ketral
