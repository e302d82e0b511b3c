#pragma once
// The map list and map data of an opened tactical map as tactical-info prints
// them (also the output of the commands that change a map).
#include "tool/Json.h"
#include "tool/TacticalToolSupport.h"

namespace ketral::tool {

void WriteTacticalInfoJson(JsonWriter& json, const OpenedTacticalMap& opened);

}  // namespace ketral::tool
