#pragma once
// A fresh temporary directory for one test, removed with everything in it
// when the object goes.
#include <cstdint>
#include <string>
#include <vector>

namespace ketral::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory, ending with the path separator.
    const std::string& path() const { return path_; }
    // path() + relative; parent directories of a file are created by write().
    std::string operator/(const std::string& relative) const { return path_ + relative; }
    std::string write(const std::string& relative, const std::vector<std::uint8_t>& bytes) const;
    std::string write(const std::string& relative, const std::string& text) const;
    std::string mkdir(const std::string& relative) const;

private:
    std::string path_;
};

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

}  // namespace ketral::testing
