#pragma once
// Sprite collections of the game: a ".tab" file of offsets and a ".pck" file
// of run-length encoded sprites (optionally a ".use" file), loaded into
// memory and drawn into indexed images with index 0 transparent.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "base/IndexedImage.h"

namespace ketral {

struct GamePalette;

enum SpriteKind { FramedKind = 0, PlainKind = 1 };

// The ".tab", ".pck" and ".use" files of the game are at most a few
// megabytes; a larger one is refused before it is read.
inline constexpr std::uint64_t kSpriteFileLimit = 64u << 20;

// One horizontal run of pixels, relative to the sprite's drawing position.
struct SpriteRun {
    std::int32_t X = 0;
    std::int32_t Row = 0;
    std::int32_t Length = 0;
    std::uint8_t Opaque = 0;
    std::vector<std::uint8_t> Pixels;  // Length palette indices
};

struct Sprite {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::vector<SpriteRun> Runs;  // in drawing order: the reverse of file order
};

// GetBounds' rectangle: Right and Bottom carry the sprite's size.
struct Rect {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

class SpriteCollection {
public:
    SpriteCollection();
    ~SpriteCollection();
    SpriteCollection(const SpriteCollection&) = delete;
    SpriteCollection& operator=(const SpriteCollection&) = delete;

    // The owner's palette; not owned, never read by the collection.
    GamePalette* Palette = nullptr;

    // kind 0 framed, 1 plain, anything else does nothing. `base` is the full
    // path without extension.
    void Load(const std::string& base, int kind);
    void LoadFramed(const std::string& base);
    void LoadPlain(const std::string& base);
    // The same loads from bytes (the ".use" source may be null). A file
    // larger than kSpriteFileLimit, and memory that runs out while loading,
    // throw IoError naming the file.
    void LoadFramed(ByteSource& tab, ByteSource& pck, ByteSource* use);
    void LoadPlain(ByteSource& tab, ByteSource& pck);
    void Clear();

    // The ".pck" file of the last load ("" before any): the name the
    // collection's problems are reported under.
    const std::string& Name() const;
    // The kind of the last load (FramedKind or PlainKind), -1 before any.
    int Kind() const;

    int Count() const;
    // The sprite at `index`, or nullptr for an index outside the list or an
    // entry without a sprite.
    const Sprite* At(int index) const;
    void GetBounds(int index, Rect& rect) const;
    // Draws sprite `index` with its run origin at (x, y); index 0 is never drawn.
    void Draw(int index, int x, int y, IndexedImage& target) const;
    // This collection becomes `from` (a collection other than this one)
    // with every pixel index i of its sprites drawn as table[i]; table[0]
    // must be 0, and no other index may become 0. It keeps `from`'s name,
    // kind and usage table.
    void LoadRemapped(const SpriteCollection& from, const std::array<std::uint8_t, 256>& table);
    // Counts the loads, clears and remaps: a copy made from this collection
    // is out of date once the number has moved.
    std::uint64_t Generation() const;

    // The usage table of the ".use" file, when one was read.
    const std::optional<std::array<std::uint8_t, 256>>& UsageTable() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ketral
