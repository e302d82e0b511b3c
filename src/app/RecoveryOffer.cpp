#include "app/RecoveryOffer.h"

#include <QMessageBox>
#include <QPushButton>

#include "base/Errors.h"
#include "base/Messages.h"
#include "base/ui/ErrorGuard.h"
#include "city/ui/CityRecovery.h"
#include "city/ui/CityWindow.h"
#include "shell/RecoveryDirectory.h"
#include "tactical/ui/TacticalRecovery.h"
#include "tactical/ui/TacticalWindow.h"

namespace ketral {

namespace {

RecoveryAsker g_hook;

RecoveryChoice Ask(QWidget* parent, const std::string& text, bool canRestore)
{
    if (g_hook) return g_hook(text, canRestore);
    QMessageBox box(canRestore ? QMessageBox::Question : QMessageBox::Warning, QString::fromLatin1(kAppTitle),
                    MessageText(text), QMessageBox::NoButton, parent);
    QPushButton* restore = canRestore ? box.addButton(QStringLiteral("Restore"), QMessageBox::AcceptRole) : nullptr;
    QPushButton* discard = box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
    QPushButton* later = box.addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
    box.setDefaultButton(restore ? restore : later);
    box.setEscapeButton(later);
    box.exec();
    if (restore && box.clickedButton() == restore) return RecoveryChoice::Restore;
    if (box.clickedButton() == discard) return RecoveryChoice::Discard;
    return RecoveryChoice::Later;  // also a box closed without an answer
}

void ShowEditor(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

// Restores one journal in its window; false when the old journal must stay:
// the user kept the map the window showed, or the window's own journal could
// not be written.
bool Restore(const JournalContent& content, const std::string& path, TacticalWindow* tactical, CityWindow* city)
{
    QWidget* window = nullptr;
    if (content.header.kind == JournalKind::Tactical) {
        if (!tactical) throw Error("The editor window is not available.");
        if (!RestoreTacticalJournal(*tactical, content, path)) return false;
        window = tactical;
    } else {
        if (!city) throw Error("The editor window is not available.");
        if (!RestoreCityJournal(*city, content, path)) return false;
        window = city;
    }
    ShowEditor(window);
    // The edits are the window's own now: its journal is written before the
    // old one goes, so that no moment passes without one. When it cannot be
    // written the old journal stays for the next start.
    auto* journal = window->findChild<UndoJournal*>(QString(), Qt::FindDirectChildrenOnly);
    if (!journal) return false;
    journal->Flush();
    return !journal->IsOff();
}

void OfferOne(QWidget* parent, const std::string& path, TacticalWindow* tactical, CityWindow* city)
{
    JournalContent content;
    try {
        content = ReadJournalFile(path);
    } catch (const Error& e) {
        const std::string text = std::string("The recovery journal ") + path + " cannot be read: " + e.what() +
                                 ". It is kept until you discard it.";
        if (Ask(parent, text, false) == RecoveryChoice::Discard) DiscardJournal(path);
        return;
    }
    const JournalFilesState state = FilesStateOf(content.header);
    if (state == JournalFilesState::Gone) {
        if (Ask(parent, FilesGoneReport(content), false) == RecoveryChoice::Discard) DiscardJournal(path);
        return;
    }
    const std::string question =
        state == JournalFilesState::Changed ? ChangedFilesQuestion(content) : RecoveryQuestion(content);
    switch (Ask(parent, question, true)) {
    case RecoveryChoice::Restore:
        if (Restore(content, path, tactical, city)) DiscardJournal(path);
        break;
    case RecoveryChoice::Discard: DiscardJournal(path); break;
    case RecoveryChoice::Later: break;
    }
}

}  // namespace

void SetRecoveryQuestionHook(RecoveryAsker hook) { g_hook = std::move(hook); }

void OfferRecovery(QWidget* parent, TacticalWindow* tactical, CityWindow* city)
{
    RemoveOrphanedLocks();
    for (const JournalListing& listing : ListJournals()) {
        if (listing.inUse) continue;  // another editor's, still running
        // One journal that fails is reported; the others are still offered.
        Guarded([&] { OfferOne(parent, listing.path, tactical, city); }, parent);
    }
}

}  // namespace ketral
