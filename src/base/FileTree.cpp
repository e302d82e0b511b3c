#include "base/FileTree.h"

#include "base/Errors.h"

namespace ketral {

namespace {

class Disk : public FileTree {
public:
    bool IsFile(const std::string& path) override { return FileExists(path); }
    bool IsDirectory(const std::string& path) override { return DirectoryExists(path); }
    std::vector<DirEntry> List(const std::string& dir, bool includeHidden) override
    {
        return ListDirectory(dir, includeHidden);
    }
    std::unique_ptr<ByteSource> Open(const std::string& path) override { return std::make_unique<FileSource>(path); }
};

std::string WithoutTrailingSep(std::string path)
{
    while (path.size() > 1 && path.back() == kPathSep) path.pop_back();
    return path;
}

std::string ParentOf(const std::string& path)
{
    const std::size_t sep = path.rfind(kPathSep);
    if (sep == std::string::npos) return "";
    return sep == 0 ? std::string(1, kPathSep) : path.substr(0, sep);
}

}  // namespace

FileTree& DiskTree()
{
    static Disk disk;
    return disk;
}

void MemoryFileTree::AddFile(const std::string& path, std::vector<std::uint8_t> bytes)
{
    const std::string name = WithoutTrailingSep(path);
    files_[name] = std::move(bytes);
    AddDirectory(ParentOf(name));
}

void MemoryFileTree::AddDirectory(const std::string& path)
{
    for (std::string dir = WithoutTrailingSep(path); !dir.empty() && dirs_.insert(dir).second; dir = ParentOf(dir)) {
    }
}

bool MemoryFileTree::IsFile(const std::string& path) { return files_.count(path) != 0; }

bool MemoryFileTree::IsDirectory(const std::string& path)
{
    return !path.empty() && dirs_.count(WithoutTrailingSep(path)) != 0;
}

std::vector<DirEntry> MemoryFileTree::List(const std::string& dir, bool includeHidden)
{
    const std::string base = WithoutTrailingSep(dir);
    if (!IsDirectory(dir)) throw IoError("Cannot read directory: " + dir);
    std::map<std::string, bool> entries;  // name -> is a directory
    for (const auto& [path, bytes] : files_)
        if (ParentOf(path) == base) entries.emplace(path.substr(path.rfind(kPathSep) + 1), false);
    for (const std::string& d : dirs_)
        if (d != base && ParentOf(d) == base) entries[d.substr(d.rfind(kPathSep) + 1)] = true;
    std::vector<DirEntry> out;
    for (const auto& [name, isDirectory] : entries) {
        DirEntry e;
        e.name = name;
        e.isDirectory = isDirectory;
        e.hidden = name[0] == '.';
        if (e.hidden && !includeHidden) continue;
        out.push_back(std::move(e));
    }
    return out;
}

std::unique_ptr<ByteSource> MemoryFileTree::Open(const std::string& path)
{
    auto it = files_.find(path);
    if (it == files_.end()) throw IoError("Cannot open file: " + path);
    return std::make_unique<MemorySource>(it->second, path);
}

}  // namespace ketral
