#include "base/files/FileWriter.h"

#include <cstdio>

#include "base/Errors.h"
#include "base/files/ReplaceFile.h"

namespace ketral {

void WriteWholeFile(const std::string& path, const void* data, std::size_t n)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw IoError("Cannot create file: " + path);
    bool ok = n == 0 || std::fwrite(data, 1, n, f) == n;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) throw IoError("Cannot write file: " + path);
}

void WriteWholeFileAtomically(const std::string& path, const void* data, std::size_t n, unsigned newFileMode)
{
    WriteFileAtomically(
        path, [&](ContentWriter& out) { out.Write(data, n); }, newFileMode);
}

void WriteFileAtomically(const std::string& path, const std::function<void(const ByteWriter&)>& produce,
                         unsigned newFileMode)
{
    WriteFileAtomically(
        path, [&](ContentWriter& out) { produce([&out](const void* data, std::size_t n) { out.Write(data, n); }); },
        newFileMode);
}

}  // namespace ketral
