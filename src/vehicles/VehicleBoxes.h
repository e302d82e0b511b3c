#pragma once
// The texts of the vehicle window's boxes and what the window does with them:
// filling them from a record, storing them into a record, and the two change
// rules of the armour boxes and the total box. The window and ketral-tool
// both run these, so a record edited in either comes out the same.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "vehicles/VehicleRecord.h"

namespace ketral {

// The boxes of the window. Front to Right are the six armour boxes.
enum class VehicleBox { Weight, Constitution, Picture, Passengers, Front, Top, Bottom, Rear, Left, Right, Total };
inline constexpr std::size_t kVehicleBoxCount = 11;
inline constexpr std::array<VehicleBox, 6> kArmourBoxes = {VehicleBox::Front, VehicleBox::Top,  VehicleBox::Bottom,
                                                           VehicleBox::Rear,  VehicleBox::Left, VehicleBox::Right};

// The box by its field name in ketral-tool ("weight", "front", "total",
// "picture", ...); nullopt for any other name.
std::optional<VehicleBox> VehicleBoxByName(const std::string& name);
const char* VehicleBoxName(VehicleBox box);
bool IsArmourBox(VehicleBox box);

// Texts are the game's 8-bit characters.
struct VehicleBoxes {
    std::array<std::string, kVehicleBoxCount> Texts;

    std::string& operator[](VehicleBox box) { return Texts[static_cast<std::size_t>(box)]; }
    const std::string& operator[](VehicleBox box) const { return Texts[static_cast<std::size_t>(box)]; }
    // The box's text as the integer box reads it (ConversionError otherwise).
    std::int32_t Value(VehicleBox box) const;
};

// The record as the window shows it: the numbers unsigned, the picture name,
// and in the total box the sum of the six armour values (not a spread).
VehicleBoxes ShowVehicle(const VehicleRecord& record);

// Stores weight, constitution, passengers and the six armour boxes, in this
// order, each as the low 16 bits of its value, then the picture name. A box
// that holds no whole number throws ConversionError; the fields stored
// before it are already in the record.
void StoreVehicle(const VehicleBoxes& boxes, VehicleRecord& record);

// One armour box changed: the total box gets the sum of the six (front, top,
// bottom, rear, left, right). The sum is written out in full, so a sum beyond
// the 32-bit range reads back as a conversion error instead of wrapping.
void ArmourChanged(VehicleBoxes& boxes);

// The six armour values for total t: q = t div 6 (truncated) on top, bottom,
// rear, left and right, and t - 5q on the front.
struct ArmourSpread {
    std::int32_t front = 0;
    std::int32_t side = 0;  // top, bottom, rear, left and right
};
ArmourSpread SpreadTotal(std::int32_t total);

// The total box changed: its value is spread over the six armour boxes.
void TotalChanged(VehicleBoxes& boxes);

// Puts `text` into `box` as typing would and runs the box's change rule
// (an armour box updates the total, the total spreads over the sides).
void EnterBoxText(VehicleBoxes& boxes, VehicleBox box, const std::string& text);

}  // namespace ketral
