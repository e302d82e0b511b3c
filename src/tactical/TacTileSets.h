#pragma once
// The sprites a tactical map is drawn with: for each cell slot a framed
// collection of isometric tiles and a plain collection of plan tiles, both
// from the map directory's "mapunits" folder, plus the unit icons and the
// tactical palette of the tactical data directory.
#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <string>

#include "base/Progress.h"
#include "sprites/DarkenedCollection.h"
#include "sprites/GamePalette.h"
#include "sprites/SpriteCollection.h"
#include "tactical/TacMapData.h"

namespace ketral {

// Sprite number of the plan icon of unit mark 1, 2 or 3: 1, 121, 241.
inline int UnitIconSprite(int mark) { return (mark - 1) * 120 + 1; }

// "ground", "left", "right", "feature" (the plan sets add an "s" in front).
const char* TileSetName(int slot);
// "Loading ground tiles", ... for slots 0..3.
const char* TileSetProgressText(int slot);

class TacTileSets {
public:
    std::array<SpriteCollection, kSlotCount> TileSets;      // framed
    std::array<SpriteCollection, kSlotCount> PlanTileSets;  // plain
    std::unique_ptr<SpriteCollection> UnitIcons;           // made at the first map load
    std::unique_ptr<GamePalette> MapPalette;   // made at the first map load
    std::string TileDir;                        // the directory loaded last

    // Loads the palette (with the tactical marker colours) when there is none
    // yet, then the unit icons when there are none yet. `tacDataDir` ends with
    // the separator; an empty one holds no files. Returns true when the
    // palette was loaded now. A missing palette throws "Palette <path> does
    // not exist" and leaves no palette, so that the next load tries again.
    // A palette file cut short throws its read error once but is kept with
    // the entries it holds: reading it again would fail at every load.
    bool LoadPaletteAndIcons(const std::string& tacDataDir);

    // Loads the eight tile collections of `tileDir` (with the separator), in
    // place, reporting to `progress`; does nothing when tileDir is the
    // directory loaded last. A missing framed collection throws; TileDir is
    // then empty (the sets are partly cleared), so that the next load of any
    // directory loads the sets again.
    void LoadTileSets(const std::string& tileDir, ProgressSink& progress);

    // The framed collection of a slot with its Palette set to MapPalette.
    SpriteCollection* ViewerTileSet(int slot);

    // The collections as the levels below the selected one are drawn with
    // "Highlight current level": darkened for MapPalette (the collection
    // itself while there is no palette). Made when first asked for.
    const SpriteCollection& Darkened(const SpriteCollection& set) const;
    // The darkening table of `colours` (the view image's), made once for them.
    const IndexTable& DarkeningOf(const ColorTable& colours) const;

private:
    mutable std::optional<std::pair<ColorTable, IndexTable>> darkening_;
    // One copy for each of the nine collections, found by the collection's address.
    mutable std::array<DarkenedCollection, 2 * kSlotCount + 1> darkened_;
};

}  // namespace ketral
