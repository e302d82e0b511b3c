// Texts for the user: each part keeps its encoding, and the whole reads
// right however the parts are mixed.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "base/CountedNoun.h"
#include "base/Errors.h"
#include "base/GameText.h"
#include "base/UserText.h"

using namespace ketral;

// A game text is made from bytes only by saying what they hold.
static_assert(!std::is_constructible_v<GameText, const char*>);
static_assert(!std::is_constructible_v<GameText, std::string>);
static_assert(std::is_convertible_v<GameText, UserText>);

TEST(UserText, EachPartIsReadInItsOwnEncoding)
{
    const GameText cafe = GameText::FromLatin1("Caf\xE9");
    const struct {
        const char* what;
        UserText text;
        std::string utf8;
    } cases[] = {
        {"the program's text", UserText("Nothing was saved."), "Nothing was saved."},
        {"a path in UTF-8", "Cannot open file: " + std::string("/home/j\xC3\xBCrgen/a"),
         "Cannot open file: /home/j\xC3\xBCrgen/a"},
        {"a name in Latin-1 from the game's CD", std::string("File not found: /cd/Caf\xE9"),
         "File not found: /cd/Caf\xC3\xA9"},
        {"a game text", "Building " + cafe, "Building Caf\xC3\xA9"},
        {"a game text beside a path in UTF-8", "Building " + cafe + " in /home/j\xC3\xBCrgen/Building.Nam",
         "Building Caf\xC3\xA9 in /home/j\xC3\xBCrgen/Building.Nam"},
        {"a game text whose bytes look like UTF-8", UserText(GameText::FromLatin1("\xC3\xBC")), "\xC3\x83\xC2\xBC"},
        {"UTF-8 letters joined from two pieces", UserText("x\xC3") + std::string("\xBC"), "x\xC3\xBC"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text.ToUtf8(), c.utf8) << c.what;
}

TEST(UserText, AnErrorKeepsItsPartsAndSaysThemInUtf8)
{
    const std::string path = "/home/j\xC3\xBCrgen/ZV/Building.Nam";
    const Error e("Building 3 is named " + GameText::FromLatin1("Caf\xE9") + " in " + path);
    EXPECT_EQ(std::string(e.what()), "Building 3 is named Caf\xC3\xA9 in " + path);
    using E = UserText::Encoding;
    const std::vector<UserText::Part> parts = {
        {E::Utf8, "Building 3 is named "}, {E::Latin1, "Caf\xE9"}, {E::Utf8, " in " + path}};
    EXPECT_EQ(e.Message().Parts(), parts);
}

TEST(CountedNoun, TheNounAgreesWithItsNumber)
{
    EXPECT_EQ(Counted(1, "tile", "tiles"), "1 tile");
    EXPECT_EQ(Counted(0, "tile", "tiles"), "0 tiles");
    EXPECT_EQ(Counted(2, "change", "changes"), "2 changes");
    EXPECT_EQ(Counted(-1, "cell", "cells"), "-1 cells");
    EXPECT_EQ(CountedBox({1, 1}, "cell", "cells"), "1 x 1 cell");
    EXPECT_EQ(CountedBox({1, 1, 1}, "cell", "cells"), "1 x 1 x 1 cell");
    EXPECT_EQ(CountedBox({1, 3}, "cell", "cells"), "1 x 3 cells");
    EXPECT_EQ(CountedBox({2, 1, 1}, "cell", "cells"), "2 x 1 x 1 cells");
}
