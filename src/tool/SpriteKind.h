#pragma once
// The --kind option of the sprite commands.
#include <string>

#include "sprites/SpriteCollection.h"
#include "tool/Args.h"

namespace ketral::tool {

// "framed" or "plain"; anything else is a usage error.
inline SpriteKind ParseSpriteKind(const std::string& text)
{
    if (text == "framed") return FramedKind;
    if (text == "plain") return PlainKind;
    throw UsageError("--kind must be framed or plain: '" + text + "'");
}

}  // namespace ketral::tool
