// Opening a record from the executable and saving it back in place.
#include <gtest/gtest.h>

#include "base/Errors.h"
#include "base/files/FileStamp.h"
#include "support/FailingWrites.h"
#include "support/TempDir.h"
#include "support/WriteProtect.h"
#include "vehicles/VehicleDocument.h"
#include "vehicles/VehicleTestFile.h"

namespace ketral {
namespace {

using namespace ketral::testing;

class VehicleDocumentTest : public ::testing::Test {
protected:
    VehicleDocumentTest() : original(MakeTestExecutable()) { exe = dir.write("vyxexe/vyx2p.exe", original); }

    std::vector<std::size_t> ChangedOffsets() const { return ketral::testing::ChangedOffsets(original, exe); }

    TempDir dir;
    std::vector<std::uint8_t> original;
    std::string exe;
};

TEST_F(VehicleDocumentTest, SaveChangesExactlyTheEditedBytes)
{
    VehicleDocument doc;
    doc.Open(exe, 32);
    doc.Save(ShowVehicle(doc.Record()));
    EXPECT_EQ(ChangedOffsets(), std::vector<std::size_t>{});  // unchanged: the same bytes

    VehicleBoxes b = ShowVehicle(doc.Record());
    EnterBoxText(b, VehicleBox::Weight, "70000");  // 4464 = 0x1170
    EnterBoxText(b, VehicleBox::Left, "17");
    doc.Save(b);
    const std::size_t r = 1616972;
    EXPECT_EQ(ChangedOffsets(), (std::vector<std::size_t>{r + 50, r + 51, r + 58}));
    const std::vector<std::uint8_t> now = ReadFileBytes(exe);
    EXPECT_EQ(Get16(now, r + 50), 4464);
    EXPECT_EQ(Get16(now, r + 58), 17);

    // Opened again, the record shows what was saved.
    VehicleDocument again;
    again.Open(exe, 32);
    EXPECT_EQ(ShowVehicle(again.Record())[VehicleBox::Total], "101");
}

TEST_F(VehicleDocumentTest, ShortExecutableFailsNamingTheFileAndKeepsTheOpenRecord)
{
    VehicleDocument doc;
    doc.Open(exe, 5);
    std::vector<std::uint8_t> shortBytes = original;
    shortBytes.resize(1617073);  // one byte short of record 32's end
    const std::string shortExe = dir.write("short/vyx2p.exe", shortBytes);
    try {
        doc.Open(shortExe, 32);
        FAIL() << "a short executable was opened";
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), ("Read beyond end of file: " + shortExe).c_str());
    }
    // Still the first file's record 5: a Save goes there, not into the short file.
    EXPECT_EQ(doc.File(), exe);
    EXPECT_EQ(doc.Index(), 5);
    EXPECT_EQ(doc.Record().PictureName(), "HOVER");
    VehicleBoxes b = ShowVehicle(doc.Record());
    b[VehicleBox::Passengers] = "9";
    doc.Save(b);
    EXPECT_EQ(ReadFileBytes(shortExe), shortBytes);
    EXPECT_EQ(ChangedOffsets(), std::vector<std::size_t>{1612940 + 5 * 126 + 64});

    EXPECT_THROW(doc.Open(dir / "missing.exe", 1), IoError);
    EXPECT_EQ(doc.File(), exe);
}

TEST_F(VehicleDocumentTest, UnwritableFileFailsAndNothingChanges)
{
    VehicleDocument doc;
    doc.Open(exe, 32);
    VehicleBoxes b = ShowVehicle(doc.Record());
    b[VehicleBox::Weight] = "1";
    {
        WriteProtect protect(exe);
        try {
            doc.Save(b);
            FAIL() << "saving into a write-protected file reported success";
        } catch (const IoError& e) {
            EXPECT_STREQ(e.what(), ("Cannot open file for writing: " + exe).c_str());
        }
    }
    EXPECT_EQ(ChangedOffsets(), std::vector<std::size_t>{});
    EXPECT_EQ(doc.Record().Get(VehicleField::Weight), 900);  // the record as read
}

TEST_F(VehicleDocumentTest, BoxWithoutWholeNumberStopsBeforeTheFileIsOpened)
{
    VehicleDocument doc;
    doc.Open(exe, 32);
    VehicleBoxes b = ShowVehicle(doc.Record());
    b[VehicleBox::Weight] = "5";
    b[VehicleBox::Rear] = "1.5";
    // The file could not be opened for writing either; the conversion error
    // comes first, so the file was never reached.
    WriteProtect protect(exe);
    EXPECT_THROW(doc.Save(b), ConversionError);
    EXPECT_EQ(ChangedOffsets(), std::vector<std::size_t>{});
}

TEST_F(VehicleDocumentTest, FileCutShortAfterOpeningIsNotGrownBySave)
{
    VehicleDocument doc;
    doc.Open(exe, 32);
    std::vector<std::uint8_t> cut = original;
    cut.resize(1616980);  // now ends inside record 32
    dir.write("vyxexe/vyx2p.exe", cut);
    EXPECT_THROW(doc.Save(ShowVehicle(doc.Record())), IoError);
    EXPECT_EQ(ReadFileBytes(exe), cut);
}

TEST_F(VehicleDocumentTest, FullDiskOrAChangedFileLeavesTheExecutable)
{
    VehicleDocument doc;
    doc.Open(exe, 3);
    VehicleBoxes b = ShowVehicle(doc.Record());
    EnterBoxText(b, VehicleBox::Passengers, "12");
    const std::size_t record = 1612940 + 3 * 126;
    for (std::size_t limit : {std::size_t{0}, record, record + 64, original.size() - 1}) {
        FullDisk disk(limit);
        EXPECT_THROW(doc.Save(b), IoError) << "limit " << limit;
        ASSERT_EQ(ChangedOffsets(), std::vector<std::size_t>{}) << "limit " << limit;
    }
    EXPECT_EQ(DirectoryNames(dir / "vyxexe"), std::vector<std::string>{"vyx2p.exe"});
    EXPECT_EQ(doc.Record().Get(VehicleField::Passengers), ReadVehicleRecord(exe, 3).Get(VehicleField::Passengers));

    // Another program changed the executable since the opening.
    std::vector<std::uint8_t> theirs = original;
    theirs.push_back(0);
    dir.write("vyxexe/vyx2p.exe", theirs);
    EXPECT_THROW(doc.Save(b), FileChangedError);
    EXPECT_EQ(ReadFileBytes(exe), theirs);
    doc.Save(b, true);
    theirs[record + 64] = 12;
    theirs[record + 65] = 0;
    EXPECT_EQ(ReadFileBytes(exe), theirs);
}

}  // namespace
}  // namespace ketral
