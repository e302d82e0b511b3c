#include "base/PngReader.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "base/Errors.h"
#include "base/PngMemory.h"

namespace ketral {

namespace {

// What libpng's callbacks share with the reader: the file's bytes, how far
// they are read, and the message of the error that stopped libpng.
struct PngInput {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t at = 0;
    char message[256] = "";
};

void OnPngError(png_structp png, png_const_charp message)
{
    auto* in = static_cast<PngInput*>(png_get_error_ptr(png));
    std::snprintf(in->message, sizeof in->message, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

png_voidp TakePngMemory(png_structp png, png_alloc_size_t n)
{
    return static_cast<PngMemory*>(png_get_mem_ptr(png))->Take(n);
}

void GivePngMemory(png_structp png, png_voidp block) { static_cast<PngMemory*>(png_get_mem_ptr(png))->Give(block); }

void OnPngRead(png_structp png, png_bytep out, png_size_t n)
{
    auto* in = static_cast<PngInput*>(png_get_io_ptr(png));
    if (n > in->size - in->at) png_error(png, "the file ends too early");
    std::memcpy(out, in->data + in->at, n);
    in->at += n;
}

struct Header {
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
};

// The steps of libpng's reading. Each returns false on an error, after which
// only destroying libpng's state is allowed. No C++ object lives in these
// frames, so the longjmp of an error leaves nothing undestroyed.
bool ReadHeader(png_structp png, png_infop info, Header& h)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    png_get_IHDR(png, info, &h.width, &h.height, &h.depth, &h.colour, &h.interlace, nullptr, nullptr);
    return true;
}

// Palette pictures keep their indices, one byte each; every other kind
// becomes 8-bit RGBA.
bool SetTransforms(png_structp png, png_infop info, const Header& h)
{
    if (setjmp(png_jmpbuf(png))) return false;
    if (h.colour == PNG_COLOR_TYPE_PALETTE) {
        if (h.depth < 8) png_set_packing(png);
    } else {
        if (h.depth < 8) png_set_expand_gray_1_2_4_to_8(png);
        const bool transparentColour = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
        if (transparentColour) png_set_tRNS_to_alpha(png);
        if (h.depth == 16) png_set_scale_16(png);
        if (h.colour == PNG_COLOR_TYPE_GRAY || h.colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
        if (!(h.colour & PNG_COLOR_MASK_ALPHA) && !transparentColour) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

bool ReadRows(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

class PngReadState {
public:
    PngReadState(PngInput& in, PngMemory* memory)
    {
        png_ = memory ? png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &in, OnPngError, OnPngWarning, memory,
                                                 TakePngMemory, GivePngMemory)
                      : png_create_read_struct(PNG_LIBPNG_VER_STRING, &in, OnPngError, OnPngWarning);
        if (png_) info_ = png_create_info_struct(png_);
        if (!png_ || !info_) {
            png_destroy_read_struct(&png_, &info_, nullptr);
            throw Error("Cannot read the picture: out of memory");
        }
        png_set_read_fn(png_, &in, OnPngRead);
        // Text and profile chunks are inflated into memory: a few megabytes
        // are plenty for any of them.
        png_set_chunk_malloc_max(png_, 8u << 20);
        png_set_keep_unknown_chunks(png_, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    }
    ~PngReadState() { png_destroy_read_struct(&png_, &info_, nullptr); }
    PngReadState(const PngReadState&) = delete;
    PngReadState& operator=(const PngReadState&) = delete;
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

}  // namespace

PngPicture ReadPng(ByteSource& source, const PngSizeCheck& checkSize, PngMemory* memory)
{
    RefuseLargerThan(source, kLargestPngFile, "picture");
    const std::string& name = source.name();
    const std::vector<std::uint8_t> bytes = ReadingFile(name, [&] { return source.bytes(0, static_cast<std::size_t>(source.size())); });
    const auto fail = [&name](const std::string& reason) { return Error("Cannot read the picture " + name + ": " + reason); };
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) throw fail("not a PNG file");

    PngInput in;
    in.data = bytes.data();
    in.size = bytes.size();
    PngReadState state(in, memory);
    Header h;
    if (!ReadHeader(state.png(), state.info(), h)) throw fail(in.message);
    // Refused before a pixel is decoded or memory is taken for it.
    checkSize(static_cast<int>(h.width), static_cast<int>(h.height));
    if (!SetTransforms(state.png(), state.info(), h)) throw fail(in.message);

    PngPicture pic;
    pic.Width = static_cast<int>(h.width);
    pic.Height = static_cast<int>(h.height);
    pic.Paletted = h.colour == PNG_COLOR_TYPE_PALETTE;
    if (pic.Paletted) {
        png_colorp colours = nullptr;
        int n = 0;
        if (png_get_PLTE(state.png(), state.info(), &colours, &n) == 0 || n <= 0) throw fail("its palette is missing");
        for (int i = 0; i < n; ++i) pic.Palette.push_back(Rgb{colours[i].red, colours[i].green, colours[i].blue});
        pic.PaletteAlpha.assign(pic.Palette.size(), 255);
        png_bytep alpha = nullptr;
        int nAlpha = 0;
        if (png_get_tRNS(state.png(), state.info(), &alpha, &nAlpha, nullptr) != 0 && alpha)
            for (int i = 0; i < nAlpha && i < n; ++i) pic.PaletteAlpha[static_cast<std::size_t>(i)] = alpha[i];
    }
    const std::size_t perPixel = pic.Paletted ? 1 : 4;
    const std::size_t rowBytes = static_cast<std::size_t>(pic.Width) * perPixel;
    if (png_get_rowbytes(state.png(), state.info()) != rowBytes) throw fail("its pixel format is not supported");
    ReadingFile(name, [&] { pic.Pixels.resize(rowBytes * static_cast<std::size_t>(pic.Height)); });
    std::vector<png_bytep> rows(static_cast<std::size_t>(pic.Height));
    for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = pic.Pixels.data() + y * rowBytes;
    if (!ReadRows(state.png(), rows.data())) throw fail(in.message);
    return pic;
}

}  // namespace ketral
