// The demo's strategic executable and its 33 vehicle records.
#include <gtest/gtest.h>

#include <set>

#include "demo/DemoParts.h"
#include "shell/VehicleNames.h"
#include "support/TempDir.h"
#include "vehicles/VehicleDocument.h"

namespace ketral {
namespace {

using namespace ketral::testing;

DemoLayout LayoutIn(const TempDir& dir)
{
    DemoLayout layout;
    layout.game = dir.path();
    layout.vyxexe = dir.mkdir("vyxexe");
    return layout;
}

TEST(DemoVehicles, HoldsThirtyThreePlausibleDistinctRecords)
{
    TempDir dir;
    const DemoLayout layout = LayoutIn(dir);
    WriteDemoVehicles(layout);
    const std::string exe = layout.vyxexe + "vyx2p.exe";
    ASSERT_GE(ReadFileBytes(exe).size(), 1612940u + 126u * 33u);

    std::set<std::string> names;
    std::set<std::vector<int>> values;
    int nine = 0, ten = 0;
    for (int i = 0; i < kVehicleCount; ++i) {
        VehicleDocument doc;
        doc.Open(exe, i);
        const VehicleRecord& r = doc.Record();
        const std::string name = r.PictureName();
        EXPECT_FALSE(name.empty()) << i;
        EXPECT_LE(name.size(), 10u) << i;
        nine += name.size() == 9;
        ten += name.size() == 10;
        names.insert(name);
        std::vector<int> v;
        for (VehicleField f : {VehicleField::Weight, VehicleField::Constitution, VehicleField::Passengers,
                               VehicleField::Front, VehicleField::Top, VehicleField::Bottom, VehicleField::Rear,
                               VehicleField::Left, VehicleField::Right})
            v.push_back(r.Get(f));
        EXPECT_GT(v[0], 0) << i;  // every vehicle weighs something
        EXPECT_GT(v[1], 0) << i;
        EXPECT_LT(v[2], 100) << i;
        values.insert(v);
        // After the name only zero bytes: saving a record unchanged is exact.
        const std::vector<std::uint8_t> before = ReadFileBytes(exe);
        doc.Save(ShowVehicle(r));
        EXPECT_EQ(ReadFileBytes(exe), before) << i;
    }
    EXPECT_EQ(names.size(), 33u);
    EXPECT_EQ(values.size(), 33u);
    EXPECT_EQ(ten, 1);
    EXPECT_GE(nine, 2);

    // Record 32, "Griffon AFV", as the tool's documentation shows it.
    EXPECT_STREQ(VehicleNames[32], "Griffon AFV");
    VehicleDocument griffon;
    griffon.Open(exe, 32);
    const VehicleBoxes b = ShowVehicle(griffon.Record());
    EXPECT_EQ(b[VehicleBox::Weight], "900");
    EXPECT_EQ(b[VehicleBox::Total], "100");
    EXPECT_EQ(b[VehicleBox::Picture], "GRIFFON");
}

TEST(DemoVehicles, WritingTwiceGivesTheSameBytes)
{
    TempDir a, b;
    WriteDemoVehicles(LayoutIn(a));
    WriteDemoVehicles(LayoutIn(b));
    EXPECT_EQ(ReadFileBytes(a / "vyxexe/vyx2p.exe"), ReadFileBytes(b / "vyxexe/vyx2p.exe"));
}

}  // namespace
}  // namespace ketral
