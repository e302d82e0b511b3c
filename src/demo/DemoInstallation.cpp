// The demo installation as a whole: the directories, the configuration file,
// the parts of each subsystem and the saved games.
#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/LittleEndian.h"
#include "base/files/FileWriter.h"
#include "demo/Demo.h"
#include "demo/DemoParts.h"

namespace fs = std::filesystem;

namespace ketral {

namespace {

// Where the parts of a saved game lie, as far as the editor reads them.
constexpr std::size_t kHeaderTextSize = 40;
constexpr std::size_t kAlienFlagOffset = 173;
constexpr std::size_t kCityCellsOffset = 224106;
constexpr std::size_t kCityCellsSize = 200000;
constexpr std::size_t kBattleSizeOffset = 2103;
constexpr std::size_t kBattleCellsOffset = 1457102;

// The CD drive letter the demo's configuration file names.
constexpr char kDemoCdLetter = 'D';

std::string MakeDir(const std::string& path)
{
    std::error_code ec;
    fs::create_directories(fs::path(path), ec);
    if (!DirectoryExists(path)) throw IoError("Cannot create directory: " + path);
    return WithTrailingSep(path);
}

void WriteHeader(std::vector<std::uint8_t>& save, const std::string& a, const std::string& b)
{
    std::memset(save.data(), 0, 2 * kHeaderTextSize);
    std::memcpy(save.data(), a.data(), std::min(a.size(), kHeaderTextSize));
    std::memcpy(save.data() + kHeaderTextSize, b.data(), std::min(b.size(), kHeaderTextSize));
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    WriteWholeFile(path, bytes.data(), bytes.size());
}

// The city part of a saved game ("savegame" or "strtgame").
std::vector<std::uint8_t> CitySave(int slot, bool alien, const std::string& a, const std::string& b)
{
    std::vector<std::uint8_t> save(kCityCellsOffset + kCityCellsSize, 0);
    FillDemoCitySave(save, slot, alien);
    if (save.size() < kCityCellsOffset + kCityCellsSize) save.resize(kCityCellsOffset + kCityCellsSize, 0);
    save[kAlienFlagOffset] = alien ? 1 : 0;
    WriteHeader(save, a, b);
    return save;
}

// A saved tactical battle ("tactgame"): the file reaches at least to the end
// of the cell grid whose size the battle names.
std::vector<std::uint8_t> BattleSave(int slot, const std::string& a, const std::string& b)
{
    std::vector<std::uint8_t> save(kBattleCellsOffset, 0);
    FillDemoTacticalBattle(save, slot);
    if (save.size() < kBattleCellsOffset) save.resize(kBattleCellsOffset, 0);
    std::uint64_t cells = 4;
    for (int i = 0; i < 3; ++i) {
        std::int32_t n = GetI32(save.data() + kBattleSizeOffset + 4 * i);
        cells *= static_cast<std::uint64_t>(std::clamp(n, 0, 1024));
    }
    if (save.size() < kBattleCellsOffset + cells) save.resize(kBattleCellsOffset + cells, 0);
    WriteHeader(save, a, b);
    return save;
}


}  // namespace

DemoLayout MakeDemoLayout(const std::string& dir)
{
    DemoLayout layout;
    layout.game = MakeDir(dir);
    layout.maps = MakeDir(layout.game + "maps");
    for (const char* name : kDemoMapDirs) MakeDir(layout.maps + name + kPathSep + "mapunits");
    layout.vyxdata = MakeDir(layout.game + "vyxdata");
    layout.vyxexe = MakeDir(layout.game + "vyxexe");
    layout.tacdata = MakeDir(layout.game + "tacdata");
    layout.savegame = MakeDir(layout.game + "savegame");
    return layout;
}

std::string WriteDemoInstallation(const std::string& dir)
{
    const DemoLayout layout = MakeDemoLayout(dir);

    // The game's configuration file; the editor reads only byte 1, the CD letter.
    std::vector<std::uint8_t> cfg(32, 0);
    cfg[0] = 3;
    cfg[1] = static_cast<std::uint8_t>(kDemoCdLetter);
    WriteFile(layout.game + "ZORVAN3.CFG", cfg);

    WriteDemoArt(layout);
    WriteDemoTacticalMaps(layout);
    WriteDemoCityMaps(layout);
    WriteDemoVehicles(layout);

    // Saved games for every slot layout the catalogue knows.
    const std::string& sg = layout.savegame;
    // A city alone, and an alien city alone.
    WriteFile(sg + "savegame.00", CitySave(0, false, "12 March 2084 08:15", "Dawn patrol"));
    WriteFile(sg + "savegame.01", CitySave(1, true, "2 April 2084 22:40", "Into the rift"));
    // A city and a battle in the same slot: the catalogue shows the city.
    WriteFile(sg + "savegame.03", CitySave(3, false, "19 April 2084 06:05", "Harbour raid"));
    WriteFile(sg + "tactgame.03", BattleSave(3, "19 April 2084 06:05", "Harbour raid"));
    // A battle with the city it was fought in.
    WriteFile(sg + "tactgame.05", BattleSave(5, "3 May 2084 13:30", "Canyon ambush"));
    WriteFile(sg + "strtgame.05", CitySave(5, false, "3 May 2084 13:30", "Canyon ambush"));
    // A battle alone; its name fills all 40 bytes.
    WriteFile(sg + "tactgame.07", BattleSave(7, "28 May 2084 21:00", "Last stand of the outpost guard at dusk!"));

    return layout.game;
}

}  // namespace ketral
