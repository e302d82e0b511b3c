#include "base/files/CopyNames.h"

#include <cstdint>
#include <filesystem>
#include <random>
#include <unistd.h>

#include "base/GamePaths.h"
#include "base/files/CommitRecord.h"

namespace ketral {

std::string DirectoryOf(const std::string& file)
{
    const std::size_t slash = file.find_last_of(kPathSep);
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string(1, kPathSep) : file.substr(0, slash);
}

std::string NameOf(const std::string& file)
{
    const std::size_t slash = file.find_last_of(kPathSep);
    return slash == std::string::npos ? file : file.substr(slash + 1);
}

std::string Join(const std::string& dir, const std::string& name) { return dir + kPathSep + name; }

std::string CopyName(const std::string& file, const std::string& suffix) { return "." + file + ".ketral-" + suffix; }

bool IsRecordName(const std::string& name)
{
    const std::size_t mark = name.rfind(kRecordMark);
    return name.size() > 1 && name[0] == '.' && mark != std::string::npos && mark > 1 &&
           IsCopySuffix(name.substr(mark + sizeof kRecordMark - 1));
}

std::string RandomSuffix()
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 gen(std::random_device{}() ^ (static_cast<std::uint64_t>(::getpid()) << 32));
    std::string s(6, 'x');
    for (char& c : s) c = kLetters[gen() % (sizeof kLetters - 1)];
    return s;
}

std::string RenameTarget(const std::string& path)
{
    std::error_code ec;
    std::filesystem::path p = path;
    for (int i = 0; i < 40 && std::filesystem::is_symlink(p, ec); ++i) {
        const std::filesystem::path link = std::filesystem::read_symlink(p, ec);
        if (ec) break;
        p = link.is_absolute() ? link : p.parent_path() / link;
    }
    std::filesystem::path target = std::filesystem::weakly_canonical(p, ec);
    return ec || target.empty() ? path : target.string();
}

std::vector<std::string> NamesIn(const std::string& dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    return names;
}

}  // namespace ketral
