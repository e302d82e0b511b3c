#pragma once
// Writes whole files that the program makes itself: the demo installation,
// exported pictures, the settings store. The game's files are saved through
// FileUpdate (FileUpdate.h) instead.
#include <cstddef>
#include <functional>
#include <string>

namespace ketral {

// Creates or replaces a whole file.
void WriteWholeFile(const std::string& path, const void* data, std::size_t n);
inline void WriteWholeFile(const std::string& path, const std::string& s) { WriteWholeFile(path, s.data(), s.size()); }

// Creates or replaces a whole file so that no reader ever sees half of it, as
// WriteFileAtomically (ReplaceFile.h) does with these bytes: a new file in the
// same directory, flushed and renamed over `path` (an existing file's
// permission bits are kept; a new file gets `newFileMode` less the umask; a
// pipe or character device is written directly). On any failure `path` is
// left as it was and IoError "Cannot create file: " + path (the new file
// could not be made) or "Cannot write file: " + path is thrown.
void WriteWholeFileAtomically(const std::string& path, const void* data, std::size_t n,
                              unsigned newFileMode = 0666);

// Takes the next bytes of a file being written; throws IoError "Cannot write
// file: " + path when they cannot be written.
using ByteWriter = std::function<void(const void* data, std::size_t n)>;

// The same for a file made piece by piece: `produce` hands the bytes in order
// to the writer it gets, so that the whole file need never be in memory. An
// exception from `produce` leaves `path` as it was and goes on to the caller.
void WriteFileAtomically(const std::string& path, const std::function<void(const ByteWriter&)>& produce,
                         unsigned newFileMode = 0666);

}  // namespace ketral
