// The commit record parser on arbitrary bytes: it either refuses them (no
// entries) or returns entries that are safe to act on (names that stay in
// the record's directory, copies named as ours) and that survive writing and
// reading again unchanged.
#include <cstdint>
#include <cstdlib>

#include "base/ByteSource.h"
#include "base/files/CommitRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ketral::MemorySource source(data, size, "record");
    const std::vector<ketral::CommitEntry> entries = ketral::ParseCommitRecord(source);
    if (entries.empty()) return 0;
    if (entries.size() > ketral::kMostCommitEntries) std::abort();
    for (const ketral::CommitEntry& e : entries) {
        if (e.file.empty() || e.file == "." || e.file == ".." || e.file.find('/') != std::string::npos ||
            e.file.find('\0') != std::string::npos || !ketral::IsCopySuffix(e.suffix))
            std::abort();
    }
    ketral::MemorySource again(ketral::FormatCommitRecord(entries), "again");
    if (ketral::ParseCommitRecord(again) != entries) std::abort();
    return 0;
}
