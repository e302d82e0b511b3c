#pragma once
// The game's palette files: 256 colour triples of 6-bit values, scaled to
// 8 bits when read. The tactical palette has three marker colours of its own.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "base/ByteSource.h"
#include "base/IndexedImage.h"

namespace ketral {

struct PaletteEntry {
    std::uint8_t Red = 0, Green = 0, Blue = 0, Flags = 1;
};

// One palette record: version 0x300, 256 entries of red, green, blue, flags.
struct GamePalette {
    std::uint16_t Version = 0x300;
    std::uint16_t EntryCount = 256;
    std::array<PaletteEntry, 256> Entries{};

    ColorTable Colors() const;
};

// Reads a palette file. Throws Error "Palette <path> does not exist" when the
// file is missing, IoError when it is shorter than 768 bytes.
std::unique_ptr<GamePalette> LoadPalette(const std::string& path);
// Reads the 256 triples from `src` into `palette` (entries not reached keep
// their values when the source comes short and IoError is thrown).
void ReadPalette(ByteSource& src, GamePalette& palette);

// Entries 252, 253, 254 become green, red and yellow.
void SetTacticalMarkerColours(GamePalette& palette);

// Writes a palette file of 768 bytes from 8-bit colours (each divided by 4).
void WritePaletteFile(const std::string& path, const ColorTable& colors);

}  // namespace ketral
