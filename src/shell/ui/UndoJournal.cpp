#include "shell/ui/UndoJournal.h"

#include "base/ui/ErrorGuard.h"

namespace ketral {

namespace {
bool g_offNoticeGiven = false;
}  // namespace

void UndoJournal::ResetOffNotice() { g_offNoticeGiven = false; }

UndoJournal::UndoJournal(EditHistory& history, JournalKind kind, HistoryJournal::EncodeStep encode,
                         HistoryJournal::DescribeMap describe, QWidget* window)
    : QObject(window), window_(window), journal_(history, kind, std::move(encode), std::move(describe))
{
    timer_.setSingleShot(true);
    timer_.setInterval(kWriteDelayMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Flush(); });
    journal_.OnPendingChanged = [this](bool pending) {
        if (!pending)
            timer_.stop();
        else if (!timer_.isActive())
            timer_.start();
    };
    journal_.OnTurnedOff = [this](const std::string& reason) {
        if (g_offNoticeGiven) return;
        g_offNoticeGiven = true;
        ShowInformation("Recovery is off: " + reason +
                            ". Unsaved changes will not be kept for a restart; \"Save map\" still saves them.",
                        window_);
    };
    // A history with steps already (a window's journal made anew) is held at once.
    if (journal_.Pending()) timer_.start();
}

void UndoJournal::Flush()
{
    Guarded([this] { journal_.Flush(); }, window_);
}

}  // namespace ketral
