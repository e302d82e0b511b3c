#include "base/FileTree.h"

#include <string_view>

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

std::string_view WithoutTrailingSep(std::string_view path)
{
    while (path.size() > 1 && path.back() == kPathSep) path.remove_suffix(1);
    return path;
}

std::string_view ParentOf(std::string_view path)
{
    const std::size_t sep = path.rfind(kPathSep);
    if (sep == std::string_view::npos) return {};
    return path.substr(0, sep == 0 ? 1 : sep);
}

}  // namespace

FileTree& DiskTree()
{
    static Disk disk;
    return disk;
}

void MemoryFileTree::AddFile(const std::string& path, std::vector<std::uint8_t> bytes)
{
    const std::string_view name = WithoutTrailingSep(path);
    files_[std::string(name)] = std::move(bytes);
    AddDirectory(std::string(ParentOf(name)));
}

void MemoryFileTree::AddDirectory(const std::string& path)
{
    // Up to the first directory already there (whose parents are there too).
    for (std::string_view dir = WithoutTrailingSep(path); !dir.empty() && dirs_.find(dir) == dirs_.end();
         dir = ParentOf(dir))
        dirs_.emplace(dir);
}

bool MemoryFileTree::IsFile(const std::string& path) { return files_.find(path) != files_.end(); }

bool MemoryFileTree::IsDirectory(const std::string& path)
{
    return !path.empty() && dirs_.find(WithoutTrailingSep(path)) != dirs_.end();
}

std::vector<DirEntry> MemoryFileTree::List(const std::string& dir, bool includeHidden)
{
    const std::string base(WithoutTrailingSep(dir));
    if (!IsDirectory(dir)) throw IoError("Cannot read directory: " + dir);
    // The entries are the names right below base + separator: in both
    // sorted containers they follow that prefix, mixed with deeper names.
    const std::string prefix = base.back() == kPathSep ? base : base + kPathSep;
    auto under = [&](const std::string& path) { return path.compare(0, prefix.size(), prefix) == 0; };
    auto entryName = [&](const std::string& path) {
        const std::string_view name = std::string_view(path).substr(prefix.size());
        return name.empty() || name.find(kPathSep) != std::string_view::npos ? std::string() : std::string(name);
    };
    std::map<std::string, bool> entries;  // name -> is a directory
    for (auto it = files_.lower_bound(prefix); it != files_.end() && under(it->first); ++it)
        if (std::string name = entryName(it->first); !name.empty()) entries.emplace(std::move(name), false);
    for (auto it = dirs_.lower_bound(prefix); it != dirs_.end() && under(*it); ++it)
        if (std::string name = entryName(*it); !name.empty()) entries[std::move(name)] = true;
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
