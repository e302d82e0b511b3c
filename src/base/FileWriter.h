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

// Creates or replaces a whole file so that no reader ever sees half of it, as
// WriteFileAtomically (AtomicFile.h) does with these bytes: a new file in the
// same directory, flushed and renamed over `path` (an existing file's
// permission bits are kept; a new file gets `newFileMode` less the umask; a
// pipe or character device is written directly). On any failure `path` is
// left as it was and IoError "Cannot create file: " + path (the new file
// could not be made) or "Cannot write file: " + path is thrown.
void WriteWholeFileAtomically(const std::string& path, const void* data, std::size_t n,
                              unsigned newFileMode = 0666);

}  // namespace ketral
