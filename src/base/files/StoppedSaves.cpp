#include "base/files/StoppedSaves.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "base/files/CopyNames.h"
#include "base/files/FileDescriptor.h"
#include "base/files/NewCopy.h"
#include "base/files/WriteChannel.h"

namespace ketral {

namespace {

// Whether the file holds exactly `size` bytes with this checksum.
bool HoldsContent(const std::string& path, std::uint64_t size, std::uint64_t checksum, ContentHash hash)
{
    try {
        FileSource source(path);
        if (source.size() != size) return false;
        ContentChecksum sum(hash);
        std::vector<std::uint8_t> buffer(1 << 20);
        for (std::uint64_t at = 0; at < size;) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - at));
            source.readExact(at, buffer.data(), n);
            sum.Add(buffer.data(), n);
            at += n;
        }
        return sum.Value() == checksum;
    } catch (const Error&) {
        return false;
    }
}

enum class CopyState { Waiting, Renamed, Lost };

CopyState StateOf(const std::string& dir, const CommitEntry& e)
{
    const std::string copy = Join(dir, CopyName(e.file, e.suffix));
    struct stat st {};
    if (::lstat(copy.c_str(), &st) == 0)
        return S_ISREG(st.st_mode) && HoldsContent(copy, e.size, e.checksum, e.hash) ? CopyState::Waiting : CopyState::Lost;
    return HoldsContent(Join(dir, e.file), e.size, e.checksum, e.hash) ? CopyState::Renamed : CopyState::Lost;
}

bool NamesAny(const std::vector<CommitEntry>& entries, const std::vector<std::string>& names)
{
    for (const CommitEntry& e : entries)
        if (std::find(names.begin(), names.end(), e.file) != names.end()) return true;
    return false;
}

// Finishes (or undoes) the interrupted saves whose records in `dir` name one
// of `names`, and removes records cut short before they were complete. The
// locks of the files named are held by the caller; a record still being
// written or carried out by a running save is waited for.
void FinishRecords(const std::string& dir, const std::vector<std::string>& names)
{
    WriteChannel& channel = CurrentWriteChannel();
    for (const std::string& recordName : NamesIn(dir)) {
        if (!IsRecordName(recordName)) continue;
        const std::string record = Join(dir, recordName);
        std::vector<CommitEntry> entries = ReadRecord(record);
        Fd fd(::open(record.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        if (!fd.Valid()) continue;
        if (entries.empty()) {
            // Unreadable or cut short: removed only when no running save holds it.
            if (Lock(fd.Get(), LOCK_EX | LOCK_NB) != 0) continue;
        } else {
            if (!NamesAny(entries, names)) continue;
            (void)Lock(fd.Get(), LOCK_EX);
        }
        // The save that held it may have finished and removed it meanwhile.
        struct stat held {}, now {};
        if (::fstat(fd.Get(), &held) != 0 || ::lstat(record.c_str(), &now) != 0 || !SameFile(held, now)) continue;
        entries = ReadRecord(record);
        if (!entries.empty()) {
            const RecordPlan plan = PlanRecord(dir, entries);
            if (plan.keepOld) {
                for (const CommitEntry& e : entries) ::unlink(Join(dir, CopyName(e.file, e.suffix)).c_str());
            }
            for (std::size_t i : plan.toRename) {
                const CommitEntry& e = entries[i];
                if (channel.Rename(Join(dir, CopyName(e.file, e.suffix)), Join(dir, e.file)) != 0)
                    throw Failure{Join(dir, e.file), errno};
            }
            if (!plan.toRename.empty()) SyncDirectory(dir, Join(dir, entries.front().file));
        }
        if (channel.Remove(record) != 0 && errno != ENOENT)
            throw Failure{Join(dir, entries.empty() ? recordName : entries.front().file), errno};
    }
}

}  // namespace

std::vector<CommitEntry> ReadRecord(const std::string& path)
{
    try {
        FileSource source(path);
        return ParseCommitRecord(source);
    } catch (const Error&) {
        return {};
    }
}

RecordPlan PlanRecord(const std::string& dir, const std::vector<CommitEntry>& entries)
{
    RecordPlan plan;
    bool lost = false, renamed = false;
    std::vector<CopyState> states;
    for (const CommitEntry& e : entries) states.push_back(StateOf(dir, e));
    for (std::size_t i = 0; i < states.size(); ++i) {
        lost = lost || states[i] == CopyState::Lost;
        renamed = renamed || states[i] == CopyState::Renamed;
        if (states[i] == CopyState::Waiting) plan.toRename.push_back(i);
    }
    // Renames start only after every copy is complete: with a copy lost and
    // none renamed, the save never reached its first rename.
    if (lost && !renamed) {
        plan.keepOld = true;
        plan.toRename.clear();
    }
    return plan;
}

void RemoveLeftOverCopies(const std::string& dir, const std::string& name, const std::vector<std::string>& names)
{
    const std::string prefix = CopyName(name, "");
    std::vector<CommitEntry> named;
    for (const std::string& n : names)
        if (IsRecordName(n))
            for (const CommitEntry& e : ReadRecord(Join(dir, n))) named.push_back(e);
    for (const std::string& n : names) {
        if (n.size() != prefix.size() + 6 || n.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string suffix = n.substr(prefix.size());
        if (!IsCopySuffix(suffix)) continue;
        bool inRecord = false;
        for (const CommitEntry& e : named) inRecord = inRecord || (e.file == name && e.suffix == suffix);
        if (inRecord) continue;
        const std::string copy = Join(dir, n);
        Fd fd(::open(copy.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
        struct stat held {}, now {};
        if (!fd.Valid() || ::fstat(fd.Get(), &held) != 0 || !S_ISREG(held.st_mode)) continue;
        if (Lock(fd.Get(), LOCK_EX | LOCK_NB) != 0) continue;  // a running save writes it
        if (::lstat(copy.c_str(), &now) == 0 && SameFile(held, now)) ::unlink(copy.c_str());
    }
}

void RemoveLeftOverCopies(const std::string& dir, const std::string& name)
{
    RemoveLeftOverCopies(dir, name, NamesIn(dir));
}

void TidyUp(const std::vector<std::string>& targets)
{
    for (const std::string& t : targets) {
        std::vector<std::string> names;
        for (const std::string& other : targets)
            if (DirectoryOf(other) == DirectoryOf(t)) names.push_back(NameOf(other));
        FinishRecords(DirectoryOf(t), names);
    }
    for (const std::string& t : targets) RemoveLeftOverCopies(DirectoryOf(t), NameOf(t));
}

}  // namespace ketral
