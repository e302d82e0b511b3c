#include "support/TempDir.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace ketral::testing {

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        fs::path p = base / ("ketral-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(p, ec)) {
            path_ = p.string() + "/";
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Make everything writable again so that read-only test files go too.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempDir::mkdir(const std::string& relative) const
{
    fs::create_directories(path_ + relative);
    std::string p = path_ + relative;
    if (!p.empty() && p.back() != '/') p += '/';
    return p;
}

std::string TempDir::write(const std::string& relative, const std::vector<std::uint8_t>& bytes) const
{
    fs::path p = path_ + relative;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + p.string());
    return p.string();
}

std::string TempDir::write(const std::string& relative, const std::string& text) const
{
    return write(relative, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) throw std::runtime_error("cannot read " + path);
    // In one read where the size is known: byte by byte, the many files the
    // save tests read back take most of their time in the sanitizer build.
    const std::streamoff size = in.tellg();
    if (size < 0) {
        in.clear();
        in.seekg(0);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (in.gcount() != size) throw std::runtime_error("cannot read " + path);
    return bytes;
}

}  // namespace ketral::testing
