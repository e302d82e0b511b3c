#pragma once
// Decimal text as a 32-bit integer, the way the integer edit box reads it.
#include <cstdint>
#include <string>

namespace ketral {

// Empty text reads 0. Otherwise an optional sign and decimal digits, within
// the 32-bit range; anything else throws ConversionError
// "'<text>' is not a valid integer value".
std::int32_t ParseIntegerText(const std::string& text);

}  // namespace ketral
