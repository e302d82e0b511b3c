#include "base/files/FileUpdate.h"

#include <algorithm>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/files/CopyNames.h"
#include "base/files/CurrentCopy.h"
#include "base/files/FileStamp.h"
#include "base/files/ReplaceFilesTogether.h"
#include "base/files/StoppedSaves.h"

namespace ketral {

namespace {

// The game's largest files (the executable, a saved battle) are a few
// megabytes; a save never reads a file beyond this into memory.
constexpr std::uint64_t kLargestGameFile = 256ull << 20;

// A file nobody may write is refused also where the system would let the
// superuser write it, with the message of the system's own refusal.
void CheckWritable(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 ||
        ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        throw IoError("Cannot open file for writing: " + path);
}

WriteContent Bytes(const std::vector<std::uint8_t>& bytes)
{
    return [&bytes](ContentWriter& out) { out.Write(bytes.data(), bytes.size()); };
}

std::vector<std::string> Save(std::vector<FileUpdate>& updates, const std::function<void()>& underLock)
{
    for (const FileUpdate& u : updates)
        if (u.Changes()) CheckWritable(u.Path());
    std::vector<FileReplacement> files;
    std::vector<std::string> written;
    for (const FileUpdate& u : updates)
        if (u.Changes()) {
            files.push_back({u.Path(), Bytes(u.After()), Bytes(u.Before())});
            written.push_back(u.Path());
        }
    if (!files.empty()) ReplaceFilesTogether(files, underLock);
    return written;
}

}  // namespace

FileUpdate::FileUpdate(const std::string& path) : path_(ResolveCase(path))
{
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) throw IoError("Cannot open file for writing: " + path_);
    std::unique_ptr<ByteSource> source = OpenCurrentCopy(path_);
    RefuseLargerThan(*source, kLargestGameFile, "game file");
    before_ = ReadingFile(path_, [&] { return source->bytes(0, static_cast<std::size_t>(source->size())); });
    after_ = before_;
}

std::vector<std::string> SaveFileUpdates(std::vector<FileUpdate>& updates) { return Save(updates, {}); }

std::vector<std::string> SaveFileUpdates(std::vector<FileUpdate>& updates, OpenedFiles& opened, bool overwriteChanged)
{
    std::vector<std::string> written = Save(updates, [&] {
        if (!overwriteChanged)
            for (const FileUpdate& u : updates)
                if (u.Changes() && opened.ChangedSinceOpened(u.Path())) throw FileChangedError(u.Path());
    });
    for (const std::string& p : written) opened.Remember(p);
    // The save also takes away the copies that saves stopped earlier (by a
    // kill or a power cut) left of the map's other files: a resize stopped
    // after writing the copy of its .sdt leaves one that a later save of the
    // cells alone would never remove. Copies a commit record names, and
    // copies a running save holds, stay.
    // The files it wrote were tidied by the save itself; each directory is
    // read once.
    if (!written.empty()) {
        std::map<std::string, std::vector<std::string>> others;  // directory: names
        for (const auto& [path, stamp] : opened.Files())
            if (std::find(written.begin(), written.end(), path) == written.end())
                others[DirectoryOf(path)].push_back(NameOf(path));
        for (const auto& [dir, names] : others) {
            const std::vector<std::string> inDir = NamesIn(dir);
            for (const std::string& name : names) RemoveLeftOverCopies(dir, name, inDir);
        }
    }
    return written;
}

bool ReplaceFileContent(const std::string& path, const std::vector<std::uint8_t>& content)
{
    std::vector<FileUpdate> updates;
    updates.emplace_back(path);
    updates.back().After() = content;
    return !SaveFileUpdates(updates).empty();
}

}  // namespace ketral
