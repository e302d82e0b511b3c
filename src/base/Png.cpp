#include "base/Png.h"

#include <algorithm>
#include <array>

#include "base/Errors.h"
#include "base/FileWriter.h"

namespace ketral {

namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t n, std::uint32_t crc = 0)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBE32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

void Chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data)
{
    PutBE32(out, static_cast<std::uint32_t>(data.size()));
    std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBE32(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored (uncompressed) deflate blocks: simple and exact.
std::vector<std::uint8_t> ZlibStored(const std::vector<std::uint8_t>& raw)
{
    std::vector<std::uint8_t> z{0x78, 0x01};
    std::size_t pos = 0;
    do {
        std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<std::uint8_t>(n));
        z.push_back(static_cast<std::uint8_t>(n >> 8));
        z.push_back(static_cast<std::uint8_t>(~n));
        z.push_back(static_cast<std::uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos), raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
    } while (pos < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(z, (b << 16) | a);
    return z;
}

bool EndsWith(const std::string& s, const std::string& suffix)
{
    if (s.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = s[s.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

}  // namespace

std::vector<std::uint8_t> RawPixels(const IndexedImage& image)
{
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y) out.insert(out.end(), image.row(y), image.row(y) + image.width());
    return out;
}

std::vector<std::uint8_t> EncodePng(const IndexedImage& image)
{
    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    PutBE32(ihdr, static_cast<std::uint32_t>(image.width()));
    PutBE32(ihdr, static_cast<std::uint32_t>(image.height()));
    ihdr.insert(ihdr.end(), {8, 3, 0, 0, 0});  // 8 bits, palette, deflate, no filter, no interlace
    Chunk(out, "IHDR", ihdr);
    std::vector<std::uint8_t> plte;
    for (const Rgb& c : image.colors()) plte.insert(plte.end(), {c.r, c.g, c.b});
    Chunk(out, "PLTE", plte);
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(image.width() + 1) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), image.row(y), image.row(y) + image.width());
    }
    Chunk(out, "IDAT", ZlibStored(raw));
    Chunk(out, "IEND", {});
    return out;
}

void WriteImageFile(const std::string& path, const IndexedImage& image)
{
    std::vector<std::uint8_t> bytes;
    if (EndsWith(path, ".png"))
        bytes = EncodePng(image);
    else if (EndsWith(path, ".raw"))
        bytes = RawPixels(image);
    else
        throw Error("Unknown picture file type: " + path + " (use .png or .raw)");
    WriteWholeFile(path, bytes.data(), bytes.size());
}

}  // namespace ketral
