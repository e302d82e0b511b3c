#pragma once
// The tile viewers' dialog directories (TileFolders.h) kept in the
// program's settings, under "\SOFTWARE\Ketral\Tile folders": one text value
// a collection, named by its files' path without the extension.
#include <string>

#include "sprites/ui/TileFolders.h"

namespace ketral {

inline constexpr const char* kTileFoldersKey = "\\SOFTWARE\\Ketral\\Tile folders";

class TileFolderSettings : public TileFolderStore {
public:
    std::string Recall(const std::string& collection) const override;
    // A directory the settings file cannot take (it cannot be written) is
    // kept by the settings in memory, for the run; the export or import
    // that used it is not failed for it.
    void Remember(const std::string& collection, const std::string& directory) override;
};

}  // namespace ketral
