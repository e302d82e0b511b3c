#include "tactical/ui/TacticalRecovery.h"

#include "base/Errors.h"
#include "shell/GameInstallation.h"
#include "tactical/ui/TacticalWindow.h"

namespace ketral {

TacJournalOpening TacticalWindowOpening(const TacticalWindow& w) { return w.MapList->Loaded(); }

UndoJournal* KeepTacticalJournal(TacticalWindow& w)
{
    const TacMapCore& core = w.Document();
    auto encode = [&core](std::size_t position) { return EncodeTacChange(core.History().At(position)); };
    auto describe = [&w] {
        return TacJournalHeader(w.Document(), TacticalWindowOpening(w), w.MapName(), Game().GamePath);
    };
    return new UndoJournal(w.Document().History(), JournalKind::Tactical, encode, describe, &w);
}

bool RestoreTacticalJournal(TacticalWindow& w, const JournalContent& content, const std::string& journal)
{
    const TacJournalOpening o = DecodeTacOpening(content.header.opening, journal);
    if (!w.OpenTacticalMaps(o.directory, o.name, o.savedGame)) return false;
    if (w.MapName() != o.entry) {
        w.MapList->SelectEntry(o.entry);
        w.OnMapListActivated();
        if (w.MapName() != o.entry) throw Error("The map " + o.entry + " is no longer in " + o.tileDir);
    }
    TacMapCore& core = w.Document();
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
