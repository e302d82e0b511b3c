#include "sprites/SpriteExport.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/Png.h"
#include "base/PngMemory.h"
#include "base/files/FileBatch.h"
#include "sprites/CollectionIndex.h"
#include "sprites/SpritePicture.h"

namespace ketral {

std::string SpritePictureName(int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "%04d.png", index);
    return name;
}

namespace {

std::vector<std::uint8_t> PictureFile(const SpriteCollection& sprites, int index, const ColorTable& palette,
                                      PngMemory* memory)
{
    const Sprite* s = sprites.At(index);
    if (!s)
        throw Error("The sprite collection " + sprites.Name() + " has no sprite " + std::to_string(index) + " (it has " +
                    std::to_string(sprites.Count()) + ")");
    IndexedImage picture = SpritePicture(*s);
    picture.setColors(palette);
    return EncodePng(picture, true, memory);
}

}  // namespace

std::vector<std::uint8_t> SpritePictureFile(const SpriteCollection& sprites, int index, const ColorTable& palette)
{
    return PictureFile(sprites, index, palette, nullptr);
}

int ExportSprites(const SpriteCollection& sprites, SpriteKind kind, const ColorTable& palette, const std::string& dir,
                  std::optional<int> only)
{
    if (only && !sprites.At(*only)) SpritePictureFile(sprites, *only, palette);  // throws the message
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!DirectoryExists(dir)) throw IoError("Cannot create directory: " + dir);
    const std::string d = WithTrailingSep(dir);
    CollectionIndex index;
    index.Kind = kind;
    index.Count = sprites.Count();
    int written = 0;
    FileBatch batch;
    PngMemory memory;  // one picture's encoding memory serves the next
    for (int i = only ? *only : 0; i < (only ? *only + 1 : sprites.Count()); ++i) {
        const Sprite* s = sprites.At(i);
        const std::string name = SpritePictureName(i);
        const std::vector<std::uint8_t> png = PictureFile(sprites, i, palette, &memory);
        batch.Write(d + name, [&](ContentWriter& out) { out.Write(png.data(), png.size()); });
        index.Sprites.push_back({i, name, s->Left, s->Top, s->Width, s->Height});
        ++written;
    }
    const std::string text = FormatCollectionIndex(index);
    batch.Write(d + kCollectionIndexName, [&](ContentWriter& out) { out.Write(text.data(), text.size()); });
    batch.Finish();
    return written;
}

}  // namespace ketral
