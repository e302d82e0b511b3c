#pragma once
// What an opening of a city map read, as city-info prints it (also the
// output of city-paint and city-copy).
#include "city/CityEditor.h"
#include "tool/Json.h"

namespace ketral::tool {

void WriteCityInfoJson(JsonWriter& json, const CityEditor& editor);
// The same as the command's whole output on stdout.
void PrintCityInfo(const CityEditor& editor);

}  // namespace ketral::tool
