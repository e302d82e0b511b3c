// Fuzzes editing and saving a tactical map: the files of a map directory
// are written from the input into a scratch directory and the map is loaded
// as the window loads it; a sequence of edits decoded from the input
// (painting rectangles, resizing, undo, redo, and saves in between) is
// applied, and every save goes through a write channel that keeps the bytes
// written. After each save the files as they now are are read again and
// must hold exactly the map in memory (sizes, block counts, cells), and the
// bytes the map does not own must be as they were; anything else aborts.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
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

void RunTactical(FuzzInput& in, KeepingChannel& channel)
{
    static TacMapCore& core = *new TacMapCore;
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
    for (const auto& [path, bytes] : files) WriteFile(path, bytes);
    const Files original = files;
    bool loaded = true;
    try {
        core.LoadMap(dir, mapPath, false, Root() + "tacdata/", progress);
    } catch (const Error&) {
        loaded = false;
    }
    std::vector<TacMapChange> done, undone;
    auto record = [&](TacMapChange c) {
        if (c.Empty()) return;
        done.push_back(std::move(c));
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
    const TacMapData& map = core.Map();
    int saves = 0;
    for (int step = 0; step < 24 && in.left() > 0; ++step) {
        const std::uint8_t op = in.byte();
        try {
            switch (op % 6) {
            case 0:
            case 1: {
                const int w = map.MapWidth + 4, h = map.MapHeight + 4;
                const int x1 = in.byte() % w - 2, y1 = in.byte() % h - 2, x2 = in.byte() % w - 2, y2 = in.byte() % h - 2;
                const int z = in.byte() % (map.MapLevels + 2) - 1;
                std::array<int, kSlotCount> values{};
                for (int& v : values) v = in.byte() + ((op & 0x80) ? 0 : -16);
                record(core.PaintCells(x1, y1, x2, y2, z, values));
                break;
            }
            case 2: {
                const int fx = in.pick(0, 4), fy = in.pick(0, 4), fz = in.pick(0, 4);
                const auto grid = GridBytes(std::int64_t(map.BaseSize.X) * fx, std::int64_t(map.BaseSize.Y) * fy,
                                            std::int64_t(map.BaseSize.Z) * fz);
                if (grid && *grid > kLargestGrid) break;
                record(core.ApplySizeFactors(fx, fy, fz));
                break;
            }
            case 3:
                if (!done.empty()) {
                    core.Undo(done.back());
                    undone.push_back(std::move(done.back()));
                    done.pop_back();
                }
                break;
            case 4:
                if (!undone.empty()) {
                    core.Redo(undone.back());
                    done.push_back(std::move(undone.back()));
                    undone.pop_back();
                }
                break;
            default:
                if (saves++ < kSavesBetweenEdits) save();
                break;
            }
        } catch (const Error&) {
            // A refused edit (a resize too large, sizes below 1) changes nothing.
        }
    }
    save();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    static KeepingChannel& channel = *new KeepingChannel;
    ScopedWriteChannel scope(channel);
    channel.Forget();
    FuzzInput in(data, size);
    RunTactical(in, channel);
    return 0;
}
