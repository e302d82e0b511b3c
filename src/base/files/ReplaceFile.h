#pragma once
// Replacing whole files so that neither a reader nor a crash ever sees half
// of a change. Every file the program writes goes through this folder: the
// game's files (FileUpdate.h), pictures, exports and the settings
// (FileWriter.h), several files as one (ReplaceFilesTogether.h) and many
// files the program makes (FileBatch.h).
//
// A file is replaced by a complete new copy beside it, named
// ".NAME.ketral-XXXXXX", written, flushed and renamed over it. Saves of one
// file are serialised between processes by an advisory lock (flock) on the
// file itself, taken before the file is checked and held until after the
// rename; a writer that waited for the lock finds the file renamed away
// under it and checks it again. While a copy is written, its writer holds a
// lock on the copy too, so that a copy nobody holds is known to be left
// over from a save that was stopped; the next save of its file removes it.
#include <cstddef>
#include <functional>
#include <string>

namespace ketral {

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

}  // namespace ketral
