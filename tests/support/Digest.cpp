#include "support/Digest.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace ketral::testing {

void Fnv1a64::Add(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) hash_ = (hash_ ^ bytes[i]) * 1099511628211ull;
}

std::string Fnv1a64::Hex() const
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash_));
    return text;
}

std::map<std::string, std::string> TreeDigests(const std::string& root)
{
    std::map<std::string, std::string> out;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string rel = fs::relative(entry.path(), root).generic_string();
        Fnv1a64 digest;
        if (entry.is_directory()) {
            rel += '/';
        } else {
            std::ifstream in(entry.path(), std::ios::binary);
            if (!in) throw std::runtime_error("cannot read " + entry.path().string());
            std::vector<char> block(1 << 16);
            while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0)
                digest.Add(block.data(), static_cast<std::size_t>(in.gcount()));
        }
        out[rel] = digest.Hex();
    }
    return out;
}

}  // namespace ketral::testing
