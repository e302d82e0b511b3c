#include "support/TestPng.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <stdexcept>

namespace ketral::testing {

namespace {

void OnWrite(png_structp png, png_bytep data, png_size_t n)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void OnFlush(png_structp) {}

int Channels(int colourType)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
    }
}

bool Encode(png_structp png, png_infop info, const TestPng& t, std::vector<png_color>& pal, png_color_16& trans,
            std::vector<std::vector<std::uint8_t>>& rows, std::vector<std::uint8_t>* out)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, OnWrite, OnFlush);
    png_set_check_for_invalid_index(png, 0);  // damaged pictures too
    png_set_IHDR(png, info, static_cast<png_uint_32>(t.width), static_cast<png_uint_32>(t.height), t.depth, t.colourType,
                 t.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (t.colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, pal.data(), static_cast<int>(pal.size()));
        if (!t.alpha.empty())
            png_set_tRNS(png, info, const_cast<png_bytep>(t.alpha.data()), static_cast<int>(t.alpha.size()), nullptr);
    } else if (t.transparentColour) {
        png_set_tRNS(png, info, nullptr, 0, &trans);
    }
    png_write_info(png, info);
    if (t.depth < 8) png_set_packing(png);
    std::vector<png_bytep> pointers;
    for (auto& r : rows) pointers.push_back(r.data());
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (png_bytep row : pointers) png_write_row(png, row);
    png_write_end(png, nullptr);
    return true;
}

std::uint32_t Be32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

void PutBe32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

}  // namespace

std::vector<std::uint8_t> WriteTestPng(const TestPng& t)
{
    const int channels = Channels(t.colourType);
    std::vector<std::vector<std::uint8_t>> rows(static_cast<std::size_t>(t.height));
    for (int y = 0; y < t.height; ++y)
        for (int x = 0; x < t.width * channels; ++x) {
            const std::uint16_t v = t.samples.at(static_cast<std::size_t>(y * t.width * channels + x));
            if (t.depth == 16) rows[static_cast<std::size_t>(y)].push_back(static_cast<std::uint8_t>(v >> 8));
            rows[static_cast<std::size_t>(y)].push_back(static_cast<std::uint8_t>(v));
        }
    std::vector<png_color> pal;
    for (const Rgb& c : t.palette) pal.push_back(png_color{c.r, c.g, c.b});
    png_color_16 trans{};
    if (t.transparentColour) {
        const auto& c = *t.transparentColour;
        if (c.size() == 1)
            trans.gray = c[0];
        else {
            trans.red = c.at(0);
            trans.green = c.at(1);
            trans.blue = c.at(2);
        }
    }
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const bool ok = Encode(png, info, t, pal, trans, rows, &out);
    png_destroy_write_struct(&png, &info);
    if (!ok) throw std::runtime_error("the test picture could not be made");
    return out;
}

std::vector<std::uint8_t> PalettePng(const IndexedImage& image, const std::vector<std::uint8_t>& alpha)
{
    TestPng t;
    t.width = image.width();
    t.height = image.height();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) t.samples.push_back(image.pixel(x, y));
    t.palette.assign(image.colors().begin(), image.colors().end());
    t.alpha = alpha;
    return WriteTestPng(t);
}

std::vector<std::uint8_t> WithDeclaredSize(std::vector<std::uint8_t> png, std::uint32_t width, std::uint32_t height)
{
    // The header chunk follows the 8-byte signature: length, "IHDR", 13 bytes, checksum.
    if (png.size() < 33 || Be32(png.data() + 8) != 13) throw std::runtime_error("no PNG header");
    PutBe32(png.data() + 16, width);
    PutBe32(png.data() + 20, height);
    PutBe32(png.data() + 29, static_cast<std::uint32_t>(crc32(0, png.data() + 12, 17)));
    return png;
}

}  // namespace ketral::testing
