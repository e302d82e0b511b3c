#pragma once
// The map list and map data of an opened tactical map as tactical-info prints
// them (also the output of the commands that change a map).
#include "tool/Json.h"
#include "tool/TacticalToolSupport.h"

namespace ketral::tool {

void WriteTacticalInfoJson(JsonWriter& json, const OpenedTacticalMap& opened);

// Opens the map of `args` as it is now in its files and prints it as
// tactical-info does; returns the exit status 0.
int PrintTacticalInfo(const Args& args);

}  // namespace ketral::tool
