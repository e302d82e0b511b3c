// The vehicle table read from the strategic executable: the input is the
// part of the file from the table on (the executable's other bytes are
// zeros); every record is read as the vehicle window reads it, shown in the
// boxes, and must hold exactly the bytes at its place in the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "FuzzInput.h"
#include "base/Errors.h"
#include "vehicles/VehicleBoxes.h"

using namespace ketral;
using ketral::fuzz::PlacedSource;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    // The first byte picks one more index to try, inside 0..32 or not.
    const int extra = static_cast<int>(static_cast<std::int8_t>(data[0]));
    std::vector<std::uint8_t> table(data + 1, data + size);
    PlacedSource exe(kVehicleTableOffset + table.size(), "vyx2p.exe");
    exe.place(kVehicleTableOffset, table);
    for (int index = 0; index < 33; ++index) {
        const std::uint64_t at = VehicleRecordOffset(index) - kVehicleTableOffset;
        try {
            const VehicleRecord record = ReadVehicleRecord(exe, index);
            if (at + kVehicleRecordSize > table.size()) std::abort();  // read past the end
            if (std::memcmp(record.Bytes.data(), table.data() + at, kVehicleRecordSize) != 0) std::abort();
            (void)ShowVehicle(record);
        } catch (const IoError&) {
            if (at + kVehicleRecordSize <= table.size()) std::abort();  // a whole record was refused
            // Every later record lies further beyond the end: refused alike,
            // and each refusal (an exception) would cost more than a record.
            break;
        }
    }
    try {
        (void)ReadVehicleRecord(exe, extra);
        if (extra < 0 || extra > 32) std::abort();
    } catch (const Error&) {
    }
    return 0;
}
