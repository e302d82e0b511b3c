// The directory listings: a game directory built in memory from the input
// (map directories with their files, saved games, city maps and the
// executable, under names and with contents taken from the bytes) is
// listed as the catalogue lists it, and every map directory and saved
// battle it offers is listed as the tactical window lists its maps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "base/Errors.h"
#include "base/FileTree.h"
#include "base/Messages.h"
#include "shell/Catalogue.h"
#include "shell/GameInstallation.h"
#include "tactical/TacMapFiles.h"
#include "tactical/TacMapList.h"

using namespace ketral;
using ketral::fuzz::FuzzInput;

namespace {

std::string Text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

const char* const kSaveKinds[] = {"savegame", "tactgame", "strtgame"};
const char* const kCityFiles[] = {"alienmap", "Citymap1", "Citymap2", "Citymap3", "Citymap4", "Citymap5", "Citymap6"};

void Walk(const std::vector<CatalogueNode>& nodes, std::vector<const CatalogueEntry*>& entries)
{
    for (const CatalogueNode& n : nodes) {
        if (n.Entry) entries.push_back(&*n.Entry);
        Walk(n.Children, entries);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const std::uint8_t mode = in.byte();
    MemoryFileTree tree;
    if (mode & 1) tree.AddDirectory("/g/maps");
    if (mode & 2) tree.AddDirectory("/g/savegame");
    std::string lastDir = "d";
    while (in.left() > 0) {
        const std::uint8_t kind = in.byte();
        switch (kind % 5) {
        case 0:  // a map directory
            lastDir = Text(in.chunk());
            tree.AddDirectory("/g/maps/" + lastDir);
            break;
        case 1:  // a file in the last map directory
            tree.AddFile("/g/maps/" + lastDir + "/" + Text(in.chunk()), in.chunk());
            break;
        case 2: {  // a saved game
            const std::uint8_t slot = in.byte();
            const std::string name = std::string(kSaveKinds[(kind / 5) % 3]) + ".0" + char('0' + slot % 10);
            std::vector<std::uint8_t> bytes = in.chunk();
            if (slot >= 128) {
                // Long enough to name its battle's map directory.
                bytes.resize(kSaveMapDirOffset, 0);
                const std::vector<std::uint8_t> dir = in.take(8);
                bytes.insert(bytes.end(), dir.begin(), dir.end());
            }
            tree.AddFile("/g/savegame/" + name, std::move(bytes));
            break;
        }
        case 3:  // a city map, or the executable
            if ((kind / 5) % 8 == 7)
                tree.AddFile("/g/vyxexe/vyx2p.exe", {});
            else
                tree.AddFile(std::string("/g/vyxdata/") + kCityFiles[(kind / 5) % 8], {});
            break;
        default:  // anything anywhere
            tree.AddFile("/g/" + Text(in.chunk()), in.chunk());
            break;
        }
    }

    GameInstallation& game = Game();
    game.Reset();
    game.MapsDir = "/g/maps/";
    game.VyxDataDir = (mode & 4) ? "/g/vyxdata/" : "";
    game.VyxExeDir = "/g/vyxexe/";
    game.SaveGameDir = "/g/savegame/";
    game.CdOnlyMode = (mode & 8) != 0;
    std::vector<CatalogueNode> groups;
    try {
        CollectingMessages messages;  // a maps directory that cannot be listed
        FillCatalogue(groups, messages, tree);
    } catch (const IoError&) {
        // A saved game too short for its header: what was built before stays.
    }
    SortCatalogue(groups);
    std::vector<const CatalogueEntry*> entries;
    Walk(groups, entries);
    for (const CatalogueEntry* entry : entries) {
        const CatalogueEntry& e = *entry;
        if (e.Kind != MapDirectoryEntry && e.Kind != SavedTacticalMapEntry) continue;
        const bool saved = e.Kind == SavedTacticalMapEntry;
        if (!tree.IsDirectory(e.Dir)) std::abort();
        try {
            const TacMapList list = BuildMapList(e.Dir, e.FileName, saved, game.MapsDir, tree);
            for (std::size_t i = 0; i < list.Entries.size(); ++i) {
                const std::string path = list.MapPath(i);
                if (saved ? !tree.IsFile(path) : path.rfind(list.ListTileDir, 0) != 0) std::abort();
            }
        } catch (const Error&) {
            // A saved battle that names no usable map directory.
        }
    }
    game.Reset();
    return 0;
}
