// Fuzzes editing and saving a tactical map: the files of a map directory
// are taken from the input and the map is loaded; a sequence of edits
// decoded from the input (painting rectangles, resizing, undo, redo, and
// saves in between) is applied. After every edit the map in memory must
// hold what this target's own model of the edits says (sizes, block counts,
// cells): a paint writes its values into the rectangle clipped to the map, a
// resize keeps the cells both sizes share and is refused for counts below 1
// or a grid too large, undo and redo bring back the map before or after.
// Some inputs (SavingSupport.h) go through the disk: the files are written
// into a scratch directory, the map is loaded as the window loads it, and
// every save goes through a write channel that keeps the bytes written;
// after each save the files as they now are are read again and must hold
// exactly the map in memory, and the bytes the map does not own must be as
// they were. Anything else aborts.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "SavingSupport.h"
#include "base/ByteSource.h"
#include "base/Errors.h"
#include "base/LittleEndian.h"
#include "base/Progress.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacMapFiles.h"

using namespace ketral;
using namespace ketral::fuzz;

namespace {

// The map directory "maps/d" with one tile in each tile set, and the
// tactical palette.
const std::string& Root()
{
    static const std::string root = [] {
        const std::string r = MakeScratch({"maps", "maps/d", "maps/d/mapunits", "tacdata"});
        for (const char* set : {"ground", "left", "right", "feature"}) {
            WriteFile(r + "maps/d/mapunits/" + set + ".tab", Bytes(4, 0));
            WriteFile(r + "maps/d/mapunits/" + set + ".pck", OneTilePck());
        }
        WriteFile(r + "tacdata/tactical.pal", Bytes(768, 7));
        return r;
    }();
    return root;
}

class MemoryOpener : public TacFileOpener {
public:
    explicit MemoryOpener(const Files& files) : files_(files) {}
    std::unique_ptr<ByteSource> Open(const std::string& path) override
    {
        auto it = files_.find(path);
        if (it == files_.end()) return nullptr;
        return std::make_unique<SpanSource>(it->second, path);
    }

private:
    const Files& files_;
};

constexpr std::uint64_t kLargestGrid = 1u << 12;

void CheckTactical(const TacMapCore& core, const Files& files, const Files& original, const std::string& mapPath)
{
    const TacMapData& memory = core.Map();
    TacMapData back;
    MemoryOpener opener(files);
    try {
        LoadMapFiles(back, Root() + "maps/d/", mapPath, false, opener);
    } catch (const Error& e) {
        Mismatch(std::string("the saved map cannot be read: ") + e.what());
    }
    if (back.MapWidth != memory.MapWidth || back.MapHeight != memory.MapHeight || back.MapLevels != memory.MapLevels ||
        !(back.SizeFactors == memory.SizeFactors))
        Mismatch("sizes");
    if (back.Cells != memory.Cells) Mismatch("cells");
    // Beyond the grid and the block counts nothing changed.
    const Bytes& smp = files.at(mapPath + ".smp");
    const Bytes& oldSmp = original.at(mapPath + ".smp");
    if (smp.size() > memory.Cells.size() &&
        !std::equal(smp.begin() + static_cast<std::ptrdiff_t>(memory.Cells.size()), smp.end(),
                    oldSmp.begin() + static_cast<std::ptrdiff_t>(memory.Cells.size())))
        Mismatch("bytes after the grid");
    const Bytes& sdt = files.at(mapPath + ".sdt");
    const Bytes& oldSdt = original.at(mapPath + ".sdt");
    if (sdt.size() != oldSdt.size() || !std::equal(sdt.begin() + std::min<std::size_t>(12, sdt.size()), sdt.end(),
                                                   oldSdt.begin() + std::min<std::size_t>(12, sdt.size())))
        Mismatch("bytes of the .sdt after the block counts");
}

// The map as the edits should leave it, by rules of its own.
struct Model {
    std::int32_t width = 0, height = 0, levels = 0;
    Extent3 base;
    Factors3 factors;
    Bytes cells;
};

Model ModelOf(const TacMapData& map)
{
    return Model{map.MapWidth, map.MapHeight, map.MapLevels, map.BaseSize, map.SizeFactors, map.Cells};
}

KETRAL_FUZZ_HELPER void CheckModel(const TacMapData& map, const Model& model, const char* after)
{
    if (map.MapWidth != model.width || map.MapHeight != model.height || map.MapLevels != model.levels ||
        !(map.SizeFactors == model.factors) || !(map.BaseSize == model.base))
        Unexpected(std::string("its sizes after ") + after);
    if (map.Cells != model.cells) Unexpected(std::string("its cells after ") + after);
}

KETRAL_FUZZ_HELPER std::size_t ModelCell(const Model& m, int x, int y, int z)
{
    return ((std::size_t(z) * std::size_t(m.height) + std::size_t(y)) * std::size_t(m.width) + std::size_t(x)) * kSlotCount;
}

// Every cell of the rectangle inside the map gets each value that is a tile
// number (0..255) in its slot.
KETRAL_FUZZ_HELPER void ModelPaint(Model& m, int x1, int y1, int x2, int y2, int z, const std::array<int, kSlotCount>& values)
{
    if (m.cells.empty() || z < 0 || z >= m.levels) return;
    for (int y = std::max(std::min(y1, y2), 0); y <= std::min(std::max(y1, y2), m.height - 1); ++y)
        for (int x = std::max(std::min(x1, x2), 0); x <= std::min(std::max(x1, x2), m.width - 1); ++x)
            for (int s = 0; s < kSlotCount; ++s)
                if (values[s] >= 0 && values[s] <= 255) m.cells.at(ModelCell(m, x, y, z) + s) = std::uint8_t(values[s]);
}

// New block counts; false when they are refused (nothing changes then).
KETRAL_FUZZ_HELPER bool ModelResize(Model& m, std::int32_t fx, std::int32_t fy, std::int32_t fz)
{
    const bool blockSizeRead = m.base.X != 0 || m.base.Y != 0 || m.base.Z != 0;
    if (blockSizeRead && (fx < 1 || fy < 1 || fz < 1)) return false;
    const std::int64_t w = std::int64_t(m.base.X) * fx, h = std::int64_t(m.base.Y) * fy, l = std::int64_t(m.base.Z) * fz;
    if (w == 0 || h == 0 || l == 0) {
        // Nothing to lay out: only the counts are kept.
        m.factors.X = fx;
        m.factors.Y = fy;
        m.factors.Z = fz;
        return true;
    }
    if (!GridBytes(w, h, l)) return false;
    Model next = m;
    next.width = std::int32_t(w);
    next.height = std::int32_t(h);
    next.levels = std::int32_t(l);
    next.factors.X = fx;
    next.factors.Y = fy;
    next.factors.Z = fz;
    next.cells.assign(std::size_t(w * h * l) * kSlotCount, 0);
    if (!m.cells.empty())
        for (int z = 0; z < std::min<std::int64_t>(l, m.levels); ++z)
            for (int y = 0; y < std::min<std::int64_t>(h, m.height); ++y)
                for (int x = 0; x < std::min<std::int64_t>(w, m.width); ++x)
                    for (int s = 0; s < kSlotCount; ++s)
                        next.cells[ModelCell(next, x, y, z) + s] = m.cells.at(ModelCell(m, x, y, z) + s);
    m = std::move(next);
    return true;
}

void RunTactical(FuzzInput& in, KeepingChannel& channel, bool disk)
{
    // The edits redraw the view: into a small image (drawing is the drawing
    // target's to fuzz).
    static TacMapCore& core = *[] {
        auto* c = new TacMapCore;
        c->Resize(16, 16);
        return c;
    }();
    static NullProgress progress;
    const std::string dir = Root() + "maps/d/";
    const std::string mapPath = dir + "m";
    Files files;
    files[dir + "building.dat"] = in.take(12);
    files[mapPath + ".sdt"] = in.take(20);
    files[mapPath + ".smp"] = in.take(std::size_t{in.byte()} * 16);
    {
        const Bytes& b = files[dir + "building.dat"];
        const Bytes& f = files[mapPath + ".sdt"];
        if (b.size() == 12 && f.size() >= 12) {
            const auto grid = GridBytes(std::int64_t(GetI32(&b[0])) * GetI32(&f[0]), std::int64_t(GetI32(&b[4])) * GetI32(&f[4]),
                                        std::int64_t(GetI32(&b[8])) * GetI32(&f[8]));
            if (grid && *grid > kLargestGrid) return;
        }
    }
    const Files original = files;
    bool loaded = true;
    if (disk) {
        for (const auto& [path, bytes] : files) WriteFile(path, bytes);
        try {
            core.LoadMap(dir, mapPath, false, Root() + "tacdata/", progress);
        } catch (const Error&) {
            loaded = false;
        }
    } else {
        // The same reading of the same bytes, from memory.
        core.Map() = TacMapData{};
        MemoryOpener opener(files);
        try {
            LoadMapFiles(core.Map(), dir, mapPath, false, opener);
        } catch (const Error&) {
            loaded = false;
        }
    }
    const TacMapData& map = core.Map();
    Model model = ModelOf(map);
    // The changes done and undone, each with the model before or after it.
    std::vector<std::pair<TacMapChange, Model>> done, undone;
    auto record = [&](TacMapChange c, const Model& before) {
        if (c.Empty()) {
            if (model.cells != before.cells) Unexpected("an edit that recorded no change changed cells");
            return;
        }
        done.emplace_back(std::move(c), before);
        undone.clear();
    };
    auto save = [&] {
        std::vector<std::string> written;
        try {
            written = core.SaveMap();
        } catch (const Error&) {
            if (channel.Wrote()) Mismatch("a save that failed wrote a file");
            if (loaded) Mismatch("the save of a map read whole failed");
            return;
        }
        TakeCopies(channel, written, files);
        if (loaded) CheckTactical(core, files, original, mapPath);
    };
    int saves = 0;
    Model before;
    for (int step = 0; step < 24 && in.left() > 0; ++step) {
        const std::uint8_t op = in.byte();
        before = model;
        const char* what = "a paint";
        switch (op % 6) {
        case 0:
        case 1: {
            const int w = map.MapWidth + 4, h = map.MapHeight + 4;
            const int x1 = in.byte() % w - 2, y1 = in.byte() % h - 2, x2 = in.byte() % w - 2, y2 = in.byte() % h - 2;
            const int z = in.byte() % (map.MapLevels + 2) - 1;
            std::array<int, kSlotCount> values{};
            for (int& v : values) v = in.byte() + ((op & 0x80) ? 0 : -16);
            TacMapChange c = core.PaintCells(x1, y1, x2, y2, z, values);
            ModelPaint(model, x1, y1, x2, y2, z, values);
            record(std::move(c), before);
            break;
        }
        case 2: {
            what = "a resize";
            const int fx = in.pick(0, 4), fy = in.pick(0, 4), fz = in.pick(0, 4);
            const auto grid = GridBytes(std::int64_t(map.BaseSize.X) * fx, std::int64_t(map.BaseSize.Y) * fy,
                                        std::int64_t(map.BaseSize.Z) * fz);
            if (grid && *grid > kLargestGrid) break;
            std::optional<TacMapChange> c;
            try {
                c = core.ApplySizeFactors(fx, fy, fz);
            } catch (const Error&) {
                // A refused resize (sizes below 1, a grid too large) changes nothing.
            }
            if (ModelResize(model, fx, fy, fz) != c.has_value()) Unexpected(c ? "a resize taken" : "a resize refused");
            if (c) record(std::move(*c), before);
            break;
        }
        case 3:
            what = "an undo";
            if (!done.empty()) {
                core.Undo(done.back().first);
                undone.emplace_back(std::move(done.back().first), model);
                model = std::move(done.back().second);
                done.pop_back();
            }
            break;
        case 4:
            what = "a redo";
            if (!undone.empty()) {
                core.Redo(undone.back().first);
                done.emplace_back(std::move(undone.back().first), model);
                model = std::move(undone.back().second);
                undone.pop_back();
            }
            break;
        default:
            what = "a save";
            if (disk && saves++ < kSavesBetweenEdits) save();
            break;
        }
        CheckModel(map, model, what);
    }
    if (disk) save();
    // What the input read is given back, so that libFuzzer finds the memory
    // of each input freed and has no cause to search it for leaks.
    core.Map() = TacMapData{};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    static KeepingChannel& channel = *new KeepingChannel;
    ScopedWriteChannel scope(channel);
    channel.Forget();
    FuzzInput in(data, size);
    RunTactical(in, channel, GoesToDisk(data, size, 32));
    return 0;
}
