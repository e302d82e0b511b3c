#include "base/GamePaths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/Errors.h"

namespace fs = std::filesystem;

namespace ketral {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool Exists(const std::string& p)
{
    std::error_code ec;
    return fs::exists(fs::path(p), ec);
}

}  // namespace

std::string AsciiUpper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string AsciiLower(std::string s)
{
    for (char& c : s) c = LowerAscii(c);
    return s;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::string ResolveCase(const std::string& path)
{
    if (path.empty() || Exists(path)) return path;
    // Walk the components; keep each one that exists as written, otherwise
    // take the first entry of its parent that matches without regard to case.
    std::string out;
    std::size_t pos = 0;
    if (path[0] == kPathSep) {
        out = std::string(1, kPathSep);
        pos = 1;
    }
    while (pos <= path.size()) {
        std::size_t next = path.find(kPathSep, pos);
        if (next == std::string::npos) next = path.size();
        std::string comp = path.substr(pos, next - pos);
        bool trailing = next < path.size();
        if (!comp.empty() && comp != "." && comp != "..") {
            std::string candidate = out + comp;
            if (!Exists(candidate)) {
                std::string parent = out.empty() ? std::string(".") : out;
                std::error_code ec;
                bool found = false;
                for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
                    std::string name = it->path().filename().string();
                    if (EqualsIgnoreCase(name, comp)) {
                        candidate = out + name;
                        found = true;
                        break;
                    }
                }
                if (!found) return path;
            }
            out = candidate;
        } else if (!comp.empty()) {
            out += comp;
        }
        if (trailing) out += kPathSep;
        pos = next + 1;
    }
    return out;
}

bool FileExists(const std::string& path)
{
    if (path.empty()) return false;
    std::error_code ec;
    fs::file_status st = fs::status(fs::path(ResolveCase(path)), ec);
    return !ec && fs::exists(st) && !fs::is_directory(st);
}

bool DirectoryExists(const std::string& path)
{
    if (path.empty()) return false;
    std::error_code ec;
    return fs::is_directory(fs::path(ResolveCase(path)), ec);
}

std::uint64_t FileSize(const std::string& path)
{
    std::error_code ec;
    auto n = fs::file_size(fs::path(ResolveCase(path)), ec);
    return ec ? 0 : static_cast<std::uint64_t>(n);
}

std::string WithTrailingSep(const std::string& dir)
{
    if (dir.empty() || dir.back() == kPathSep) return dir;
    return dir + kPathSep;
}

std::vector<DirEntry> ListDirectory(const std::string& dir, bool includeHidden)
{
    std::vector<DirEntry> out;
    std::error_code ec;
    fs::directory_iterator it(fs::path(ResolveCase(dir)), ec);
    if (ec) throw IoError("Cannot read directory: " + dir);
    for (fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) throw IoError("Cannot read directory: " + dir);
        DirEntry e;
        e.name = it->path().filename().string();
        if (e.name == "." || e.name == "..") continue;
        e.hidden = !e.name.empty() && e.name[0] == '.';
        std::error_code ec2;
        e.isDirectory = it->is_directory(ec2);
        if (e.hidden && !includeHidden) continue;
        out.push_back(std::move(e));
    }
    return out;
}

std::string ExecutableDir()
{
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return WithTrailingSep(fs::current_path(ec).string());
    return WithTrailingSep(exe.parent_path().string());
}

std::string DataDir()
{
    fs::path p = fs::path(ExecutableDir()) / ".." / "share" / "ketral";
    std::error_code ec;
    fs::path canon = fs::weakly_canonical(p, ec);
    return WithTrailingSep((ec ? p : canon).string());
}

}  // namespace ketral
