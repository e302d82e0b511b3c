#pragma once
// What the city commands share: the options, opening the city map of
// --map NAME or --save FILE as the catalogue opens it, and a building as JSON.
#include <memory>
#include <set>
#include <string>

#include "city/CityEditor.h"
#include "tool/Args.h"
#include "tool/Json.h"

namespace ketral::tool {

// --game, --cd-letter, --map, --save, --lists.
std::set<std::string> CityOptions(std::set<std::string> more = {});
std::set<std::string> CityFlags(std::set<std::string> more = {});

// A usage error "<what> must lie in lo..hi, not v" for v outside lo..hi.
void CheckRange(const char* what, int v, int lo, int hi);

// Sets up the installation and opens the map exactly as a double click in
// the catalogue does, with the list files from --lists DIR or the editor's
// data directory. `mustBeSaved` refuses --map.
std::unique_ptr<CityEditor> OpenCityForTool(const Args& args, bool mustBeSaved = false);

// One building in the form of an item of city-info's "buildings".
void WriteBuildingJson(JsonWriter& json, const CityMap& map, int index);

}  // namespace ketral::tool
