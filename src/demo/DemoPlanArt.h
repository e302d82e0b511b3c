#pragma once
// The demo's plan tiles and unit icons (DemoPlanArt.cpp), each as the
// picture of its sprite.
#include "base/IndexedImage.h"

namespace ketral::demo {

// Tile `tile` of "sground", "sleft" / "sright" and "sfeature".
IndexedImage PlanGround(int tile);
IndexedImage PlanWall(int tile, bool left);
IndexedImage PlanFeature(int tile);
// The icon of unit mark `mark` (1 own, 2 enemy, 3 civilian) in "StratIco".
IndexedImage UnitIcon(int mark);

}  // namespace ketral::demo
