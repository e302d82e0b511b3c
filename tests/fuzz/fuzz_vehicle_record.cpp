// Any 102 bytes as a vehicle record, and any text typed into any box: showing
// and storing a record gives back its bytes (the picture field up to its
// first zero byte), and the box rules either fail with an error of the
// program or keep the total equal to the sum of the six sides.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "vehicles/VehicleBoxes.h"

using namespace ketral;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kVehicleRecordSize + 1) return 0;
    VehicleRecord record;
    std::copy(data, data + kVehicleRecordSize, record.Bytes.begin());

    VehicleRecord stored = record;
    StoreVehicle(ShowVehicle(record), stored);
    const std::string name = record.PictureName();
    for (std::size_t i = 0; i < kVehicleRecordSize; ++i) {
        const bool inName = i >= kPictureNameOffset && i < kPictureNameOffset + kPictureNameSize;
        const bool cleared = inName && i >= kPictureNameOffset + name.size();
        if (cleared ? stored.Bytes[i] != 0 : stored.Bytes[i] != record.Bytes[i]) std::abort();
    }

    VehicleBoxes boxes = ShowVehicle(record);
    const auto box = static_cast<VehicleBox>(data[kVehicleRecordSize] % kVehicleBoxCount);
    const std::string text(reinterpret_cast<const char*>(data + kVehicleRecordSize + 1),
                           size - kVehicleRecordSize - 1);
    try {
        EnterBoxText(boxes, box, text);
        std::int64_t sum = 0;
        for (VehicleBox side : kArmourBoxes) sum += boxes.Value(side);
        if (std::to_string(sum) != boxes[VehicleBox::Total] && box != VehicleBox::Total) std::abort();
        if (box == VehicleBox::Total && sum != boxes.Value(VehicleBox::Total)) std::abort();
        VehicleRecord edited = record;
        StoreVehicle(boxes, edited);
        if (edited.Get(VehicleField::Front) != static_cast<std::uint16_t>(boxes.Value(VehicleBox::Front))) std::abort();
    } catch (const Error&) {
        // A box without a whole number, or a name too long for its field.
    }
    return 0;
}
