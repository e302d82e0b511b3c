#pragma once
// Paths of the game's files. The game comes from a file system that ignores
// letter case, so a path that does not exist as written is looked up one
// component at a time without regard to case ("VYXDATA/citymap1" finds
// "vyxdata/Citymap1"). Directory texts end with the native separator.
#include <cstdint>
#include <string>
#include <vector>

namespace ketral {

inline constexpr char kPathSep = '/';

// The existing path that matches `path` without regard to case, or `path`
// itself when nothing matches.
std::string ResolveCase(const std::string& path);

bool FileExists(const std::string& path);       // an existing file, not a directory
bool DirectoryExists(const std::string& path);  // an existing directory; "" is false
std::uint64_t FileSize(const std::string& path);  // 0 when missing

// `dir` with one trailing separator added when it has none (empty stays empty).
std::string WithTrailingSep(const std::string& dir);

struct DirEntry {
    std::string name;
    bool isDirectory = false;
    bool hidden = false;  // on this platform: the name begins with "."
};

// The entries of `dir` in the order the file system lists them, without "."
// and "..". `includeHidden` false leaves out hidden entries.
// Throws IoError "Cannot read directory: " + dir when it cannot be listed.
std::vector<DirEntry> ListDirectory(const std::string& dir, bool includeHidden = false);

// Upper-cases the letters a-z only, as the game's file names are compared.
std::string AsciiUpper(std::string s);
std::string AsciiLower(std::string s);
bool EqualsIgnoreCase(const std::string& a, const std::string& b);

// The directory of the running executable, with a trailing separator.
std::string ExecutableDir();
// The program's data directory: <executable dir>/../share/ketral/.
std::string DataDir();

}  // namespace ketral
