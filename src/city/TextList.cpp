#include "city/TextList.h"

#include "base/GamePaths.h"

namespace ketral {

TextList ParseTextList(const std::string& text)
{
    TextList lines;
    std::string line;
    bool open = false;  // characters (or nothing) after the last line end
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(GameText::FromLatin1(std::move(line)));
            line.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
            open = true;
        }
    }
    if (open) lines.push_back(GameText::FromLatin1(std::move(line)));
    return lines;
}

TextList ReadTextList(ByteSource& src)
{
    RefuseLargerThan(src, kTextListLimit, "list file");
    return ReadingFile(src.name(), [&] {
        std::vector<std::uint8_t> bytes = src.bytes(0, static_cast<std::size_t>(src.size()));
        return ParseTextList(std::string(bytes.begin(), bytes.end()));
    });
}

TextList LoadTextList(const std::string& directory, const std::string& name)
{
    std::string path = directory.empty() ? name : WithTrailingSep(directory) + name;
    FileSource src(path);
    return ReadTextList(src);
}

}  // namespace ketral
