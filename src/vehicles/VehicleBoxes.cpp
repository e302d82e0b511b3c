#include "vehicles/VehicleBoxes.h"

#include "shell/IntegerText.h"

namespace ketral {

namespace {

struct BoxName {
    VehicleBox box;
    const char* name;
};

constexpr std::array<BoxName, kVehicleBoxCount> kBoxNames = {{
    {VehicleBox::Weight, "weight"},
    {VehicleBox::Constitution, "constitution"},
    {VehicleBox::Picture, "picture"},
    {VehicleBox::Passengers, "passengers"},
    {VehicleBox::Front, "front"},
    {VehicleBox::Top, "top"},
    {VehicleBox::Bottom, "bottom"},
    {VehicleBox::Rear, "rear"},
    {VehicleBox::Left, "left"},
    {VehicleBox::Right, "right"},
    {VehicleBox::Total, "total"},
}};

// The record field behind each numeric box, in the order Save stores them.
struct BoxField {
    VehicleBox box;
    VehicleField field;
};

constexpr std::array<BoxField, 9> kStoredFields = {{
    {VehicleBox::Weight, VehicleField::Weight},
    {VehicleBox::Constitution, VehicleField::Constitution},
    {VehicleBox::Passengers, VehicleField::Passengers},
    {VehicleBox::Front, VehicleField::Front},
    {VehicleBox::Top, VehicleField::Top},
    {VehicleBox::Bottom, VehicleField::Bottom},
    {VehicleBox::Rear, VehicleField::Rear},
    {VehicleBox::Left, VehicleField::Left},
    {VehicleBox::Right, VehicleField::Right},
}};

}  // namespace

std::optional<VehicleBox> VehicleBoxByName(const std::string& name)
{
    for (const BoxName& b : kBoxNames)
        if (name == b.name) return b.box;
    return std::nullopt;
}

const char* VehicleBoxName(VehicleBox box) { return kBoxNames[static_cast<std::size_t>(box)].name; }

bool IsArmourBox(VehicleBox box)
{
    for (VehicleBox b : kArmourBoxes)
        if (b == box) return true;
    return false;
}

std::int32_t VehicleBoxes::Value(VehicleBox box) const { return ParseIntegerText((*this)[box]); }

VehicleBoxes ShowVehicle(const VehicleRecord& record)
{
    VehicleBoxes boxes;
    std::int32_t total = 0;
    for (const BoxField& f : kStoredFields) {
        const std::uint16_t v = record.Get(f.field);
        boxes[f.box] = std::to_string(v);
        if (IsArmourBox(f.box)) total += v;
    }
    boxes[VehicleBox::Picture] = record.PictureName();
    boxes[VehicleBox::Total] = std::to_string(total);
    return boxes;
}

void StoreVehicle(const VehicleBoxes& boxes, VehicleRecord& record)
{
    for (const BoxField& f : kStoredFields) record.Set(f.field, boxes.Value(f.box));
    record.SetPictureName(boxes[VehicleBox::Picture]);
}

void ArmourChanged(VehicleBoxes& boxes)
{
    std::int64_t sum = 0;
    for (VehicleBox b : kArmourBoxes) sum += boxes.Value(b);
    boxes[VehicleBox::Total] = std::to_string(sum);
}

ArmourSpread SpreadTotal(std::int32_t total)
{
    ArmourSpread s;
    s.side = total / 6;
    s.front = total - 5 * s.side;
    return s;
}

void TotalChanged(VehicleBoxes& boxes)
{
    const ArmourSpread s = SpreadTotal(boxes.Value(VehicleBox::Total));
    for (VehicleBox b : kArmourBoxes) boxes[b] = std::to_string(b == VehicleBox::Front ? s.front : s.side);
}

void EnterBoxText(VehicleBoxes& boxes, VehicleBox box, const std::string& text)
{
    boxes[box] = text;
    if (IsArmourBox(box))
        ArmourChanged(boxes);
    else if (box == VehicleBox::Total)
        TotalChanged(boxes);
}

}  // namespace ketral
