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

struct TGamePalette;

enum TPckKind { pkFramed = 0, pkPlain = 1 };

// One horizontal run of pixels, relative to the sprite's drawing position.
struct TPckRun {
    std::int32_t X = 0;
    std::int32_t Row = 0;
    std::int32_t Length = 0;
    std::uint8_t Opaque = 0;
    std::vector<std::uint8_t> Pixels;  // Length palette indices
};

struct TPckSprite {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::vector<TPckRun> Runs;  // in drawing order: the reverse of file order
};

// GetBounds' rectangle: Right and Bottom carry the sprite's size.
struct TRect {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};

class TPPCK {
public:
    TPPCK();
    ~TPPCK();
    TPPCK(const TPPCK&) = delete;
    TPPCK& operator=(const TPPCK&) = delete;

    // The owner's palette; not owned, never read by the collection.
    TGamePalette* Palette = nullptr;

    // kind 0 framed, 1 plain, anything else does nothing. `base` is the full
    // path without extension.
    void Load(const std::string& base, int kind);
    void LoadFramed(const std::string& base);
    void LoadPlain(const std::string& base);
    // The same loads from bytes (the ".use" source may be null).
    void LoadFramed(ByteSource& tab, ByteSource& pck, ByteSource* use);
    void LoadPlain(ByteSource& tab, ByteSource& pck);
    void Clear();

    int Count() const;
    // The sprite at `index`, or nullptr for an index outside the list or an
    // entry without a sprite.
    const TPckSprite* Sprite(int index) const;
    void GetBounds(int index, TRect& rect) const;
    // Draws sprite `index` with its run origin at (x, y); index 0 is never drawn.
    void Draw(int index, int x, int y, IndexedImage& target) const;
    // The usage table of the ".use" file, when one was read.
    const std::optional<std::array<std::uint8_t, 256>>& UsageTable() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ketral
