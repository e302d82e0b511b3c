// The small files the catalogue and the openings read first: the game's
// configuration file "ZORVAN3.CFG" (the CD drive letter), the header of a
// saved game (its two texts and the slot caption made from them), and the
// alien flag at byte 173 of a saved city. The captions are also sorted as
// the catalogue sorts them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "base/Errors.h"
#include "city/CityMap.h"
#include "shell/Catalogue.h"
#include "shell/GameInstallation.h"

using namespace ketral;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemorySource file(data, size, "game/file");
    try {
        const char letter = ReadCdLetter(file);
        if (size < 2 || letter != static_cast<char>(data[1])) std::abort();
        const std::string root = CdGameRoot(letter);
        if (!root.empty() && root.size() != CdMountRoot().size() + 10) std::abort();
    } catch (const IoError&) {
        if (size >= 2) std::abort();
    }
    try {
        const bool alien = IsAlienSaveGame(file);
        if (size <= kSaveAlienFlagOffset || alien != (data[kSaveAlienFlagOffset] == 1)) std::abort();
    } catch (const IoError&) {
        if (size > kSaveAlienFlagOffset) std::abort();
    }
    try {
        const SaveGameHeader header = ReadSaveGameHeader(file);
        if (size < 80 || header.A.size() > 40 || header.B.size() > 40) std::abort();
        // Captions sort the same way from either side, and only equal ones tie.
        // Captions are shown (and sorted) as UTF-8.
        const std::string a = SlotCaption(header).ToUtf8();
        const std::string b = header.A.ToUtf8() + ", " + header.B.ToUtf8();
        const int ab = CompareCaptions(a, b), ba = CompareCaptions(b, a);
        if (ab != -ba || (ab == 0) != (a == b)) std::abort();
        CatalogueNode node;
        for (const std::string& caption : {a, b, header.A.ToUtf8(), header.B.ToUtf8()}) node.Children.push_back(CatalogueNode{caption, {}, {}});
        SortChildren(node);
        for (std::size_t i = 1; i < node.Children.size(); ++i)
            if (CompareCaptions(node.Children[i - 1].Caption, node.Children[i].Caption) > 0) std::abort();
    } catch (const IoError&) {
        if (size >= 80) std::abort();
    }
    return 0;
}
