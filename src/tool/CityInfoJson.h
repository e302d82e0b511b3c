#pragma once
// What an opening of a city map read, as city-info prints it (also the
// output of city-paint).
#include "city/CityMap.h"
#include "tool/Json.h"

namespace ketral::tool {

void WriteCityInfoJson(JsonWriter& json, const CityMap& map);

}  // namespace ketral::tool
