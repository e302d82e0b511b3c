#pragma once
// Where the recovery journals live and who owns them:
// $XDG_STATE_HOME/ketral/recovery/ (~/.local/state/ketral/recovery/ when the
// variable is unset or not an absolute path), made with owner-only
// permissions. A journal is named "<kind>-<process id>-<n>.journal"; beside
// it "<journal>.lock" carries an advisory lock (flock) for as long as the
// editor that writes it runs, so that two editors never take each other's
// journals, also when a process id comes round again.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "shell/RecoveryJournal.h"

namespace ketral {

// The directory, ending with the separator.
std::string RecoveryDirectory();
// Creates it (and its parents) when missing: the last two with mode 0700.
// Throws IoError "Cannot create directory: <path>".
void MakeRecoveryDirectory();

struct JournalListing {
    std::string path;
    bool inUse = false;  // a running editor writes it
};
// The journals of the directory (names ending ".journal"), in name order;
// none when the directory does not exist.
std::vector<JournalListing> ListJournals();
// A running editor holds the journal's lock.
bool JournalInUse(const std::string& path);
// The file is named as a journal and lies in RecoveryDirectory().
bool IsInRecoveryDirectory(const std::string& path);
// Removes a journal that no running editor holds, with its lock file.
// Throws Error for a journal in use, or IoError when it cannot be removed.
void DiscardJournal(const std::string& path);
// Removes the lock files that an editor killed at the wrong moment left
// without a journal: those nobody holds whose journal does not exist and
// whose writer (the process id in the name) no longer runs. Returns how many
// went. The editor does it as it starts.
int RemoveOrphanedLocks();

// The journal file of one window: named and locked at its first write,
// removed with its lock when the object goes (the program ending normally).
class RecoveryJournalFile {
public:
    explicit RecoveryJournalFile(JournalKind kind) : kind_(kind) {}
    ~RecoveryJournalFile();
    RecoveryJournalFile(const RecoveryJournalFile&) = delete;
    RecoveryJournalFile& operator=(const RecoveryJournalFile&) = delete;

    // Creates or replaces the journal with `bytes`, atomically: a crash
    // leaves the old journal or the new one. Throws IoError.
    void Replace(const JournalBytes& bytes);
    // Appends one record; it is flushed to the disk by a thread of its own,
    // so that the caller never waits for the disk (a killed program loses
    // nothing written; a power cut at most the record being flushed). Throws
    // IoError when the write fails, or when the flush of the record before
    // failed; the journal may then end in a torn record, which a reader drops.
    void Append(const JournalBytes& bytes);
    // Waits for the flush of the last record; false when it failed.
    bool WaitForFlush();
    // Removes the journal; the name and the lock are kept for the next.
    void Remove();
    bool Exists() const { return exists_; }
    const std::string& Path() const { return path_; }

private:
    void Claim();

    JournalKind kind_;
    std::string path_;
    int lockFd_ = -1;
    bool exists_ = false;
    std::thread flusher_;
    std::atomic<bool> flushFailed_{false};
};

}  // namespace ketral
