#include "sprites/GamePalette.h"

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/files/FileWriter.h"

namespace ketral {

ColorTable GamePalette::Colors() const
{
    ColorTable table{};
    for (int i = 0; i < 256; ++i) table[i] = Rgb{Entries[i].Red, Entries[i].Green, Entries[i].Blue};
    return table;
}

std::unique_ptr<GamePalette> LoadPalette(const std::string& path)
{
    if (!FileExists(path)) throw Error("Palette " + path + " does not exist");
    FileSource src(path);
    auto palette = std::make_unique<GamePalette>();
    ReadPalette(src, *palette);
    return palette;
}

void ReadPalette(ByteSource& src, GamePalette& palette)
{
    palette.Version = 0x300;
    palette.EntryCount = 256;
    std::uint8_t bytes[768];
    const std::size_t got = src.readSome(0, bytes, sizeof bytes);
    // Colours are stored in 6 bits; scaled by 4 and kept in 8 bits, so that
    // a value of 64 or more wraps.
    for (std::size_t b = 0; b < got; ++b) {
        PaletteEntry& e = palette.Entries[b / 3];
        const auto v = static_cast<std::uint8_t>(bytes[b] * 4);
        switch (b % 3) {
        case 0: e.Red = v; break;
        case 1: e.Green = v; break;
        default:
            e.Blue = v;
            e.Flags = 1;
            break;
        }
    }
    if (got < sizeof bytes) throw IoError("Read beyond end of file: " + src.name());
}

void SetTacticalMarkerColours(GamePalette& palette)
{
    palette.Entries[252] = PaletteEntry{0, 255, 0, 1};
    palette.Entries[253] = PaletteEntry{255, 0, 0, 1};
    palette.Entries[254] = PaletteEntry{255, 255, 0, 1};
}

void WritePaletteFile(const std::string& path, const ColorTable& colors)
{
    std::uint8_t bytes[768];
    for (int i = 0; i < 256; ++i) {
        bytes[3 * i] = static_cast<std::uint8_t>(colors[i].r >> 2);
        bytes[3 * i + 1] = static_cast<std::uint8_t>(colors[i].g >> 2);
        bytes[3 * i + 2] = static_cast<std::uint8_t>(colors[i].b >> 2);
    }
    WriteWholeFile(path, bytes, sizeof bytes);
}

}  // namespace ketral
