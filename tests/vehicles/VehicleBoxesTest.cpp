// The window's boxes: filling, storing and the armour/total change rules.
#include <gtest/gtest.h>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "vehicles/VehicleBoxes.h"
#include "vehicles/VehicleTestFile.h"

namespace ketral {
namespace {

using namespace ketral::testing;

VehicleRecord Record5()
{
    MemorySource src(MakeTestExecutable());
    return ReadVehicleRecord(src, 5);
}

std::vector<std::string> Armour(const VehicleBoxes& b)
{
    return {b[VehicleBox::Front], b[VehicleBox::Top],  b[VehicleBox::Bottom],
            b[VehicleBox::Rear],  b[VehicleBox::Left], b[VehicleBox::Right]};
}

TEST(VehicleBoxes, LoadingSixDifferentArmourValuesShowsThemAndTheirSum)
{
    const VehicleBoxes b = ShowVehicle(Record5());
    EXPECT_EQ(b[VehicleBox::Weight], "1000");
    EXPECT_EQ(b[VehicleBox::Constitution], "200");
    EXPECT_EQ(b[VehicleBox::Passengers], "3");
    EXPECT_EQ(b[VehicleBox::Picture], "HOVER");
    EXPECT_EQ(Armour(b), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(b[VehicleBox::Total], "21");  // the sum, not spread over the sides

    VehicleRecord high;
    high.Bytes[62] = 0x00;
    high.Bytes[63] = 0x80;  // front 32768: shown unsigned
    EXPECT_EQ(ShowVehicle(high)[VehicleBox::Front], "32768");
}

TEST(VehicleBoxes, TotalSpreadsOverTheSidesWithTheRestOnTheFront)
{
    VehicleBoxes b = ShowVehicle(Record5());
    EnterBoxText(b, VehicleBox::Total, "100");
    EXPECT_EQ(Armour(b), (std::vector<std::string>{"20", "16", "16", "16", "16", "16"}));
    EXPECT_EQ(b[VehicleBox::Total], "100");
    EnterBoxText(b, VehicleBox::Total, "5");
    EXPECT_EQ(Armour(b), (std::vector<std::string>{"5", "0", "0", "0", "0", "0"}));
    // Truncated division: -7 gives -1 on the sides and -2 on the front.
    EXPECT_EQ(SpreadTotal(-7).side, -1);
    EXPECT_EQ(SpreadTotal(-7).front, -2);
}

TEST(VehicleBoxes, OneSideChangedRaisesTheTotalAndLeavesTheOthers)
{
    VehicleBoxes b = ShowVehicle(Record5());
    EnterBoxText(b, VehicleBox::Total, "60");  // 10 on every side
    EnterBoxText(b, VehicleBox::Left, "12");
    EXPECT_EQ(b[VehicleBox::Total], "62");
    EXPECT_EQ(Armour(b), (std::vector<std::string>{"10", "10", "10", "10", "12", "10"}));
    // Every side counts, each once; other boxes leave the total alone.
    for (VehicleBox side : kArmourBoxes) {
        VehicleBoxes c = ShowVehicle(Record5());
        EnterBoxText(c, side, std::to_string(c.Value(side) + 100));
        EnterBoxText(c, VehicleBox::Weight, "7");
        EXPECT_EQ(c[VehicleBox::Total], "121") << VehicleBoxName(side);
    }
}

TEST(VehicleBoxes, BadNumbersGiveTheConversionErrorAndLargeSumsDoNotWrap)
{
    VehicleBoxes b = ShowVehicle(Record5());
    try {
        EnterBoxText(b, VehicleBox::Top, "1.5");
        FAIL() << "1.5 was read as a number";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'1.5' is not a valid integer value");
    }
    EXPECT_EQ(b[VehicleBox::Total], "21");  // left as it was

    for (VehicleBox side : kArmourBoxes) b[side] = "2147483647";
    ArmourChanged(b);
    EXPECT_EQ(b[VehicleBox::Total], "12884901882");
    EXPECT_THROW(TotalChanged(b), ConversionError);
}

TEST(VehicleBoxes, StoreWritesEveryBoxIntoItsFieldAndKeepsTheRest)
{
    VehicleRecord r = Record5();
    const VehicleRecord before = r;
    StoreVehicle(ShowVehicle(r), r);
    EXPECT_EQ(r.Bytes, before.Bytes);  // unchanged boxes give the same bytes

    VehicleBoxes b = ShowVehicle(r);
    const char* texts[] = {"70000", "7", "NEW", "", "11", "12", "13", "14", "15", "16", "not read"};
    for (std::size_t i = 0; i < kVehicleBoxCount; ++i) b.Texts[i] = texts[i];
    StoreVehicle(b, r);
    EXPECT_EQ(r.Get(VehicleField::Weight), 4464);
    EXPECT_EQ(r.Get(VehicleField::Constitution), 7);
    EXPECT_EQ(r.Get(VehicleField::Passengers), 0);  // empty reads 0
    EXPECT_EQ(r.Get(VehicleField::Front), 11);
    EXPECT_EQ(r.Get(VehicleField::Top), 12);
    EXPECT_EQ(r.Get(VehicleField::Bottom), 13);
    EXPECT_EQ(r.Get(VehicleField::Rear), 14);
    EXPECT_EQ(r.Get(VehicleField::Left), 15);
    EXPECT_EQ(r.Get(VehicleField::Right), 16);
    EXPECT_EQ(r.PictureName(), "NEW");
    for (std::size_t i : {0u, 45u, 48u, 49u, 66u, 70u, 81u, 101u}) EXPECT_EQ(r.Bytes[i], before.Bytes[i]) << i;
}

}  // namespace
}  // namespace ketral
