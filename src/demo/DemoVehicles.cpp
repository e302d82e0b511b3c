// The demo's strategic executable: a stand-in "vyx2p.exe" that is no program,
// only large enough to hold the vehicle table where the game keeps it.
#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "base/files/FileWriter.h"
#include "demo/DemoParts.h"
#include "shell/VehicleNames.h"
#include "vehicles/VehicleRecord.h"

namespace ketral {

namespace {

// The file ends a little after the last record, on a 512-byte boundary.
constexpr std::size_t kDemoExecutableSize = 1617408;

struct DemoVehicle {
    std::uint16_t weight, constitution, passengers;
    std::uint16_t front, top, bottom, rear, left, right;
    const char* picture;  // at most 10 characters
};

// By record index, in the order of VehicleNames.
constexpr std::array<DemoVehicle, kVehicleCount> kDemoVehicles = {{
    {120, 40, 0, 10, 8, 6, 5, 7, 7, "APROBE"},
    {260, 70, 0, 18, 12, 10, 9, 11, 11, "ASCOUT"},
    {1400, 300, 12, 30, 24, 22, 20, 25, 25, "ATRANSPORT"},
    {480, 150, 2, 35, 20, 18, 15, 22, 22, "AFASTATK"},
    {2100, 420, 4, 60, 45, 40, 38, 44, 44, "ADESTROYR"},
    {1750, 380, 10, 55, 40, 35, 30, 42, 42, "AASSAULT"},
    {1900, 360, 2, 48, 52, 30, 34, 40, 40, "ABOMBER"},
    {880, 220, 1, 40, 30, 26, 24, 32, 32, "AESCORT"},
    {5200, 900, 16, 90, 80, 70, 65, 75, 75, "ABATTLESH"},
    {9800, 2000, 40, 120, 110, 100, 95, 105, 105, "AMOTHERSH"},
    {700, 110, 4, 22, 14, 12, 12, 14, 14, "POLHOVER"},
    {520, 60, 4, 8, 6, 6, 5, 6, 6, "AIRTAXI"},
    {1300, 160, 10, 14, 10, 9, 9, 10, 10, "RESCUE"},
    {2600, 240, 2, 26, 18, 20, 16, 18, 18, "CONSTRUCT"},
    {1100, 130, 8, 12, 9, 8, 8, 9, 9, "AIRTRANS"},
    {4200, 500, 30, 28, 24, 22, 20, 24, 24, "SPACELINE"},
    {820, 140, 4, 30, 20, 16, 16, 20, 20, "PHOENIX"},
    {180, 45, 1, 9, 4, 5, 4, 5, 5, "HOVERBIKE"},
    {1250, 260, 2, 44, 30, 28, 26, 30, 30, "VALKYRIE"},
    {1600, 320, 6, 50, 36, 34, 30, 36, 36, "HAWK"},
    {600, 90, 0, 16, 12, 12, 10, 12, 12, "DIMPROBE"},
    {1500, 200, 12, 18, 14, 12, 12, 14, 14, "BIOTRANS"},
    {2000, 350, 8, 46, 34, 30, 28, 34, 34, "EXPLORER"},
    {2800, 480, 6, 64, 48, 44, 40, 48, 48, "RETALIATR"},
    {3600, 640, 4, 80, 60, 56, 50, 60, 60, "ANNIHILAT"},
    {450, 55, 4, 7, 5, 5, 4, 5, 5, "AUTOTAXI"},
    {950, 100, 8, 11, 8, 8, 7, 8, 8, "AUTOTRANS"},
    {620, 95, 4, 20, 12, 10, 11, 13, 13, "POLICECAR"},
    {400, 50, 4, 6, 4, 4, 3, 4, 4, "CIVCAR"},
    {1200, 190, 2, 38, 24, 22, 20, 26, 26, "STORMDOG"},
    {1800, 260, 10, 42, 28, 26, 24, 30, 30, "WOLFHOUND"},
    {220, 50, 1, 12, 6, 6, 5, 7, 7, "BLAZER"},
    {900, 120, 4, 20, 16, 16, 16, 16, 16, "GRIFFON"},
}};

// The bytes the editor leaves alone: a fixed pseudo-random pattern, so that a
// stray write shows up when the file is compared.
std::vector<std::uint8_t> FillerBytes(std::size_t n)
{
    std::vector<std::uint8_t> bytes(n);
    std::uint32_t state = 0x4B455452u;
    for (std::uint8_t& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

}  // namespace

void WriteDemoVehicles(const DemoLayout& layout)
{
    std::vector<std::uint8_t> exe = FillerBytes(kDemoExecutableSize);
    for (int i = 0; i < kVehicleCount; ++i) {
        const DemoVehicle& v = kDemoVehicles[static_cast<std::size_t>(i)];
        const std::uint64_t offset = VehicleRecordOffset(i);
        VehicleRecord record;
        std::copy_n(exe.begin() + static_cast<std::ptrdiff_t>(offset), kVehicleRecordSize, record.Bytes.begin());
        record.Set(VehicleField::Weight, v.weight);
        record.Set(VehicleField::Constitution, v.constitution);
        record.Set(VehicleField::Passengers, v.passengers);
        record.Set(VehicleField::Front, v.front);
        record.Set(VehicleField::Top, v.top);
        record.Set(VehicleField::Bottom, v.bottom);
        record.Set(VehicleField::Rear, v.rear);
        record.Set(VehicleField::Left, v.left);
        record.Set(VehicleField::Right, v.right);
        // The name is followed only by zero bytes, so saving a record
        // unchanged gives back the very same bytes.
        record.SetPictureName(v.picture);
        std::copy(record.Bytes.begin(), record.Bytes.end(), exe.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    std::filesystem::create_directories(layout.vyxexe);
    WriteWholeFile(layout.vyxexe + "vyx2p.exe", exe.data(), exe.size());
}

}  // namespace ketral
