#pragma once
// The recovery journal of a map window (HistoryJournal.h) with its delayed
// write: what the journal takes down is written kWriteDelayMs after the
// first change not yet written (so that at most that much work is ever
// lost), from the event loop. When the journal cannot be written the user is
// told once that recovery is off, and the editing goes on. A child of the
// window; the journal goes with it.
#include <QObject>
#include <QTimer>
#include <QWidget>

#include "shell/HistoryJournal.h"

namespace ketral {

class UndoJournal : public QObject {
    Q_OBJECT
public:
    static constexpr int kWriteDelayMs = 1500;

    UndoJournal(EditHistory& history, JournalKind kind, HistoryJournal::EncodeStep encode,
                HistoryJournal::DescribeMap describe, QWidget* window);

    // Writes what is due now (the timer does it on its own).
    void Flush();
    bool Pending() const { return journal_.Pending(); }
    std::string Path() const { return journal_.Path(); }
    bool IsOff() const { return journal_.IsOff(); }

    // Tests: the notice "recovery is off" is given once per program; this
    // lets it be given again.
    static void ResetOffNotice();

private:
    QWidget* window_;
    QTimer timer_;
    HistoryJournal journal_;
};

}  // namespace ketral
