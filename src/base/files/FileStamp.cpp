#include "base/files/FileStamp.h"

#include <sys/stat.h>

#include "base/GamePaths.h"
#include "base/files/CurrentCopy.h"

namespace ketral {

FileStamp StampOf(const std::string& path)
{
    FileStamp stamp;
    struct stat st {};
    if (path.empty() || ::stat(ResolveCase(path).c_str(), &st) != 0) return stamp;
    stamp.exists = true;
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.modifiedSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    return stamp;
}

std::string ChangedOnDiskQuestion(const std::string& path)
{
    return path + " was changed by another program since it was opened. Overwrite it?";
}

FileChangedError::FileChangedError(const std::string& path)
    : Error(path + " was changed by another program since it was opened. Nothing was saved."), path_(path)
{
}

void OpenedFiles::Remember(const std::string& path)
{
    const std::string real = ResolveCase(path);
    const FileStamp stamp = StampOf(CurrentCopyOf(real));
    for (auto& [p, s] : files_)
        if (p == real) {
            s = stamp;
            return;
        }
    files_.emplace_back(real, stamp);
}

bool OpenedFiles::ChangedSinceOpened(const std::string& path) const
{
    const std::string real = ResolveCase(path);
    for (const auto& [p, s] : files_)
        if (p == real) return StampOf(CurrentCopyOf(p)) != s;
    return false;
}

std::string OpenedFiles::FirstChanged() const
{
    for (const auto& [p, s] : files_)
        if (StampOf(CurrentCopyOf(p)) != s) return p;
    return "";
}

}  // namespace ketral
