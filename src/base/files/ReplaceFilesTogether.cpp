#include "base/files/ReplaceFilesTogether.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/files/CommitRecord.h"
#include "base/files/CopyNames.h"
#include "base/files/NewCopy.h"
#include "base/files/SaveLock.h"
#include "base/files/StoppedSaves.h"
#include "base/files/WriteChannel.h"

namespace ketral {

namespace {

// Writes the record of `copies` (all in `dir`) and flushes it and the directory.
std::string WriteRecord(const std::string& dir, std::vector<NewCopy>& copies, Fd& held)
{
    std::vector<CommitEntry> entries;
    for (const NewCopy& c : copies) entries.push_back({NameOf(c.target), c.suffix, c.size, c.checksum, ContentHash::Xxh3});
    const std::vector<std::uint8_t> bytes = FormatCommitRecord(entries);
    std::string record, suffix;
    // Appended piece by piece: g++ 12 at -O3 warns of an overflow, which
    // cannot happen, inside the inlined "." + name.
    std::string prefix(1, '.');
    prefix += NameOf(copies.front().target);
    prefix += kRecordMark;
    held = CreateBeside(copies.front().path, copies.front().target, prefix, 0644, record, suffix);
    try {
        ChannelWriter writer(held.Get(), copies.front().path);
        writer.Write(bytes.data(), bytes.size());
        if (CurrentWriteChannel().Sync(held.Get()) != 0) throw Failure{copies.front().path, errno};
        SyncDirectory(dir, copies.front().path);
    } catch (...) {
        ::unlink(record.c_str());
        throw;
    }
    return record;
}

// Renames the copies over their files. A rename that fails gives the files
// already replaced their old content back.
void RenameAll(std::vector<NewCopy>& copies, const std::vector<const FileReplacement*>& sources)
{
    WriteChannel& channel = CurrentWriteChannel();
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (channel.Rename(copies[i].temp, copies[i].target) == 0) {
            copies[i].renamed = true;
            continue;
        }
        const Failure failure{copies[i].path, errno};
        RemoveCopies(copies);
        for (std::size_t j = 0; j < i; ++j) {
            if (!sources[j]->restore) continue;
            try {
                struct stat st {};
                const bool exists = ::stat(copies[j].target.c_str(), &st) == 0;
                NewCopy back =
                    WriteCopy(copies[j].path, copies[j].target, exists ? &st : nullptr, 0666, sources[j]->restore);
                if (channel.Rename(back.temp, back.target) != 0) ::unlink(back.temp.c_str());
            } catch (...) {
            }
        }
        throw failure;
    }
}

}  // namespace

void ReplaceFilesTogether(const std::vector<FileReplacement>& files, const std::function<void()>& underLock)
{
    std::vector<std::string> targets, paths;
    for (const FileReplacement& f : files) {
        targets.push_back(RenameTarget(f.path));
        paths.push_back(f.path);
    }
    try {
        std::string missing;
        std::vector<Fd> locks = LockAll(targets, paths, missing);
        if (!missing.empty()) throw IoError("Cannot open file for writing: " + missing);
        TidyUp(targets);
        if (underLock) underLock();
        std::vector<NewCopy> copies;
        std::vector<const FileReplacement*> sources;
        try {
            for (std::size_t i = 0; i < files.size(); ++i) {
                struct stat st {};
                if (::stat(targets[i].c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                    throw IoError("Cannot open file for writing: " + files[i].path);
                // Only a save of several files writes a commit record, which needs the sums.
                copies.push_back(
                    WriteCopy(files[i].path, targets[i], &st, 0666, files[i].content, true, files.size() > 1));
                sources.push_back(&files[i]);
            }
        } catch (...) {
            RemoveCopies(copies);
            throw;
        }
        if (copies.size() < 2) {
            RenameAll(copies, sources);
            return;
        }
        // Files of one directory are replaced through a commit record, so
        // that a crash between two renames is finished at the next save.
        const std::string dir = DirectoryOf(copies.front().target);
        bool oneDirectory = true;
        for (const NewCopy& c : copies) oneDirectory = oneDirectory && DirectoryOf(c.target) == dir;
        Fd recordLock;
        std::string record;
        if (oneDirectory) {
            try {
                record = WriteRecord(dir, copies, recordLock);
            } catch (...) {
                RemoveCopies(copies);
                throw;
            }
        }
        try {
            RenameAll(copies, sources);
        } catch (...) {
            if (!record.empty()) ::unlink(record.c_str());
            throw;
        }
        if (!record.empty()) {
            SyncDirectory(dir, copies.back().path);
            if (CurrentWriteChannel().Remove(record) != 0) throw Failure{copies.front().path, errno};
        }
    } catch (const Failure& f) {
        throw IoError("Cannot write file: " + f.path + Reason(f.error));
    }
}

bool FinishInterruptedSaves(const std::vector<std::string>& paths)
{
    std::vector<std::string> targets, real;
    for (const std::string& p : paths) {
        const std::string resolved = ResolveCase(p);
        struct stat st {};
        if (::stat(resolved.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        real.push_back(resolved);
        targets.push_back(RenameTarget(resolved));
    }
    try {
        std::string missing;
        std::vector<Fd> locks = LockAll(targets, real, missing);
        if (!missing.empty()) return false;
        TidyUp(targets);
        return true;
    } catch (const Failure&) {
        return false;
    }
}

}  // namespace ketral
