#pragma once
// What a loaded sprite collection holds, for the files of this folder that
// load, draw and remap it (SpriteCollection.cpp, SpriteDrawing.cpp): each
// sprite as the caller sees it and in the form Draw blends, 16 bytes at a
// time.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sprites/SpriteCollection.h"

namespace ketral {

inline constexpr std::size_t kBlock = 16;  // bytes blended at a time

inline std::size_t PaddedLength(std::size_t n) { return (n + kBlock - 1) / kBlock * kBlock; }

// A run as Draw uses it. Its block in the sprite's pool holds the pixels and
// then a write mask, both padded with zeros to whole 16-byte blocks: 0xFF
// where a run lying wholly inside the target writes its pixel (the opaque
// prefix and every non-zero pixel), 0 elsewhere.
struct DrawRun {
    std::int32_t x = 0;
    std::int32_t row = 0;
    std::uint32_t length = 0;
    std::uint32_t padded = 0;
    std::uint32_t data = 0;  // offset of the pixels in the pool; the mask follows at data + padded
};

struct SpriteData {
    Sprite view;
    std::vector<DrawRun> runs;  // drawing order, runs without pixels left out
    std::vector<std::uint8_t> pool;
    // The box the padded runs cover: a sprite drawn with this box inside the
    // target needs no clipping at all.
    std::int64_t left = 0, right = 0, top = 0, bottom = 0;
};

// Builds the drawing form of a decoded sprite.
void PrepareForDrawing(SpriteData& s);

struct SpriteCollection::Impl {
    std::vector<std::shared_ptr<const SpriteData>> entries;
    std::optional<std::array<std::uint8_t, 256>> usage;
    std::string name;
    int kind = -1;
    std::uint64_t generation = 0;

    void Append(std::shared_ptr<const SpriteData> s) { entries.push_back(std::move(s)); }
    void LoadFramed(ByteSource& tab, ByteSource& pck, ByteSource* use);
    void LoadPlain(ByteSource& tab, ByteSource& pck);
};

}  // namespace ketral
