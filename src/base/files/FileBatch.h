#pragma once
// Writes many files the program makes for the user (exported pictures) into
// directories of its own, each as a complete new copy renamed over its name,
// so that no file is ever half-written under its name. Unlike
// WriteFileAtomically (ReplaceFile.h), the copies are not flushed one by one
// before their renames: Finish flushes them together, then each directory
// once. A file that is a pipe, a device or a descriptor's name is written as
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
#include <memory>
#include <string>
#include <vector>

#include "base/files/ReplaceFile.h"

namespace ketral {

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

}  // namespace ketral
