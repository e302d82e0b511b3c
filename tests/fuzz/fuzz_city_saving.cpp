// Fuzzes editing and saving a city map: a default city map with its
// building file, or a saved game, is written from the input into a scratch
// directory and opened as the window opens it; a sequence of edits decoded
// from the input (placing tiles in rectangles, clearing a level or the map,
// building changes, undo, redo, and both saves in between) is applied, and
// every save goes through a write channel that keeps the bytes written.
// After each "Save map" the files as they now are are read again and must
// hold exactly the cells and buildings in memory, and every byte the map
// does not own must be as it was; anything else aborts.
#include <algorithm>
#include <bit>
#include <cstring>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "SavingSupport.h"
#include "base/ByteSource.h"
#include "base/Errors.h"
#include "base/LittleEndian.h"
#include "city/CityEditor.h"
#include "shell/GameInstallation.h"

using namespace ketral;
using namespace ketral::fuzz;

namespace {

// The data directory with the city tiles and palette, the list files, and
// the saved-game directory.
const std::string& Root()
{
    static const std::string root = [] {
        const std::string r = MakeScratch({"vyx", "save", "lists"});
        for (const char* set : {"vyx/city", "vyx/City"}) {
            WriteFile(r + set + ".tab", Bytes(4, 0));
            WriteFile(r + set + ".pck", OneTilePck());
        }
        WriteFile(r + "vyx/pal_01.dat", Bytes(768, 9));
        auto list = [](int n) {
            std::string s;
            for (int i = 0; i < n; ++i) s += "line " + std::to_string(i) + "\r\n";
            return Bytes(s.begin(), s.end());
        };
        // 140 names: a building may be given a name index that would end a
        // saved game's table, which its save refuses.
        WriteFile(r + "lists/Building.Nam", list(140));
        WriteFile(r + "lists/Building.Typ", list(12));
        WriteFile(r + "lists/AlienBld.Typ", list(9));
        WriteFile(r + "lists/Building.own", list(5));
        return r;
    }();
    return root;
}

// The file holds the cells at `offset`, little-endian.
bool SameCells(const Bytes& file, std::uint64_t offset, const std::vector<std::uint16_t>& cells)
{
    if (file.size() < offset + 2 * cells.size()) return false;
    static_assert(std::endian::native == std::endian::little, "the comparison takes the cells' bytes as they are");
    return std::memcmp(file.data() + offset, cells.data(), 2 * cells.size()) == 0;
}

// The buildings as the file keeps them: coordinates in 16 bits.
std::vector<CityBuilding> AsStored(std::vector<CityBuilding> buildings)
{
    for (CityBuilding& b : buildings) {
        b.X1 = static_cast<std::uint16_t>(b.X1);
        b.Y1 = static_cast<std::uint16_t>(b.Y1);
        b.X2 = static_cast<std::uint16_t>(b.X2);
        b.Y2 = static_cast<std::uint16_t>(b.Y2);
    }
    return buildings;
}

// The first byte from `from` on where the two differ (both of one size),
// or their size; compared a block at a time, byte by byte only in a block
// that differs.
std::size_t FirstDifference(const Bytes& a, const Bytes& b, std::size_t from)
{
    constexpr std::size_t kBlock = 4096;
    while (from < a.size()) {
        const std::size_t n = std::min(kBlock, a.size() - from);
        if (std::memcmp(a.data() + from, b.data() + from, n) != 0)
            return static_cast<std::size_t>(std::mismatch(a.begin() + static_cast<std::ptrdiff_t>(from), a.end(),
                                                          b.begin() + static_cast<std::ptrdiff_t>(from))
                                                .first -
                                            a.begin());
        from += n;
    }
    return a.size();
}

// Bytes outside the cells and the written fields of the table are as they were.
bool OnlyOwnedBytesChanged(const Bytes& now, const Bytes& before, std::uint64_t cellsAt, std::uint64_t tableAt,
                           std::size_t records)
{
    if (now.size() != before.size()) return false;
    for (std::size_t i = FirstDifference(now, before, 0); i < now.size(); i = FirstDifference(now, before, i)) {
        if (i >= cellsAt && i < cellsAt + kCityMapBytes) {
            i = static_cast<std::size_t>(cellsAt + kCityMapBytes);
            continue;
        }
        if (i >= tableAt && i < tableAt + records * kBuildingRecordSize) {
            const std::size_t at = (i - tableAt) % kBuildingRecordSize;
            if (at < 10 || at == kRecType || at == kRecOwner) {
                ++i;
                continue;
            }
        }
        return false;
    }
    return true;
}

void CheckCity(const CityEditor& editor, const Files& files, const Files& original, const std::string& cellsPath,
               const std::string& tablePath, bool savedGame)
{
    const CityMap& map = editor.map;
    const std::uint64_t cellsAt = savedGame ? kSaveCellsOffset : 0;
    if (!SameCells(files.at(cellsPath), cellsAt, map.cells)) Mismatch("cells");
    SpanSource table(files.at(tablePath), tablePath);
    std::vector<CityBuilding> back;
    try {
        back = savedGame ? ReadSavedGameBuildings(table) : ReadBuildingFile(table);
    } catch (const Error& e) {
        Mismatch(std::string("the building table cannot be read: ") + e.what());
    }
    if (back != AsStored(map.buildings)) Mismatch("buildings");
    const std::uint64_t tableAt = savedGame ? kSaveBuildingTableOffset : 0;
    if (savedGame) {
        if (!OnlyOwnedBytesChanged(files.at(cellsPath), original.at(cellsPath), cellsAt, tableAt, map.buildings.size()))
            Mismatch("bytes of the saved game outside the cells and the table");
    } else {
        if (!OnlyOwnedBytesChanged(files.at(cellsPath), original.at(cellsPath), 0, 0, 0))
            Mismatch("bytes of the map file after the cells");
        if (!OnlyOwnedBytesChanged(files.at(tablePath), original.at(tablePath), ~0ull - kCityMapBytes, 0, map.buildings.size()))
            Mismatch("bytes of the building file outside the fields");
    }
}

void RunCity(FuzzInput& in, std::uint8_t mode, KeepingChannel& channel)
{
    static CityEditor& editor = *[] {
        auto* e = new CityEditor(Root() + "lists/");
        e->LoadOwnerList();
        return e;
    }();
    Game().VyxDataDir = Root() + "vyx/";
    const bool savedGame = (mode & 2) != 0;
    const std::string dir = Root() + (savedGame ? "save/" : "vyx/");
    const std::string name = savedGame ? "SAVEGAME.01" : "CITYMAP1";
    const std::string cellsPath = dir + name, tablePath = savedGame ? cellsPath : cellsPath + ".bld";
    // The files and their first contents, kept from input to input so that
    // their buffers are reused.
    static Files files, original;
    // The table from the input; the cells are empty but for a piece of the
    // input somewhere in them.
    const Bytes table = in.take(std::size_t{in.byte()} * 8);
    const Bytes piece = in.chunk();
    const std::size_t cellsAt = savedGame ? kSaveCellsOffset : 0;
    Bytes& cells = original[cellsPath];
    cells.assign(cellsAt + kCityMapBytes + in.pick(0, 3), 0);
    if (savedGame) {
        // Other bytes end the table where the input's records end.
        std::fill(cells.begin() + static_cast<std::ptrdiff_t>(kSaveBuildingTableOffset),
                  cells.begin() + static_cast<std::ptrdiff_t>(cellsAt), std::uint8_t{0xFF});
        std::copy(table.begin(), table.end(), cells.begin() + static_cast<std::ptrdiff_t>(kSaveBuildingTableOffset));
    } else {
        original[tablePath] = table;
    }
    const std::size_t pieceAt = cellsAt + (in.byte() * 997u) % (kCityMapBytes - 256);
    std::copy(piece.begin(), piece.end(), cells.begin() + static_cast<std::ptrdiff_t>(pieceAt));
    for (const std::string& path : {cellsPath, tablePath}) {
        files[path] = original[path];
        WriteFile(path, files[path]);
    }
    bool opened = true;
    try {
        editor.OpenCityMap(dir, name, Root() + "vyx/pal_01.dat", savedGame, true);
    } catch (const Error&) {
        opened = false;
    }
    std::vector<CityMapChange> done, undone;
    auto record = [&](CityMapChange c) {
        if (c.Empty()) return;
        done.push_back(std::move(c));
        undone.clear();
    };
    auto save = [&](bool whole) {
        std::vector<std::string> written;
        try {
            written = whole ? editor.SaveWholeMap() : editor.SaveBuildingTable();
        } catch (const Error&) {
            if (channel.Wrote()) Mismatch("a save that failed wrote a file");
            // Only a name index that would end a saved game's table is refused.
            const bool refusable = std::any_of(editor.map.buildings.begin(), editor.map.buildings.end(),
                                               [](const CityBuilding& b) { return b.nameIndex >= kSaveTableEndNameIndex; });
            if (opened && !(savedGame && refusable)) Mismatch("the save of a map opened whole failed");
            return;
        }
        TakeCopies(channel, written, files);
        if (opened && whole) CheckCity(editor, files, original, cellsPath, tablePath, savedGame);
    };
    int saves = 0;
    for (int step = 0; step < 24 && in.left() > 0; ++step) {
        const std::uint8_t op = in.byte();
        switch (op % 8) {
        case 0:
        case 1: {
            const int level = in.pick(0, 9);
            const int a1 = in.byte() % 110 - 5, a2 = in.byte() % 110 - 5, b1 = in.byte() % 110 - 5,
                      b2 = in.byte() % 110 - 5;
            const auto tile = static_cast<std::uint16_t>(in.byte() | (in.byte() << 8));
            record(editor.PaintCells(level, a1, a2, b1, b2, tile));
            break;
        }
        case 2:
            editor.view.currentLevel = in.pick(-1, 10);
            record(editor.ClearLevel([&](const std::string&) { return (op & 0x80) != 0; }));
            break;
        case 3:
            // Clearing the whole map records 100,000 cells: now and then.
            if ((op & 0x70) == 0x70) record(editor.ClearMap([&](const std::string&) { return (op & 0x80) != 0; }));
            break;
        case 4: {
            const int index = in.pick(0, editor.map.buildingCount());
            CityBuilding b;
            b.nameIndex = static_cast<std::uint16_t>(in.byte() | ((op & 0x80) ? 0x100 : 0));
            b.X1 = static_cast<std::int8_t>(in.byte()) * 300;
            b.Y1 = in.byte();
            b.X2 = in.byte();
            b.Y2 = static_cast<std::int8_t>(in.byte());
            b.typeIndex = in.byte();
            b.ownerIndex = in.byte();
            record(editor.ChangeBuilding(index, b));
            break;
        }
        case 5:
            if (!done.empty()) {
                editor.Undo(done.back());
                undone.push_back(std::move(done.back()));
                done.pop_back();
            }
            break;
        case 6:
            if (!undone.empty()) {
                editor.Redo(undone.back());
                done.push_back(std::move(undone.back()));
                undone.pop_back();
            }
            break;
        default:
            if (saves++ < kSavesBetweenEdits) save((op & 0x80) == 0);
            break;
        }
    }
    save(true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    static KeepingChannel& channel = *new KeepingChannel;
    ScopedWriteChannel scope(channel);
    channel.Forget();
    FuzzInput in(data, size);
    const std::uint8_t mode = in.byte();
    RunCity(in, mode, channel);
    return 0;
}
