#include "city/ui/CityRecovery.h"

#include "base/Errors.h"
#include "city/ui/CityWindow.h"
#include "shell/GameInstallation.h"

namespace ketral {

CityJournalOpening CityWindowOpening(CityWindow& w)
{
    const CityMap& map = w.Editor().map;
    CityJournalOpening o;
    o.fileName = w.MapName();
    // The cells' file is the directory and the upper-cased name.
    o.directory = map.source.filePath.substr(0, map.source.filePath.size() - std::min(map.source.filePath.size(), o.fileName.size()));
    o.paletteFile = Game().VyxDataDir + "pal_01.dat";
    o.savedGame = map.source.savedGame;
    o.editable = true;
    return o;
}

UndoJournal* KeepCityJournal(CityWindow& w)
{
    const CityEditor& editor = w.Editor();
    auto encode = [&editor](std::size_t position) { return EncodeCityChange(editor.History().At(position)); };
    auto describe = [&w] { return CityJournalHeader(w.Editor(), CityWindowOpening(w), w.MapName(), Game().GamePath); };
    return new UndoJournal(w.Editor().History(), JournalKind::City, encode, describe, &w);
}

bool RestoreCityJournal(CityWindow& w, const JournalContent& content, const std::string& journal)
{
    const CityJournalOpening o = DecodeCityOpening(content.header.opening, journal);
    if (!w.OpenCityMap(o.directory, o.fileName, o.paletteFile, o.savedGame, o.editable)) return false;
    CityEditor& editor = w.Editor();
    auto step = [&](const JournalBytes& bytes, bool redo) {
        CityMapChange change = DecodeCityChange(bytes, editor.Opening(), journal);
        CheckCityChangeFits(editor.map, change);
        if (redo)
            editor.Redo(change);
        else
            editor.Undo(change);
        return change;
    };
    ReplayJournal<CityMapChange>(content, editor.History(), step, CityStepName);
    return true;
}

}  // namespace ketral
