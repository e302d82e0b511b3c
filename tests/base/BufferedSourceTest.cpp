// Reads through a buffer: the bytes and the failures of the source, in few
// reads of it.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "base/BufferedSource.h"
#include "base/Errors.h"
#include "support/CountingSource.h"

using namespace ketral;
using ketral::testing::CountingSource;

namespace {

std::vector<std::uint8_t> Pattern(std::size_t n)
{
    std::vector<std::uint8_t> out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return out;
}

}  // namespace

TEST(BufferedSource, GivesTheSourcesBytesInFewReads)
{
    struct Read {
        std::uint64_t offset;
        std::size_t n;
    };
    struct Case {
        const char* what;
        std::vector<Read> reads;
        int sourceReads;
    };
    // A source of 100 bytes, read through blocks of 16.
    std::vector<Read> everyByte;
    for (std::uint64_t i = 0; i < 100; ++i) everyByte.push_back({i, 1});
    const Case cases[] = {
        {"every byte in turn", everyByte, 7},
        {"a field running past the block held", {{0, 4}, {10, 10}}, 2},
        {"a block or more goes straight to the source", {{0, 40}, {40, 1}}, 2},
        {"going back reads again", {{50, 2}, {10, 2}, {50, 2}}, 3},
        {"at and past the end", {{98, 4}, {100, 1}, {150, 2}}, 1},
    };
    const std::vector<std::uint8_t> bytes = Pattern(100);
    for (const Case& c : cases) {
        CountingSource source(bytes, "game/table.dat");
        BufferedSource buffered(source, 16);
        for (const Read& r : c.reads) {
            std::vector<std::uint8_t> got(r.n, 0xEE);
            const std::size_t count = buffered.readSome(r.offset, got.data(), r.n);
            const std::size_t expect = r.offset >= 100 ? 0 : std::min<std::size_t>(r.n, 100 - r.offset);
            ASSERT_EQ(count, expect) << c.what << " at " << r.offset;
            got.resize(count);
            EXPECT_EQ(got, std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(r.offset),
                                                     bytes.begin() + static_cast<std::ptrdiff_t>(r.offset + count)))
                << c.what << " at " << r.offset;
        }
        EXPECT_EQ(source.reads(), c.sourceReads) << c.what;
    }
}

TEST(BufferedSource, ShortReadsNameTheFile)
{
    const std::vector<std::uint8_t> bytes = Pattern(40);
    CountingSource source(bytes, "game/short.dat");
    BufferedSource buffered(source);
    EXPECT_EQ(buffered.size(), 40u);
    EXPECT_EQ(buffered.u16(38), bytes[38] | bytes[39] << 8);
    try {
        buffered.u16(39);
        FAIL() << "a read past the end must fail";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Read beyond end of file: game/short.dat");
    }
}
