// The vehicle record: where it lies in the executable and how its fields are
// stored.
#include <gtest/gtest.h>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "vehicles/VehicleRecord.h"
#include "vehicles/VehicleTestFile.h"

namespace ketral {
namespace {

using namespace ketral::testing;

TEST(VehicleRecord, Record32CoversBytes1616972To1617073)
{
    EXPECT_EQ(VehicleRecordOffset(0), 1612940u);
    EXPECT_EQ(VehicleRecordOffset(1), 1613066u);
    EXPECT_THROW(VehicleRecordOffset(33), Error);
    EXPECT_THROW(VehicleRecordOffset(-1), Error);

    std::vector<std::uint8_t> exe = MakeTestExecutable();
    exe.resize(1617074);  // ends right after the record
    MemorySource src(exe, "vyx2p.exe");
    const VehicleRecord r = ReadVehicleRecord(src, 32);
    EXPECT_TRUE(std::equal(r.Bytes.begin(), r.Bytes.end(), exe.begin() + 1616972));

    exe.resize(1617073);  // one byte less
    MemorySource tooShort(exe, "/g/vyxexe/vyx2p.exe");
    try {
        ReadVehicleRecord(tooShort, 32);
        FAIL() << "a short executable was read";
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), "Read beyond end of file: /g/vyxexe/vyx2p.exe");
    }
}

TEST(VehicleRecord, StoresTheLow16BitsLittleEndian)
{
    VehicleRecord r;
    r.Set(VehicleField::Weight, 70000);  // 70000 - 65536 = 4464 = 0x1170
    EXPECT_EQ(r.Bytes[50], 0x70);
    EXPECT_EQ(r.Bytes[51], 0x11);
    EXPECT_EQ(r.Bytes[49], 0);  // the neighbours are not touched
    EXPECT_EQ(r.Bytes[52], 0);
    r.Set(VehicleField::Passengers, -1);
    EXPECT_EQ(r.Get(VehicleField::Passengers), 65535);  // read back unsigned
}

TEST(VehicleRecord, PictureNameFieldIsClearedAndRewritten)
{
    VehicleRecord r;
    r.Bytes.fill(0xEE);
    r.SetPictureName("TANK");
    const std::uint8_t tank[10] = {'T', 'A', 'N', 'K', 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(tank, tank + 10, r.Bytes.begin() + 71));
    EXPECT_EQ(r.Bytes[70], 0xEE);
    EXPECT_EQ(r.Bytes[81], 0xEE);
    EXPECT_EQ(r.PictureName(), "TANK");

    // Ten characters fill bytes 71 to 80 with no zero byte, and read back
    // whole, so that saving the record again keeps the last character.
    r.SetPictureName("ABCDEFGHIJ");
    EXPECT_EQ(std::string(r.Bytes.begin() + 71, r.Bytes.begin() + 81), "ABCDEFGHIJ");
    EXPECT_EQ(r.Bytes[81], 0xEE);
    EXPECT_EQ(r.PictureName(), "ABCDEFGHIJ");

    // A longer name has no place in the field: refused, nothing changed.
    const VehicleRecord before = r;
    EXPECT_THROW(r.SetPictureName("ABCDEFGHIJK"), Error);
    EXPECT_EQ(r.Bytes, before.Bytes);
}

}  // namespace
}  // namespace ketral
