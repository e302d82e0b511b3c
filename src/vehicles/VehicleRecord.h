#pragma once
// One vehicle record of the strategic executable "vyx2p.exe". The executable
// holds 33 records 126 bytes apart; the editor reads and writes the first 102
// bytes of a record and never touches the other 24. Every byte that no field
// below names is written back exactly as it was read.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace ketral {

class ByteSource;
class OpenedFiles;

inline constexpr std::uint64_t kVehicleTableOffset = 1612940;  // 0x189C8C
inline constexpr std::uint64_t kVehicleRecordStride = 126;
inline constexpr std::size_t kVehicleRecordSize = 102;
inline constexpr std::size_t kPictureNameOffset = 71;
inline constexpr std::size_t kPictureNameSize = 10;  // bytes 71..80, zero-ended when shorter

// The unsigned 16-bit little-endian numbers of a record.
enum class VehicleField { Constitution, Weight, Rear, Top, Right, Left, Bottom, Front, Passengers };

std::size_t VehicleFieldOffset(VehicleField field);

// Byte offset of record `index` in the executable; throws Error when the
// index is not 0 to 32.
std::uint64_t VehicleRecordOffset(int index);

struct VehicleRecord {
    std::array<std::uint8_t, kVehicleRecordSize> Bytes{};

    std::uint16_t Get(VehicleField field) const;
    // Stores the low 16 bits of `value` (70000 is stored as 4464).
    void Set(VehicleField field, std::int32_t value);

    // The picture (PCX) file name: the characters of bytes 71..80 up to the
    // first zero byte.
    std::string PictureName() const;
    // Clears bytes 71..80, then writes the characters of `name` (Latin-1)
    // from byte 71 on. A name longer than the field throws Error and changes nothing.
    void SetPictureName(const std::string& name);
};

// Reads record `index` (102 bytes). A source that ends before the record's
// last byte throws IoError "Read beyond end of file: " + its name.
VehicleRecord ReadVehicleRecord(ByteSource& source, int index);
VehicleRecord ReadVehicleRecord(const std::string& executableFile, int index);

// Writes the 102 bytes of record `index` into the existing file; no other
// byte changes (the file is saved as a FileUpdate, and not at all when the
// record already holds these bytes). A file that cannot be written, or that
// is too short to hold the record, throws IoError and stays as it was; the
// file is never grown. With `opened`, a file changed since it was opened
// throws FileChangedError unless `overwriteChanged`.
void WriteVehicleRecord(const std::string& executableFile, int index, const VehicleRecord& record);
void WriteVehicleRecord(const std::string& executableFile, int index, const VehicleRecord& record,
                        OpenedFiles& opened, bool overwriteChanged);

}  // namespace ketral
