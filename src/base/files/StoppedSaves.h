#pragma once
// What saves that were stopped leave on disk, for the file-writing code of
// this folder: commit records to carry out (or undo) and new copies to
// remove. A save tidies up after the stopped saves of its own files before
// it writes.
#include <cstddef>
#include <string>
#include <vector>

#include "base/files/CommitRecord.h"

namespace ketral {

// The entries of the record at `path`; none when it cannot be read or is
// no complete record.
std::vector<CommitEntry> ReadRecord(const std::string& path);

// What a record asks for, decided from the copies and files as they are:
// the copies to rename, or none when the save is to be undone (a copy was
// lost before any rename: the old files stay).
struct RecordPlan {
    std::vector<std::size_t> toRename;
    bool keepOld = false;
};

RecordPlan PlanRecord(const std::string& dir, const std::vector<CommitEntry>& entries);

// Removes the copies of `name` in `dir` (whose entries are `names`) that a
// stopped save left: copies no running save holds locked and no commit
// record still names.
void RemoveLeftOverCopies(const std::string& dir, const std::string& name, const std::vector<std::string>& names);
void RemoveLeftOverCopies(const std::string& dir, const std::string& name);

// Finishes what stopped saves of these files left: their records, then
// their copies. The caller holds the files' save locks. Throws Failure when
// a rename or removal fails.
void TidyUp(const std::vector<std::string>& targets);

}  // namespace ketral
