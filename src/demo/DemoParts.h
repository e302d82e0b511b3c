#pragma once
// The pieces of the demo installation, one per subsystem. DemoInstallation.cpp
// makes the directories and the configuration file and calls them in order.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ketral {

struct DemoLayout {
    std::string game;      // every directory ends with the separator
    std::string maps;
    std::string vyxdata;
    std::string vyxexe;
    std::string tacdata;
    std::string savegame;
};

// Creates `dir` and every directory of the installation in it (the map
// directories with their "mapunits" included) and names them.
DemoLayout MakeDemoLayout(const std::string& dir);

// The tactical map directories under maps/ (mixed case on purpose: the
// catalogue sorts them once expanded).
inline const std::array<const char*, 3> kDemoMapDirs = {"Outpost", "canyon", "Harbour"};

// Palettes and every sprite collection: tactical.pal and StratIco in tacdata/,
// the eight tile sets in each maps/<dir>/mapunits/, pal_01.dat and the city
// and alien tiles in vyxdata/.
void WriteDemoArt(const DemoLayout& layout);
// building.dat and the .sdt/.smp maps of every map directory.
void WriteDemoTacticalMaps(const DemoLayout& layout);
// The six default city maps and their building files.
void WriteDemoCityMaps(const DemoLayout& layout);
// vyxexe/vyx2p.exe with the 33 vehicle records.
void WriteDemoVehicles(const DemoLayout& layout);

// Saved games are put together by DemoInstallation.cpp; these fill the parts
// of a saved-game buffer that belong to each subsystem. The buffer is grown
// as needed.
void FillDemoTacticalBattle(std::vector<std::uint8_t>& save, int slot);
void FillDemoCitySave(std::vector<std::uint8_t>& save, int slot, bool alien);

}  // namespace ketral
