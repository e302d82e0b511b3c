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
                                              {"we%ird\nname", "zz99ZZ", 0, 0},
                                              {"CITYMAP1.bld", "Qq00qQ", 7, 0xFEDCBA9876543210ull, ContentHash::Fnv1a}};
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

// Both kinds of sum give the values of their published definitions, fed at
// once or in pieces: a record of an earlier version must still check out.
TEST(CommitRecord, ChecksumsOfBothKinds)
{
    const std::string text = "Zorvan Ostrevane";
    const struct {
        ContentHash hash;
        std::string content;
        std::uint64_t value;
    } cases[] = {
        {ContentHash::Fnv1a, "", 0xCBF29CE484222325ull},
        {ContentHash::Fnv1a, "a", 0xAF63DC4C8601EC8Cull},
        {ContentHash::Xxh3, "", 0x2D06800538D394C2ull},
    };
    for (const auto& c : cases) {
        ContentChecksum sum(c.hash);
        sum.Add(reinterpret_cast<const std::uint8_t*>(c.content.data()), c.content.size());
        EXPECT_EQ(sum.Value(), c.value) << c.content;
    }
    for (ContentHash hash : {ContentHash::Fnv1a, ContentHash::Xxh3}) {
        ContentChecksum whole(hash), pieces(hash);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        whole.Add(bytes, text.size());
        pieces.Add(bytes, 5);
        pieces.Add(bytes + 5, 0);
        pieces.Add(bytes + 5, text.size() - 5);
        EXPECT_EQ(whole.Value(), pieces.Value());
    }
}

}  // namespace
}  // namespace ketral
