#pragma once
// What the tactical commands share: the options and opening the map of
// --map DIRNAME [NAME] or --save FILE exactly as the tactical window opens
// it from the catalogue.
#include <memory>
#include <set>
#include <string>

#include "tactical/TacMapCore.h"
#include "tactical/TacMapList.h"
#include "tool/Args.h"

namespace ketral::tool {

std::set<std::string> TacticalOptions(std::set<std::string> more = {});
std::set<std::string> TacticalFlags(std::set<std::string> more = {});

struct OpenedTacticalMap {
    TacMapList list;
    std::unique_ptr<TacMapCore> core;
};

// Sets up the installation, builds the map list and loads the entry NAME
// (any letter case; default the first) into a core whose view image is
// width x height, as the window loads it.
OpenedTacticalMap OpenTacticalForTool(const Args& args, int width, int height);

}  // namespace ketral::tool
