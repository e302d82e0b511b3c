#include "tactical/TacMapList.h"

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "base/GamePaths.h"
#include "tactical/TacMapFiles.h"

namespace ketral {

TacMapList BuildMapList(const std::string& directory, const std::string& name, bool savedGame,
                        const std::string& mapsDir, FileTree& files)
{
    TacMapList list;
    if (savedGame) {
        const std::string path = directory + name;
        if (!files.IsFile(path)) throw Error("File not found: " + path);
        list.ListTileDir = SavedBattleTileDir(mapsDir, path, ReadSavedMapDirName(*files.Open(path)));
        list.ListPathPrefix = directory;
        list.Entries.push_back(name);
        return list;
    }
    list.ListTileDir = directory + name + kPathSep;
    list.ListPathPrefix = list.ListTileDir;
    if (!files.IsDirectory(list.ListTileDir)) return list;
    for (const DirEntry& e : files.List(list.ListTileDir, true)) {
        if (e.isDirectory || e.name.size() < 4) continue;
        if (AsciiLower(e.name.substr(e.name.size() - 4)) != ".smp") continue;
        list.Entries.push_back(e.name.substr(0, e.name.size() - 4));
    }
    return list;
}

}  // namespace ketral
