#pragma once
// The recovery journal of the city window, and a journal's edits brought
// back into the window.
#include <string>

#include "city/CityJournal.h"
#include "shell/RecoveryJournal.h"
#include "shell/ui/UndoJournal.h"

namespace ketral {

class CityWindow;

// Starts keeping the journal of the window's map, following its edit
// history; the journal is a child of the window.
UndoJournal* KeepCityJournal(CityWindow& window);

// How the window opened the map it shows (the catalogue's palette).
CityJournalOpening CityWindowOpening(CityWindow& window);

// Opens the journal's map in the window (resolving the unsaved changes of the
// map shown first: false when the user kept it) and replays the journal's
// edits as steps of the edit history: the map is as it was, Undo takes the
// edits back one by one and "Save map" writes them. A step that does not fit
// throws Error; the steps before it stay.
bool RestoreCityJournal(CityWindow& window, const JournalContent& content, const std::string& journal);

}  // namespace ketral
