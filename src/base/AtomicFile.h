#pragma once
// Replacing whole files so that neither a reader nor a crash ever sees half
// of a change. Every file the program writes goes through here: the game's
// files (FileUpdate.h), pictures, exports and the settings (FileWriter.h).
//
// A file is replaced by a complete new copy beside it, named
// ".NAME.ketral-XXXXXX", written, flushed and renamed over it. Saves of one
// file are serialised between processes by an advisory lock (flock) on the
// file itself, taken before the file is checked and held until after the
// rename; a writer that waited for the lock finds the file renamed away
// under it and checks it again. While a copy is written, its writer holds a
// lock on the copy too, so that a copy nobody holds is known to be left
// over from a save that was stopped; the next save of its file removes it.
//
// Several files of one directory are replaced as one: after the last new
// copy, a commit record ".NAME.ketral-commit-XXXXXX" naming the copies is
// written and flushed, then the copies are renamed and the record removed
// (CommitRecord.h). A save stopped between two renames leaves the record;
// the next save of any of its files, or the editor opening them, finishes
// the renames, and until then every reader reads the new copies it names.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

#include "base/ByteSource.h"

namespace ketral {

// The file operations of a replacement. The default one does them; a test
// installs one that fails like a full disk or stops the program at a step.
class WriteChannel {
public:
    virtual ~WriteChannel() = default;
    // Writes up to n bytes; returns how many, or -1 with errno set.
    virtual ssize_t Write(int fd, const std::uint8_t* data, std::size_t n);
    // Flushes a file or a directory to the disk; 0, or -1 with errno set.
    virtual int Sync(int fd);
    // Renames a new copy over its file; 0, or -1 with errno set.
    virtual int Rename(const std::string& from, const std::string& to);
    // Swaps the names of a new copy and its file in one step, so that the old
    // content is left under the copy's name; 0, or -1 with errno set (EINVAL
    // or ENOSYS where the file system cannot).
    virtual int Exchange(const std::string& copy, const std::string& file);
    // Removes a commit record whose renames are done; 0, or -1 with errno set.
    virtual int Remove(const std::string& path);
    // Flushes everything written to the file system of `fd` (a directory); 0,
    // or -1 with errno set.
    virtual int SyncFileSystem(int fd);
};

// The channel every write uses; the default one unless a test installed another.
WriteChannel& CurrentWriteChannel();

// Installs `channel` for as long as the object lives.
class ScopedWriteChannel {
public:
    explicit ScopedWriteChannel(WriteChannel& channel);
    ~ScopedWriteChannel();
    ScopedWriteChannel(const ScopedWriteChannel&) = delete;
    ScopedWriteChannel& operator=(const ScopedWriteChannel&) = delete;

private:
    WriteChannel* previous_;
};

// Where the content of a new copy is written, in as many pieces as the
// producer likes (a picture row by row). A failed write throws.
class ContentWriter {
public:
    virtual ~ContentWriter() = default;
    virtual void Write(const void* data, std::size_t n) = 0;
};
using WriteContent = std::function<void(ContentWriter&)>;

// Creates or replaces the file at `path` with what `content` writes (a new
// file gets `newFileMode` less the umask, an existing one keeps its mode). A
// symbolic link stays and its target is replaced; a named pipe or a
// character device (/dev/stdout) is written directly, without a copy. On any
// failure the copy is removed, `path` stays as it was, and IoError
// "Cannot create file: " + path (no copy could be made) or "Cannot write
// file: " + path is thrown; an exception of `content` passes through.
void WriteFileAtomically(const std::string& path, const WriteContent& content, unsigned newFileMode = 0666);

// Writes many files the program makes for the user (exported pictures) into
// directories of its own, each as a complete new copy renamed over its name,
// so that no file is ever half-written under its name. Unlike
// WriteFileAtomically, the copies are not flushed one by one before their
// renames: Finish flushes them together, then each directory once. A file
// that is a pipe, a device or a descriptor's name is written as
// WriteFileAtomically writes it.
//
// A copy swaps names with the file it replaces, and the old content, no
// longer any file's, becomes the next copy in that directory: written over
// in place, it saves making one file and freeing another for every file of
// the batch. Only a file of one link that nobody else holds open (a reader
// keeps the old bytes it opened) and without extended attributes (an access
// list, a security label) is taken for that, in a directory without a
// default access list, and it gets the owner and mode of the file it will
// replace.
class FileBatch {
public:
    FileBatch();
    ~FileBatch();
    FileBatch(const FileBatch&) = delete;
    FileBatch& operator=(const FileBatch&) = delete;
    // Creates or replaces `path` as WriteFileAtomically does (mode kept or
    // `newFileMode` less the umask). On failure the copy is removed, `path`
    // stays as it was and IoError "Cannot create file: " + path or "Cannot
    // write file: " + path is thrown; an exception of `content` passes through.
    void Write(const std::string& path, const WriteContent& content, unsigned newFileMode = 0666);
    // Flushes the files written and their directories, and removes copies
    // that stopped writes of these files left; throws IoError "Cannot write
    // file: " + path + " (reason)" when the flush fails.
    void Finish();

private:
    struct Spare;
    void DropSpare();
    std::vector<std::string> written_;  // rename targets, in order
    std::unique_ptr<Spare> spare_;      // old content waiting to be the next copy
    std::string withoutDefaultList_;    // a directory found without a default access list
};

// One existing game file of a save and its new content. `restore` writes its
// old content, for the rare rename that fails after another file of the same
// save was already replaced.
struct FileReplacement {
    std::string path;  // as named in messages
    WriteContent content;
    WriteContent restore;
};

// Replaces existing regular files together, under the locks of all of them.
// `underLock` runs once the locks are held and interrupted saves of these
// files are finished, before anything is written; it may throw to refuse.
// A file that is missing or not a regular file throws IoError "Cannot open
// file for writing: " + path; any other failure IoError "Cannot write file:
// " + path + " (reason)", leaving every file as it was.
void ReplaceFilesTogether(const std::vector<FileReplacement>& files, const std::function<void()>& underLock = {});

// Finishes every interrupted save that concerns these files and removes
// their left-over copies, as a save of them would, without writing them.
// Returns false when that could not be done (the files are left as found).
bool FinishInterruptedSaves(const std::vector<std::string>& paths);

// The path to read the file at `path` from (letter case resolved): the new
// copy that an interrupted save left for it when one is waiting, else the
// file itself. Reading never finishes anything.
std::string CurrentCopyOf(const std::string& path);

// Opens the file at `path` for reading as CurrentCopyOf finds it; the
// source is named as the file on disk.
std::unique_ptr<ByteSource> OpenCurrentCopy(const std::string& path);

}  // namespace ketral
