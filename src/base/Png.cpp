#include "base/Png.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <new>

#include "base/Errors.h"
#include "base/FileWriter.h"

namespace ketral {

namespace {

// zlib's level for exported pictures. Map pictures are large areas of one
// colour and tiles repeated at short distances. On a 1920 x 1080 city picture
// level 7 comes within 15 % of level 9's size in half its time; level 6 is
// hardly faster and a third larger than level 9.
constexpr int kCompressionLevel = 7;

// What libpng's callbacks share with the encoder: where the bytes go and the
// message of the error that stopped it.
struct PngSink {
    std::vector<std::uint8_t>* out = nullptr;
    char message[256] = "";
};

void OnPngError(png_structp png, png_const_charp message)
{
    auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
    std::snprintf(sink->message, sizeof sink->message, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void OnPngWrite(png_structp png, png_bytep data, png_size_t n)
{
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    bool full = false;
    try {
        sink->out->insert(sink->out->end(), data, data + n);
    } catch (const std::bad_alloc&) {
        full = true;
    }
    // Outside the handler: png_error leaves this frame by longjmp.
    if (full) png_error(png, "out of memory");
}

void OnPngFlush(png_structp) {}

// Runs libpng from start to end. Every C++ object lives in the caller, so the
// longjmp of an error only leaves libpng's frames and the callbacks above,
// which hold nothing that needs destroying. Returns false on an error, whose
// text is then in sink.message.
bool RunLibpng(const IndexedImage& image, const png_color* palette, png_bytepp rows, PngSink& sink)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnPngError, OnPngWarning);
    if (!png) {
        std::snprintf(sink.message, sizeof sink.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        std::snprintf(sink.message, sizeof sink.message, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &sink, OnPngWrite, OnPngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette, PNG_MAX_PALETTE_LENGTH);
    // Row filters do not help palette indices; they only cost time.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, kCompressionLevel);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
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
    png_color palette[PNG_MAX_PALETTE_LENGTH];
    for (std::size_t i = 0; i < PNG_MAX_PALETTE_LENGTH; ++i)
        palette[i] = png_color{image.colors()[i].r, image.colors()[i].g, image.colors()[i].b};
    // libpng copies each row before it works on it: the image is only read.
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y) rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(image.row(y));

    std::vector<std::uint8_t> out;
    // Room for a well-compressed map picture, so that few reallocations follow.
    out.reserve(64 * 1024);
    PngSink sink;
    sink.out = &out;
    if (!RunLibpng(image, palette, rows.data(), sink))
        throw Error("Cannot make the PNG picture: " + std::string(sink.message));
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
    WriteWholeFileAtomically(path, bytes.data(), bytes.size());
}

}  // namespace ketral
