#pragma once
// The building list files ("Building.Nam", "Building.Typ", "AlienBld.Typ",
// "Building.own"): plain text, one entry a line, line k being the text for
// index k. Lines end with CR LF, a lone CR or a lone LF; empty lines count,
// but a line end at the very end of the file adds no empty line.
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "base/GameText.h"

namespace ketral {

// The lines are texts of the game (Latin-1).
using TextList = std::vector<GameText>;

// The game's lists are a few kilobytes; a larger file is refused unread.
inline constexpr std::uint64_t kTextListLimit = 16u << 20;

// Splits the whole content of `src` into lines. A source larger than
// kTextListLimit, and memory that runs out, throw IoError naming it.
TextList ReadTextList(ByteSource& src);
TextList ParseTextList(const std::string& bytes);

// Reads the list file `name` from `directory` ("" = the current directory of
// the process). A missing file throws IoError "Cannot open file: " + path.
TextList LoadTextList(const std::string& directory, const std::string& name);

}  // namespace ketral
