#pragma once
// Writes into an existing file in place, at absolute offsets, without
// truncating it: the game's files are patched, never rewritten whole.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace ketral {

class FileWriter {
public:
    // Opens an existing file (case-insensitive path) for reading and writing.
    // Throws IoError "Cannot open file for writing: " + path.
    explicit FileWriter(const std::string& path);
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Throws IoError "Cannot write file: " + path.
    void writeAt(std::uint64_t offset, const void* src, std::size_t n);
    void writeU8(std::uint64_t offset, std::uint8_t v);
    void writeU16(std::uint64_t offset, std::uint16_t v);
    // Flushes and closes; throws on failure. The destructor closes silently.
    void close();

private:
    std::string path_;
    std::FILE* file_ = nullptr;
};

// Creates or replaces a whole file (used for files the program makes itself:
// the demo installation, exported pictures, the settings store).
void WriteWholeFile(const std::string& path, const void* data, std::size_t n);
inline void WriteWholeFile(const std::string& path, const std::string& s) { WriteWholeFile(path, s.data(), s.size()); }

// Creates or replaces a whole file so that no reader ever sees half of it: the
// bytes go to a new file in the same directory, are flushed to disk and then
// renamed over `path` (an existing file's permission bits are kept). On any
// failure the new file is removed, `path` is left as it was, and IoError
// "Cannot create file: " + path (the new file could not be made) or
// "Cannot write file: " + path is thrown.
void WriteWholeFileAtomically(const std::string& path, const void* data, std::size_t n);

}  // namespace ketral
