// The commit record's bytes.
#include <gtest/gtest.h>

#include "base/ByteSource.h"
#include "base/files/CommitRecord.h"

namespace ketral {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The record's bytes: what is written reads back; anything cut short, or a
// name leading out of its directory, is no record.
TEST(CommitRecord, CommitRecordsReadBackAndDamagedOnesAreRefused)
{
    const std::vector<CommitEntry> entries = {{"Citymap1", "Ab12Cd", 200000, 0x0123456789ABCDEFull},
                                              {"we%ird\nname", "zz99ZZ", 0, 0}};
    const Bytes bytes = FormatCommitRecord(entries);
    MemorySource whole(bytes);
    EXPECT_EQ(ParseCommitRecord(whole), entries);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        MemorySource cut(bytes.data(), n);
        EXPECT_TRUE(ParseCommitRecord(cut).empty()) << "cut at " << n;
    }
    const struct {
        std::string file, suffix;
    } bad[] = {{"..", "Ab12Cd"}, {"maps/a.smp", "Ab12Cd"}, {"a.smp", "Ab12C"}, {"a.smp", "Ab/2Cd"}, {"", "Ab12Cd"}};
    for (const auto& b : bad) {
        MemorySource source(FormatCommitRecord({{b.file, b.suffix, 1, 1}}));
        EXPECT_TRUE(ParseCommitRecord(source).empty()) << b.file << " " << b.suffix;
    }
    // The same file twice cannot be renamed twice.
    MemorySource twice(FormatCommitRecord({entries[0], entries[0]}));
    EXPECT_TRUE(ParseCommitRecord(twice).empty());
}

}  // namespace
}  // namespace ketral
