#include "tactical/ui/TacticalRecovery.h"

#include "base/Errors.h"
#include "shell/GameInstallation.h"
#include "tactical/ui/TacticalMapView.h"
#include "tactical/ui/TacticalWindow.h"

namespace ketral {

TacJournalOpening TacticalWindowOpening(const TacticalWindow& w)
{
    TacJournalOpening o;
    o.savedGame = w.OpenMode();
    o.entry = w.MapName();
    o.tileDir = w.ListTileDir();
    o.mapPath = w.ListPathPrefix() + w.MapName();
    o.tacDataDir = Game().TacDataDir;
    if (o.savedGame) {
        o.directory = w.ListPathPrefix();
        o.name = w.MapName();
    } else {
        // The list's directory is the maps directory and the map directory's name.
        std::string dir = w.ListTileDir();
        if (!dir.empty() && dir.back() == '/') dir.pop_back();
        const std::size_t slash = dir.rfind('/');
        o.directory = slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
        o.name = slash == std::string::npos ? dir : dir.substr(slash + 1);
    }
    return o;
}

UndoJournal* KeepTacticalJournal(TacticalWindow& w)
{
    const TacMapCore& core = w.Map()->Core();
    auto encode = [&core](std::size_t position) { return EncodeTacChange(core.History().At(position)); };
    auto describe = [&w] {
        return TacJournalHeader(w.Map()->Core(), TacticalWindowOpening(w), w.MapName(), Game().GamePath);
    };
    return new UndoJournal(w.Map()->Core().History(), JournalKind::Tactical, encode, describe, &w);
}

bool RestoreTacticalJournal(TacticalWindow& w, const JournalContent& content, const std::string& journal)
{
    const TacJournalOpening o = DecodeTacOpening(content.header.opening, journal);
    if (!w.OpenTacticalMaps(o.directory, o.name, o.savedGame)) return false;
    if (w.MapName() != o.entry) {
        for (int row = 0; row < w.MapList->count(); ++row)
            if (w.MapList->item(row)->data(Qt::UserRole).toByteArray().toStdString() == o.entry)
                w.MapList->setCurrentRow(row);
        w.OnMapListActivated();
        if (w.MapName() != o.entry) throw Error("The map " + o.entry + " is no longer in " + o.tileDir);
    }
    TacMapCore& core = w.Map()->Core();
    auto step = [&](const JournalBytes& bytes, bool redo) {
        TacMapChange change = DecodeTacChange(bytes, core.Opening(), journal);
        CheckTacChangeFits(core.Map(), change, redo);
        if (redo)
            core.Redo(change);
        else
            core.Undo(change);
        return change;
    };
    ReplayJournal<TacMapChange>(content, core.History(), step, TacStepName);
    return true;
}

}  // namespace ketral
