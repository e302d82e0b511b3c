#pragma once
// What the listings of the game's directories see of the file system:
// whether a file or directory is there, the entries of a directory and the
// bytes of a file. The program looks at the disk (DiskTree()); tests and
// fuzz targets hand the same listing code a tree held in memory.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "base/GamePaths.h"

namespace ketral {

class FileTree {
public:
    virtual ~FileTree() = default;
    virtual bool IsFile(const std::string& path) = 0;
    virtual bool IsDirectory(const std::string& path) = 0;
    // As ListDirectory: IoError "Cannot read directory: " + dir.
    virtual std::vector<DirEntry> List(const std::string& dir, bool includeHidden) = 0;
    // As FileSource: IoError "Cannot open file: " + path.
    virtual std::unique_ptr<ByteSource> Open(const std::string& path) = 0;
};

// The file system, names matched without regard to case (GamePaths.h).
FileTree& DiskTree();

// Files and directories held in memory, under exactly the names given. A
// file's parent directories exist with it; directories list their entries
// in the order of their names.
class MemoryFileTree : public FileTree {
public:
    void AddFile(const std::string& path, std::vector<std::uint8_t> bytes);
    void AddDirectory(const std::string& path);

    bool IsFile(const std::string& path) override;
    bool IsDirectory(const std::string& path) override;
    std::vector<DirEntry> List(const std::string& dir, bool includeHidden) override;
    std::unique_ptr<ByteSource> Open(const std::string& path) override;

private:
    std::map<std::string, std::vector<std::uint8_t>, std::less<>> files_;
    std::set<std::string, std::less<>> dirs_;  // without their trailing separator
};

}  // namespace ketral
