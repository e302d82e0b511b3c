// Fuzzes editing and saving a city map: a default city map with its
// building file, or a saved game, is made from the input and opened; a
// sequence of edits decoded from the input (placing tiles in rectangles,
// clearing a level or the map, building changes, undo, redo, and both saves
// in between) is applied. At the end the cells and buildings in memory must
// be what this target's own model of the edits says: a rectangle clipped to
// the map holds its tile, a cleared level or map is empty, a changed building
// holds its new fields, undo and redo bring back the values before or after.
// Some inputs (SavingSupport.h) go through the disk: the files are written
// into a scratch directory and opened as the window opens them, and every
// save goes through a write channel that keeps the bytes written. After
// each "Save map" the files as they now are are read again and must hold
// exactly the cells and buildings in memory, and every byte the map does
// not own must be as it was; anything else aborts.
#include <algorithm>
#include <bit>
#include <cstring>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
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

// The cells and buildings as the edits should leave them, by rules of their
// own. A change is kept as the cells it changed, each with its value
// before and after (and the building before and after), for undo and redo.
struct ModelChange {
    struct Cell {
        std::size_t index;
        std::uint16_t before, after;
    };
    std::vector<Cell> cells;
    int building = -1;
    CityBuilding buildingBefore, buildingAfter;
};

// The model keeps the stretches of cells that may hold anything but 0
// (the piece of the input, the rectangles painted): every other cell is 0.
// The next input empties only those, in the model and in the map, rather
// than copying and reading 100,000 cells, and a clear passes over only them.
struct Model {
    std::vector<std::uint16_t> cells = std::vector<std::uint16_t>(kCityCells, 0);
    std::vector<CityBuilding> buildings;
    // Cells [first, second) may be other than 0; the whole map when it was
    // taken from a map opened from the disk.
    std::vector<std::pair<std::size_t, std::size_t>> dirty;

    KETRAL_FUZZ_HELPER void Touch(std::size_t from, std::size_t to) { dirty.emplace_back(from, std::min(to, cells.size())); }
    // Both the model and the map back to empty cells (the map held what the
    // model holds: every input ends with their comparison).
    KETRAL_FUZZ_HELPER void Empty(std::vector<std::uint16_t>& map)
    {
        for (const auto& [from, to] : dirty) {
            std::memset(cells.data() + from, 0, 2 * (to - from));
            std::memset(map.data() + from, 0, 2 * (to - from));
        }
        dirty.clear();
    }
    KETRAL_FUZZ_HELPER void Set(ModelChange& change, std::size_t index, std::uint16_t value)
    {
        if (cells[index] == value) return;
        change.cells.push_back({index, cells[index], value});
        cells[index] = value;
    }
    // The rectangle of the level inside the map gets the tile.
    KETRAL_FUZZ_HELPER ModelChange Paint(int level, int a1, int a2, int b1, int b2, std::uint16_t tile)
    {
        ModelChange change;
        if (level < 0 || level >= kCityLevels) return change;
        const int aFrom = std::max(std::min(a1, a2), 0), aTo = std::min(std::max(a1, a2), kMapSide - 1);
        const int bFrom = std::max(std::min(b1, b2), 0), bTo = std::min(std::max(b1, b2), kMapSide - 1);
        if (aFrom > aTo || bFrom > bTo) return change;
        const auto at = [&](int a, int b) { return std::size_t(level * kMapSide * kMapSide + a * kMapSide + b); };
        Touch(at(aFrom, bFrom), at(aTo, bTo) + 1);
        for (int a = aFrom; a <= aTo; ++a)
            for (int b = bFrom; b <= bTo; ++b) Set(change, at(a, b), tile);
        return change;
    }
    // Cells from..to-1 emptied: only the stretches that may hold anything
    // are looked at.
    KETRAL_FUZZ_HELPER ModelChange Clear(std::size_t from, std::size_t to)
    {
        ModelChange change;
        for (const auto& [lo, hi] : dirty)
            for (std::size_t k = std::max(lo, from); k < std::min(hi, to); ++k) Set(change, k, 0);
        return change;
    }
    ModelChange ChangeBuilding(int index, const CityBuilding& b)
    {
        ModelChange change;
        if (index < 0 || std::size_t(index) >= buildings.size() || buildings[std::size_t(index)] == b) return change;
        change.building = index;
        change.buildingBefore = buildings[std::size_t(index)];
        change.buildingAfter = b;
        buildings[std::size_t(index)] = b;
        return change;
    }
    KETRAL_FUZZ_HELPER void Apply(const ModelChange& change, bool redo)
    {
        for (const ModelChange::Cell& c : change.cells) cells[c.index] = redo ? c.after : c.before;
        if (change.building >= 0)
            buildings[std::size_t(change.building)] = redo ? change.buildingAfter : change.buildingBefore;
    }
};

KETRAL_FUZZ_HELPER void CheckModel(const CityMap& map, const Model& model, const char* when)
{
    if (map.cells.size() != model.cells.size() ||
        std::memcmp(map.cells.data(), model.cells.data(), 2 * model.cells.size()) != 0)
        Unexpected(std::string("the map's cells ") + when);
    if (map.buildings != model.buildings) Unexpected(std::string("the map's buildings ") + when);
}

void RunCity(FuzzInput& in, std::uint8_t mode, KeepingChannel& channel, bool disk, bool readCells)
{
    // The edits redraw the map: into a small image (drawing is the drawing
    // target's to fuzz).
    static CityEditor& editor = *[] {
        auto* e = new CityEditor(Root() + "lists/");
        e->LoadOwnerList();
        e->map.tiles = std::make_unique<SpriteCollection>();
        e->Resize(16, 16);
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
    const std::size_t fileSize = cellsAt + kCityMapBytes + in.pick(0, 3);
    const std::size_t pieceAt = cellsAt + (in.byte() * 997u) % (kCityMapBytes - 256);
    static Model model;
    bool opened = true;
    if (disk) {
        Bytes& cells = original[cellsPath];
        cells.assign(fileSize, 0);
        if (savedGame) {
            // Other bytes end the table where the input's records end.
            std::fill(cells.begin() + static_cast<std::ptrdiff_t>(kSaveBuildingTableOffset),
                      cells.begin() + static_cast<std::ptrdiff_t>(cellsAt), std::uint8_t{0xFF});
            std::copy(table.begin(), table.end(), cells.begin() + static_cast<std::ptrdiff_t>(kSaveBuildingTableOffset));
        } else {
            original[tablePath] = table;
        }
        std::copy(piece.begin(), piece.end(), cells.begin() + static_cast<std::ptrdiff_t>(pieceAt));
        for (const std::string& path : {cellsPath, tablePath}) {
            files[path] = original[path];
            WriteFile(path, files[path]);
        }
        try {
            editor.OpenCityMap(dir, name, Root() + "vyx/pal_01.dat", savedGame, true);
        } catch (const Error&) {
            opened = false;
        }
        model.cells = editor.map.cells;
        model.dirty.assign(1, {0, model.cells.size()});
    } else {
        // The same cells in memory: empty but for the piece. They are
        // written in place (the last input's cells emptied), and read from
        // the same bytes by the map's reader for one input in 64, which must
        // give the same cells. The building table is read by the same
        // reader (every building taken, as the building dialog may give any
        // of them any name).
        CityMap& map = editor.map;
        map.source.savedGame = savedGame;
        model.Empty(map.cells);
        const std::size_t pieceByte = pieceAt - cellsAt;
        model.Touch(pieceByte / 2, (pieceByte + piece.size() + 1) / 2);
        std::copy(piece.begin(), piece.end(), reinterpret_cast<std::uint8_t*>(model.cells.data()) + pieceByte);
        if (readCells) {
            PlacedSource cells(fileSize, cellsPath);
            cells.place(pieceAt, piece);
            map.ReadCells(cells, cellsAt);
            CheckModel(map, model, "as read");
        } else {
            std::copy(piece.begin(), piece.end(), reinterpret_cast<std::uint8_t*>(map.cells.data()) + pieceByte);
        }
        // A saved game's reader stops at the record after the input's
        // (its name index is 0xFFFF): the file need not reach further, and
        // its reader's buffer is filled with no more than that.
        const std::size_t records = (table.size() + kBuildingRecordSize - 1) / kBuildingRecordSize;
        const std::size_t tableEnd = kSaveBuildingTableOffset + (records + 1) * kBuildingRecordSize;
        PlacedSource tableFile(savedGame ? std::min(fileSize, tableEnd) : table.size(), tablePath, savedGame ? 0xFF : 0);
        tableFile.place(savedGame ? kSaveBuildingTableOffset : 0, table);
        try {
            map.buildings = savedGame ? ReadSavedGameBuildings(tableFile) : ReadBuildingFile(tableFile);
        } catch (const Error&) {
            map.buildings.clear();
        }
        CityBuildingList& list = editor.BuildingList();
        list.Reset(map.buildings.size());
        list.RebuildMask(map.buildings);
    }
    model.buildings = editor.map.buildings;
    std::vector<std::pair<CityMapChange, ModelChange>> done, undone;
    auto record = [&](CityMapChange c, ModelChange m) {
        if (c.Empty()) {
            if (!m.cells.empty() || m.building >= 0) Unexpected("an edit that recorded no change changed the map");
            return;
        }
        done.emplace_back(std::move(c), std::move(m));
        undone.clear();
    };
    auto save = [&](bool whole) {
        CheckModel(editor.map, model, "before a save");
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
            // Rectangles of up to 17 x 17 cells, anywhere and across the
            // edges: larger ones take no other path, only longer.
            const int level = in.pick(0, 9);
            const int a1 = in.byte() % 110 - 5, a2 = a1 + in.byte() % 33 - 16, b1 = in.byte() % 110 - 5,
                      b2 = b1 + in.byte() % 33 - 16;
            const auto tile = static_cast<std::uint16_t>(in.byte() | (in.byte() << 8));
            CityMapChange c = editor.PaintCells(level, a1, a2, b1, b2, tile);
            record(std::move(c), model.Paint(level, a1, a2, b1, b2, tile));
            break;
        }
        case 2: {
            // Clearing a level records 10,000 cells: one such op in four.
            if ((op & 0x30) != 0x30) break;
            const int level = in.pick(-1, 10);
            editor.view.currentLevel = level;
            CityMapChange c = editor.ClearLevel([&](const std::string&) { return (op & 0x80) != 0; });
            const bool clears = (op & 0x80) != 0 && level >= 0 && level < kCityLevels;
            record(std::move(c), clears ? model.Clear(std::size_t(level) * kMapSide * kMapSide,
                                                       std::size_t(level + 1) * kMapSide * kMapSide)
                                        : ModelChange{});
            break;
        }
        case 3:
            // Clearing the whole map records 100,000 cells: now and then.
            if ((op & 0x70) == 0x70) {
                CityMapChange c = editor.ClearMap([&](const std::string&) { return (op & 0x80) != 0; });
                record(std::move(c), (op & 0x80) != 0 ? model.Clear(0, model.cells.size()) : ModelChange{});
            }
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
            CityMapChange c = editor.ChangeBuilding(index, b);
            record(std::move(c), model.ChangeBuilding(index, b));
            break;
        }
        case 5:
            if (!done.empty()) {
                editor.Undo(done.back().first);
                model.Apply(done.back().second, false);
                undone.push_back(std::move(done.back()));
                done.pop_back();
            }
            break;
        case 6:
            if (!undone.empty()) {
                editor.Redo(undone.back().first);
                model.Apply(undone.back().second, true);
                done.push_back(std::move(undone.back()));
                undone.pop_back();
            }
            break;
        default:
            if (disk && saves++ < kSavesBetweenEdits) save((op & 0x80) == 0);
            break;
        }
    }
    if (disk)
        save(true);
    else
        CheckModel(editor.map, model, "after the edits");
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
    const std::uint32_t hash = InputHash(data, size);
    // An input through the disk costs as much as forty in memory (a saved
    // game's 424 KB are written, read, copied and compared several times):
    // one in 256 keeps them to about a seventh of the time.
    constexpr std::uint32_t kCityDiskEvery = 256;
    RunCity(in, mode, channel, hash % kCityDiskEvery == 0, hash % 64 == 1);
    return 0;
}
