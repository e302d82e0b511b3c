#include "vehicles/VehicleRecord.h"

#include <algorithm>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/LittleEndian.h"
#include "base/files/FileStamp.h"
#include "base/files/FileUpdate.h"
#include "shell/VehicleNames.h"

namespace ketral {

std::size_t VehicleFieldOffset(VehicleField field)
{
    switch (field) {
    case VehicleField::Constitution: return 46;
    case VehicleField::Weight: return 50;
    case VehicleField::Rear: return 52;
    case VehicleField::Top: return 54;
    case VehicleField::Right: return 56;
    case VehicleField::Left: return 58;
    case VehicleField::Bottom: return 60;
    case VehicleField::Front: return 62;
    case VehicleField::Passengers: return 64;
    }
    return 0;
}

std::uint64_t VehicleRecordOffset(int index)
{
    if (index < 0 || index >= kVehicleCount)
        throw Error("Vehicle index " + std::to_string(index) + " is not between 0 and " +
                    std::to_string(kVehicleCount - 1));
    return kVehicleTableOffset + kVehicleRecordStride * static_cast<std::uint64_t>(index);
}

std::uint16_t VehicleRecord::Get(VehicleField field) const { return GetU16(&Bytes[VehicleFieldOffset(field)]); }

void VehicleRecord::Set(VehicleField field, std::int32_t value)
{
    PutU16(&Bytes[VehicleFieldOffset(field)], static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu));
}

std::string VehicleRecord::PictureName() const
{
    const auto* begin = &Bytes[kPictureNameOffset];
    const auto* end = std::find(begin, begin + kPictureNameSize, std::uint8_t{0});
    return std::string(begin, end);
}

void VehicleRecord::SetPictureName(const std::string& name)
{
    if (name.size() > kPictureNameSize)
        throw Error("The picture file name '" + GameText::FromLatin1(name) + "' is longer than " + std::to_string(kPictureNameSize) +
                    " characters");
    std::fill_n(&Bytes[kPictureNameOffset], kPictureNameSize, std::uint8_t{0});
    std::copy(name.begin(), name.end(), &Bytes[kPictureNameOffset]);
}

VehicleRecord ReadVehicleRecord(ByteSource& source, int index)
{
    VehicleRecord record;
    source.readExact(VehicleRecordOffset(index), record.Bytes.data(), record.Bytes.size());
    return record;
}

VehicleRecord ReadVehicleRecord(const std::string& executableFile, int index)
{
    FileSource source(executableFile);
    return ReadVehicleRecord(source, index);
}

namespace {

std::vector<FileUpdate> RecordUpdate(const std::string& executableFile, int index, const VehicleRecord& record)
{
    const std::uint64_t offset = VehicleRecordOffset(index);
    std::vector<FileUpdate> updates;
    updates.emplace_back(executableFile);
    std::vector<std::uint8_t>& bytes = updates.back().After();
    // Writing past the end would grow the executable; a file that has become
    // too short since it was read is refused instead.
    if (bytes.size() < offset + kVehicleRecordSize) throw IoError("Cannot write file: " + updates.back().Path());
    std::copy(record.Bytes.begin(), record.Bytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return updates;
}

}  // namespace

void WriteVehicleRecord(const std::string& executableFile, int index, const VehicleRecord& record)
{
    std::vector<FileUpdate> updates = RecordUpdate(executableFile, index, record);
    SaveFileUpdates(updates);
}

void WriteVehicleRecord(const std::string& executableFile, int index, const VehicleRecord& record,
                        OpenedFiles& opened, bool overwriteChanged)
{
    std::vector<FileUpdate> updates = RecordUpdate(executableFile, index, record);
    SaveFileUpdates(updates, opened, overwriteChanged);
}

}  // namespace ketral
