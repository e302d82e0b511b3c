// The questions around saving: the overwrite of a file changed on disk and
// the unsaved changes of a map that is about to go.
#include <gtest/gtest.h>

#include "base/Errors.h"
#include "base/SaveQuestions.h"
#include "base/files/FileStamp.h"

namespace ketral {
namespace {

TEST(SaveAskingOverwrite, AsksOnlyForAFileChangedOnDiskAndSavesAgainOnYes)
{
    std::vector<bool> saves;
    std::vector<std::string> asked;
    // A save that goes through asks nothing.
    EXPECT_TRUE(SaveAskingOverwrite([&](bool o) { saves.push_back(o); },
                                    [&](const std::string& q) { asked.push_back(q); return true; }));
    EXPECT_EQ(saves, (std::vector<bool>{false}));
    EXPECT_TRUE(asked.empty());

    // A file changed on disk: the question names it; Yes saves with the overwrite allowed.
    saves.clear();
    auto changedUnlessAllowed = [&](bool o) {
        saves.push_back(o);
        if (!o) throw FileChangedError("/game/maps/a.smp");
    };
    EXPECT_TRUE(SaveAskingOverwrite(changedUnlessAllowed, [&](const std::string& q) { asked.push_back(q); return true; }));
    EXPECT_EQ(saves, (std::vector<bool>{false, true}));
    EXPECT_EQ(asked, (std::vector<std::string>{
                         "/game/maps/a.smp was changed by another program since it was opened. Overwrite it?"}));

    // No: nothing more is written and the caller hears that nothing was saved.
    saves.clear();
    EXPECT_FALSE(SaveAskingOverwrite(changedUnlessAllowed, [](const std::string&) { return false; }));
    EXPECT_EQ(saves, (std::vector<bool>{false}));

    // Any other error goes to the caller unasked.
    asked.clear();
    EXPECT_THROW(SaveAskingOverwrite([](bool) { throw IoError("Cannot write file: x"); },
                                     [&](const std::string& q) { asked.push_back(q); return true; }),
                 IoError);
    EXPECT_TRUE(asked.empty());
}

TEST(MayDropUnsavedChanges, AsksOnlyWithUnsavedChangesAndFollowsTheAnswer)
{
    int saves = 0;
    std::vector<std::string> asked;
    auto answer = [&](UnsavedChoice choice) {
        return [&asked, choice](const std::string& q) {
            asked.push_back(q);
            return choice;
        };
    };
    auto save = [&] {
        ++saves;
        return true;
    };
    EXPECT_TRUE(MayDropUnsavedChanges(false, "outpost", answer(UnsavedChoice::Cancel), save));
    EXPECT_TRUE(asked.empty());

    EXPECT_FALSE(MayDropUnsavedChanges(true, "outpost", answer(UnsavedChoice::Cancel), save));
    EXPECT_EQ(asked, (std::vector<std::string>{"Save changes to outpost?"}));
    EXPECT_EQ(saves, 0);
    EXPECT_TRUE(MayDropUnsavedChanges(true, "outpost", answer(UnsavedChoice::Discard), save));
    EXPECT_EQ(saves, 0);
    EXPECT_TRUE(MayDropUnsavedChanges(true, "Citymap1", answer(UnsavedChoice::Save), save));
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(asked.back(), "Save changes to Citymap1?");

    // A save that did not write (the overwrite declined) or failed keeps the map.
    EXPECT_FALSE(MayDropUnsavedChanges(true, "a", answer(UnsavedChoice::Save), [] { return false; }));
    EXPECT_THROW(MayDropUnsavedChanges(true, "a", answer(UnsavedChoice::Save), []() -> bool { throw IoError("full"); }),
                 IoError);
}

}  // namespace
}  // namespace ketral
