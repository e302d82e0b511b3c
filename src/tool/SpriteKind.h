#pragma once
// The --kind option of the sprite commands.
#include <string>

#include "sprites/PPCKLib.h"
#include "tool/Args.h"

namespace ketral::tool {

// "framed" or "plain"; anything else is a usage error.
inline TPckKind ParseSpriteKind(const std::string& text)
{
    if (text == "framed") return pkFramed;
    if (text == "plain") return pkPlain;
    throw UsageError("--kind must be framed or plain: '" + text + "'");
}

}  // namespace ketral::tool
