#pragma once
// At start-up, after the catalogue is built: every recovery journal that an
// editor which no longer runs left behind is offered once. "Ketral ended
// while <map> had unsaved changes (<date and time>, N changes). Restore
// them?" with Restore, Discard and Later; a journal whose files changed since
// is offered only as "The files of <map> changed since; the recovered edits
// may not fit. Restore anyway?"; a journal whose files are gone, or that
// cannot be read, is reported with Discard and Later. Restore opens the map
// in its window with the edits as unsaved changes, Discard deletes the
// journal, Later keeps it for the next start.
#include <QWidget>
#include <functional>
#include <string>

namespace ketral {

class TacticalWindow;
class CityWindow;

enum class RecoveryChoice { Restore, Discard, Later };
// Asks `text`; `canRestore` false: only Discard and Later are offered.
using RecoveryAsker = std::function<RecoveryChoice(const std::string& text, bool canRestore)>;
// Window tests answer the questions here; an empty hook restores the boxes.
void SetRecoveryQuestionHook(RecoveryAsker hook);

// Offers the journals left behind. A journal restored is written again as
// the window's own and the old one deleted.
void OfferRecovery(QWidget* parent, TacticalWindow* tactical, CityWindow* city);

}  // namespace ketral
