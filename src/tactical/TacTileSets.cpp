#include "tactical/TacTileSets.h"

#include "base/Errors.h"
#include "base/GamePaths.h"

namespace ketral {

namespace {

// Hides the progress window however a load ends.
class ProgressGuard {
public:
    explicit ProgressGuard(ProgressSink& sink) : sink_(sink) {}
    ~ProgressGuard() { sink_.HideProgress(); }
    ProgressGuard(const ProgressGuard&) = delete;
    ProgressGuard& operator=(const ProgressGuard&) = delete;

private:
    ProgressSink& sink_;
};

}  // namespace

const char* TileSetName(int slot)
{
    static const char* const names[kSlotCount] = {"ground", "left", "right", "feature"};
    return slot >= 0 && slot < kSlotCount ? names[slot] : "";
}

const char* TileSetProgressText(int slot)
{
    static const char* const texts[kSlotCount] = {"Loading ground tiles", "Loading left tiles", "Loading right tiles",
                                                  "Loading feature tiles"};
    return slot >= 0 && slot < kSlotCount ? texts[slot] : "";
}

bool TacTileSets::LoadPaletteAndIcons(const std::string& tacDataDir)
{
    bool loaded = false;
    if (!MapPalette) {
        const std::string path = tacDataDir + "tactical.pal";
        // Without a tactical data directory there is no palette to read: do
        // not look for one in the working directory.
        if (tacDataDir.empty()) throw Error("Palette " + path + " does not exist");
        if (!FileExists(path)) throw Error("Palette " + path + " does not exist");
        // A file that cannot be opened leaves no palette; one cut short is
        // kept with what it holds, and its error is reported this once.
        FileSource src(path);
        auto palette = std::make_unique<GamePalette>();
        try {
            ReadPalette(src, *palette);
        } catch (const IoError&) {
            SetTacticalMarkerColours(*palette);
            MapPalette = std::move(palette);
            throw;
        }
        SetTacticalMarkerColours(*palette);
        MapPalette = std::move(palette);
        loaded = true;
    }
    if (!UnitIcons) {
        UnitIcons = std::make_unique<SpriteCollection>();
        if (!tacDataDir.empty()) UnitIcons->Load(tacDataDir + "StratIco", PlainKind);
    }
    return loaded;
}

void TacTileSets::LoadTileSets(const std::string& tileDir, ProgressSink& progress)
{
    if (tileDir == TileDir) return;
    ProgressGuard guard(progress);
    progress.StartProgress(4);
    // The sets are about to be emptied: until every one is loaded again they
    // belong to no directory, so that a failure here makes the next load of
    // any directory, the one loaded before included, load them anew.
    TileDir.clear();
    for (SpriteCollection& set : TileSets) set.Clear();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        progress.SetProgress(slot, TileSetProgressText(slot));
        const std::string dir = tileDir + "mapunits" + kPathSep;
        TileSets[slot].Load(dir + TileSetName(slot), FramedKind);
        PlanTileSets[slot].Load(dir + "s" + TileSetName(slot), PlainKind);
    }
    progress.SetProgress(4, "");
    TileDir = tileDir;
}

SpriteCollection* TacTileSets::ViewerTileSet(int slot)
{
    if (slot < 0 || slot >= kSlotCount) return nullptr;
    TileSets[slot].Palette = MapPalette.get();
    return &TileSets[slot];
}

const SpriteCollection& TacTileSets::Darkened(const SpriteCollection& set) const
{
    if (!MapPalette) return set;
    std::size_t k = darkened_.size() - 1;  // the unit icons
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (&set == &TileSets[s]) k = s;
        if (&set == &PlanTileSets[s]) k = kSlotCount + s;
    }
    return darkened_[k].Of(set, MapPalette->Colors());
}

const IndexTable& TacTileSets::DarkeningOf(const ColorTable& colours) const
{
    if (!darkening_ || !(darkening_->first == colours)) darkening_.emplace(colours, DarkeningTable(colours));
    return darkening_->second;
}

}  // namespace ketral
