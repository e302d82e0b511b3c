#include "shell/SettingsFileSystem.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "shell/SettingsFile.h"

namespace fs = std::filesystem;

namespace ketral {

namespace {

class DiskFiles : public SettingsFileSystem {
public:
    bool Exists(const std::string& path) override
    {
        std::error_code ec;
        return fs::exists(fs::path(path), ec);
    }
    bool IsRegularFile(const std::string& path) override
    {
        std::error_code ec;
        return fs::is_regular_file(fs::path(path), ec);
    }
    std::string Read(const std::string& path) override { return ReadSettingsFile(path); }
    bool Rename(const std::string& from, const std::string& to) override
    {
        return std::rename(from.c_str(), to.c_str()) == 0;
    }
    void Write(const std::string& path, const std::string& text) override { WriteFileAtomically(path, text); }
};

}  // namespace

SettingsFileSystem& DiskSettingsFiles()
{
    static DiskFiles disk;
    return disk;
}

std::string MemorySettingsFiles::Read(const std::string& path)
{
    const auto it = files.find(path);
    if (it == files.end()) throw IoError("Cannot open file: " + path);
    if (it->second.size() > kSettingsFileLimit) {
        // Refused with the words the disk's reader uses.
        MemorySource source(std::vector<std::uint8_t>(it->second.begin(), it->second.end()), path);
        RefuseLargerThan(source, kSettingsFileLimit, "settings file");
    }
    return it->second;
}

bool MemorySettingsFiles::Rename(const std::string& from, const std::string& to)
{
    const auto it = files.find(from);
    if (it == files.end()) return false;
    if (from == to) return true;
    std::string text = std::move(it->second);
    files.erase(it);
    files[to] = std::move(text);
    return true;
}

}  // namespace ketral
