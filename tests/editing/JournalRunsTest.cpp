// The changed cells of both map kinds in a recovery journal: the bytes of
// a step stay exactly as journals already on disk hold them, and read back
// to the same change.
#include <gtest/gtest.h>

#include "city/CityJournal.h"
#include "tactical/TacJournal.h"

namespace ketral {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Flag "cells", one run, at offset `offset` of `n` values, then the values.
Bytes OneRun(std::uint8_t offset, std::uint8_t n, const Bytes& values)
{
    Bytes out{1, 1, 0, 0, 0, offset, 0, 0, 0, 0, 0, 0, 0, n, 0, 0, 0};
    out.insert(out.end(), values.begin(), values.end());
    return out;
}

TEST(JournalRuns, StepsOfBothKindsKeepTheirBytes)
{
    TacMapChange tactical;
    const std::uint8_t tb[] = {1, 2}, ta[] = {3, 4};
    tactical.cells.Record(5, tb, ta, 2);
    CityMapChange city;
    const std::uint16_t cb[] = {0x0102, 0x0304}, ca[] = {0x0506, 0xA0B0};
    city.cells.Record(7, cb, ca, 2);
    struct Case {
        const char* name;
        Bytes encoded, want;
        Bytes reencoded;  // decoded and encoded again
    };
    const Bytes tacBytes = OneRun(5, 2, {1, 2, 3, 4});
    const Bytes cityBytes = OneRun(7, 2, {0x02, 0x01, 0x04, 0x03, 0x06, 0x05, 0xB0, 0xA0});  // little-endian
    const Case cases[] = {
        {"tactical", EncodeTacChange(tactical), tacBytes, EncodeTacChange(DecodeTacChange(tacBytes, 1, "j"))},
        {"city", EncodeCityChange(city), cityBytes, EncodeCityChange(DecodeCityChange(cityBytes, 1, "j"))},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.encoded, c.want) << c.name;
        EXPECT_EQ(c.reencoded, c.want) << c.name;
    }
    const CityMapChange back = DecodeCityChange(cityBytes, 1, "j");
    ASSERT_EQ(back.cells.Runs().size(), 1u);
    EXPECT_EQ(back.cells.Runs()[0].offset, 7u);
    EXPECT_EQ(back.cells.After(back.cells.Runs()[0])[1], 0xA0B0);
}

TEST(JournalRuns, RunsThatTheRecordCannotHoldAreDamage)
{
    struct Case {
        const char* name;
        bool tactical;
        Bytes bytes;
    };
    const Case cases[] = {
        {"tactical: an empty run", true, OneRun(0, 0, {})},
        {"tactical: a run longer than the record", true, OneRun(0, 3, {1, 2, 3, 4})},
        {"city: a run of odd bytes", false, OneRun(0, 1, {1, 2, 3})},
        {"city: a run longer than the record", false, OneRun(0, 2, {1, 2, 3, 4})},
        {"city: a run past the map", false, [] {
             Bytes b = OneRun(0, 1, {1, 2, 3, 4});
             b[8] = 1;  // offset 2^24, past the 100000 cells
             return b;
         }()},
    };
    for (const Case& c : cases) {
        if (c.tactical)
            EXPECT_THROW(DecodeTacChange(c.bytes, 1, "j"), Error) << c.name;
        else
            EXPECT_THROW(DecodeCityChange(c.bytes, 1, "j"), Error) << c.name;
    }
}

}  // namespace
}  // namespace ketral
