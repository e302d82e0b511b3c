#include "base/Png.h"

#include <sys/stat.h>

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <exception>
#include <new>

#include "base/Errors.h"
#include "base/PngMemory.h"
#include "base/files/FileWriter.h"

namespace ketral {

namespace {

// zlib's level for exported pictures. Map pictures are large areas of one
// colour and tiles repeated at short distances. On a 1920 x 1080 city picture
// level 7 comes within 15 % of level 9's size in half its time; level 6 is
// hardly faster and a third larger than level 9.
constexpr int kCompressionLevel = 7;

// What libpng's callbacks share with the encoder: where the bytes go, the
// exception that stopped the writing of them, and the message of any other
// error that stopped libpng.
struct PngSink {
    const ByteWriter* write = nullptr;
    std::exception_ptr failure;
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
    bool failed = false;
    try {
        (*sink->write)(data, n);
    } catch (...) {
        sink->failure = std::current_exception();
        failed = true;
    }
    // Outside the handler: png_error leaves this frame by longjmp.
    if (failed) png_error(png, "the picture's bytes could not be written");
}

void OnPngFlush(png_structp) {}

png_voidp TakePngMemory(png_structp png, png_alloc_size_t n)
{
    return static_cast<PngMemory*>(png_get_mem_ptr(png))->Take(n);
}

void GivePngMemory(png_structp png, png_voidp block) { static_cast<PngMemory*>(png_get_mem_ptr(png))->Give(block); }

// The three steps of libpng's row interface. Each returns false on an error,
// after which libpng's state is undefined and only destroying it is allowed.
// Every C++ object lives in the caller, so the longjmp of an error only
// leaves libpng's frames and the callbacks above, which hold nothing that
// needs destroying.
bool StartLibpng(png_structp png, png_infop info, PngSink& sink, int width, int height, const png_color* palette,
                 bool zeroTransparent)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &sink, OnPngWrite, OnPngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette, PNG_MAX_PALETTE_LENGTH);
    // Entries beyond the transparency table are opaque: one entry says it all.
    png_byte transparent[1] = {0};
    if (zeroTransparent) png_set_tRNS(png, info, transparent, 1, nullptr);
    // Row filters do not help palette indices; they only cost time.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, kCompressionLevel);
    png_write_info(png, info);
    return true;
}

bool RowsToLibpng(png_structp png, png_bytepp rows, png_uint_32 n)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_write_rows(png, rows, n);
    return true;
}

bool EndLibpng(png_structp png)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_write_end(png, nullptr);
    return true;
}

// An 8-bit palette PNG made row by row from the top; its bytes go to `write`
// as libpng makes them.
class PngRowEncoder {
public:
    PngRowEncoder(const ByteWriter& write, int width, int height, const ColorTable& colours, bool zeroTransparent = false,
                  PngMemory* memory = nullptr)
    {
        sink_.write = &write;
        png_ = memory ? png_create_write_struct_2(PNG_LIBPNG_VER_STRING, &sink_, OnPngError, OnPngWarning, memory,
                                                  TakePngMemory, GivePngMemory)
                      : png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink_, OnPngError, OnPngWarning);
        if (png_) info_ = png_create_info_struct(png_);
        if (!png_ || !info_) {
            png_destroy_write_struct(&png_, nullptr);
            throw Error("Cannot make the PNG picture: out of memory");
        }
        png_color palette[PNG_MAX_PALETTE_LENGTH];
        for (std::size_t i = 0; i < PNG_MAX_PALETTE_LENGTH; ++i)
            palette[i] = png_color{colours[i].r, colours[i].g, colours[i].b};
        // A constructor that throws runs no destructor: libpng's state goes first.
        if (!StartLibpng(png_, info_, sink_, width, height, palette, zeroTransparent)) {
            png_destroy_write_struct(&png_, &info_);
            Check(false);
        }
    }
    ~PngRowEncoder() { png_destroy_write_struct(&png_, &info_); }
    PngRowEncoder(const PngRowEncoder&) = delete;
    PngRowEncoder& operator=(const PngRowEncoder&) = delete;

    // The first `n` rows of `image`, which libpng copies before it works on
    // them: the image is only read.
    void Rows(const IndexedImage& image, int n)
    {
        rows_.resize(static_cast<std::size_t>(n));
        for (int y = 0; y < n; ++y) rows_[static_cast<std::size_t>(y)] = const_cast<png_bytep>(image.row(y));
        Check(RowsToLibpng(png_, rows_.data(), static_cast<png_uint_32>(n)));
    }
    void Finish() { Check(EndLibpng(png_)); }

private:
    void Check(bool ok)
    {
        if (ok) return;
        if (sink_.failure) std::rethrow_exception(sink_.failure);
        throw Error("Cannot make the PNG picture: " + std::string(sink_.message));
    }

    PngSink sink_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    std::vector<png_bytep> rows_;
};

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

std::vector<std::uint8_t> EncodePng(const IndexedImage& image, bool zeroTransparent, PngMemory* memory)
{
    std::vector<std::uint8_t> out;
    // Room for a well-compressed map picture, so that few reallocations follow.
    out.reserve(64 * 1024);
    const ByteWriter append = [&out](const void* data, std::size_t n) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        try {
            out.insert(out.end(), bytes, bytes + n);
        } catch (const std::bad_alloc&) {
            throw Error("Cannot make the PNG picture: out of memory");
        }
    };
    PngRowEncoder encoder(append, image.width(), image.height(), image.colors(), zeroTransparent, memory);
    encoder.Rows(image, image.height());
    encoder.Finish();
    return out;
}

// Whether `path` gets a PNG (true) or raw indices (false): by its ending, and
// a pipe or a character device without either ending (/dev/stdout) gets a PNG.
bool WritesPng(const std::string& path)
{
    if (EndsWith(path, ".png")) return true;
    if (EndsWith(path, ".raw")) return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))) return true;
    throw Error("Unknown picture file type: " + path + " (use .png or .raw)");
}

void WriteImageFile(const std::string& path, const IndexedImage& image)
{
    const std::vector<std::uint8_t> bytes = WritesPng(path) ? EncodePng(image) : RawPixels(image);
    WriteWholeFileAtomically(path, bytes.data(), bytes.size());
}

void WriteImageFile(const std::string& path, const BandedPicture& picture, int bandRows)
{
    const bool png = WritesPng(path);
    if (bandRows <= 0) bandRows = BandRows(picture.Width());
    WriteFileAtomically(path, [&](const ByteWriter& write) {
        if (png) {
            PngRowEncoder encoder(write, picture.Width(), picture.Height(), picture.Colors());
            ForEachBand(picture, bandRows, [&](const IndexedImage& band, int) { encoder.Rows(band, band.height()); });
            encoder.Finish();
        } else {
            ForEachBand(picture, bandRows, [&](const IndexedImage& band, int) {
                for (int y = 0; y < band.height(); ++y) write(band.row(y), static_cast<std::size_t>(band.width()));
            });
        }
    });
}

}  // namespace ketral
