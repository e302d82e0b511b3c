#include "base/files/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Errors.h"
#include "base/files/CopyNames.h"
#include "base/files/NewCopy.h"
#include "base/files/SaveLock.h"
#include "base/files/StoppedSaves.h"
#include "base/files/WriteChannel.h"

namespace ketral {

void WriteFileAtomically(const std::string& path, const WriteContent& content, unsigned newFileMode)
{
    try {
        struct stat st {};
        bool exists = ::stat(path.c_str(), &st) == 0;
        // A pipe, a terminal or /dev/stdout cannot be replaced: it is written.
        // A descriptor's name is written also when it leads to a regular file
        // (the shell's "> file"), whose copy would never reach the descriptor.
        const bool descriptor = path == "/dev/stdout" || path == "/dev/stderr" || path.rfind("/dev/fd/", 0) == 0 ||
                                path.rfind("/proc/self/fd/", 0) == 0;
        if (descriptor || (exists && (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)))) {
            Fd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | (S_ISREG(st.st_mode) ? O_TRUNC : 0)));
            if (!fd.Valid()) throw Failure{path, errno};
            ChannelWriter writer(fd.Get(), path);
            content(writer);
            if (fd.Close() != 0) throw Failure{path, errno};
            return;
        }
        const std::string target = RenameTarget(path);
        exists = ::stat(target.c_str(), &st) == 0;
        Fd lock;
        if (exists && S_ISREG(st.st_mode)) {
            lock = LockExisting(target);
            if (::stat(target.c_str(), &st) != 0) st = {};
        }
        TidyUp({target});
        const bool regular = S_ISREG(st.st_mode);
        NewCopy copy = WriteCopy(path, target, regular ? &st : nullptr, newFileMode, content);
        if (CurrentWriteChannel().Rename(copy.temp, copy.target) != 0) {
            const int error = errno;
            ::unlink(copy.temp.c_str());
            throw Failure{path, error};
        }
    } catch (const Failure& f) {
        throw IoError((f.creating ? "Cannot create file: " : "Cannot write file: ") + path);
    }
}

}  // namespace ketral
