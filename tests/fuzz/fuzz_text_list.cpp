// The building list files, whole: any bytes split into lines as the city
// map reads "Building.Nam" and its kin. Every line is kept (a line end at
// the very end adds none), so writing the lines back, each with its end,
// gives the same list again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/ByteSource.h"
#include "city/TextList.h"

using namespace ketral;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemorySource file(data, size, "Building.Nam");
    const TextList lines = ReadTextList(file);
    std::string again;
    std::size_t ends = 0;
    for (const GameText& text : lines) {
        const std::string& line = text.Latin1();
        if (line.find_first_of("\r\n") != std::string::npos) std::abort();
        again += line + "\r\n";
    }
    for (std::size_t i = 0; i < size; ++i)
        if (data[i] == '\n' && !(i > 0 && data[i - 1] == '\r')) ++ends;
        else if (data[i] == '\r') ++ends;
    const bool open = size > 0 && data[size - 1] != '\n' && data[size - 1] != '\r';
    if (lines.size() != ends + (open ? 1 : 0)) std::abort();
    if (ParseTextList(again) != lines) std::abort();
    return 0;
}
