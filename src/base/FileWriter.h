#pragma once
// Writes whole files that the program makes itself: the demo installation,
// exported pictures, the settings store. The game's files are saved through
// FileUpdate (FileUpdate.h) instead.
#include <cstddef>
#include <string>

namespace ketral {

// Creates or replaces a whole file.
void WriteWholeFile(const std::string& path, const void* data, std::size_t n);
inline void WriteWholeFile(const std::string& path, const std::string& s) { WriteWholeFile(path, s.data(), s.size()); }

}  // namespace ketral
