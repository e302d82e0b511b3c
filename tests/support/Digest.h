#pragma once
// A small digest (FNV-1a, 64 bits) for comparing files and whole directory
// trees with digests committed beside the tests.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace ketral::testing {

class Fnv1a64 {
public:
    void Add(const void* data, std::size_t size);
    void Add(std::string_view text) { Add(text.data(), text.size()); }
    std::uint64_t Value() const { return hash_; }
    // The value as 16 lower-case hexadecimal digits.
    std::string Hex() const;

private:
    std::uint64_t hash_ = 14695981039346656037ull;
};

// Every file and directory below `root` by its path relative to it ('/'
// between names, a directory's path ending in '/'), with the digest of the
// file's bytes (of nothing for a directory), in the order of the paths.
std::map<std::string, std::string> TreeDigests(const std::string& root);

}  // namespace ketral::testing
