#include <gtest/gtest.h>

#include <png.h>
#include <sys/resource.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>

#include "base/Errors.h"
#include "base/Png.h"
#include "base/PngMemory.h"
#include "base/PngReader.h"
#include "support/TempDir.h"
#include "support/WriteProtect.h"

using namespace ketral;
using ketral::testing::ReadFileBytes;
using ketral::testing::TempDir;
using ketral::testing::WriteProtect;

namespace {

// A PNG as libpng reads it back, without any conversion.
struct DecodedPng {
    bool ok = false;
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0;
    std::vector<png_color> palette;
    std::vector<std::uint8_t> pixels;  // width x height, row by row
};

struct MemoryReader {
    const std::vector<std::uint8_t>* bytes;
    std::size_t pos = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t n)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (n > reader->bytes->size() - reader->pos) png_error(png, "read past the end");
    std::memcpy(out, reader->bytes->data() + reader->pos, n);
    reader->pos += n;
}

// Every C++ object lives in the caller; libpng's errors longjmp back here.
bool RunDecoder(MemoryReader& reader, DecodedPng& d, std::vector<png_bytep>& rows)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    png_get_IHDR(png, info, &d.width, &d.height, &d.bitDepth, &d.colorType, nullptr, nullptr, nullptr);
    png_colorp palette = nullptr;
    int entries = 0;
    if (png_get_PLTE(png, info, &palette, &entries) & PNG_INFO_PLTE) d.palette.assign(palette, palette + entries);
    if (d.bitDepth == 8 && d.colorType == PNG_COLOR_TYPE_PALETTE && png_get_rowbytes(png, info) == d.width) {
        // Sized before the first longjmp can come from the rows.
        for (png_uint_32 y = 0; y < d.height; ++y) rows.push_back(d.pixels.data() + std::size_t{y} * d.width);
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

DecodedPng Decode(const std::vector<std::uint8_t>& bytes)
{
    DecodedPng d;
    MemoryReader reader{&bytes};
    std::vector<png_bytep> rows;
    // Large enough for any picture of these tests, so that nothing is
    // allocated between libpng's calls.
    d.pixels.resize(4u << 20);
    rows.reserve(4096);
    d.ok = RunDecoder(reader, d, rows);
    d.pixels.resize(std::size_t{d.width} * d.height);
    return d;
}

// Every index in every row, in a pattern that differs from row to row; the
// width leaves padding at the end of each row of the image.
IndexedImage PatternImage(int width, int height)
{
    IndexedImage img(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) img.setPixel(x, y, static_cast<std::uint8_t>(x * 7 + y * 31));
    for (int i = 0; i < 256; ++i)
        img.colors()[static_cast<std::size_t>(i)] =
            Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 3)};
    return img;
}

// Pixels that do not compress.
IndexedImage NoiseImage(int width, int height)
{
    IndexedImage img(width, height);
    std::uint32_t state = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            img.setPixel(x, y, static_cast<std::uint8_t>(state >> 24));
        }
    return img;
}

std::set<std::string> DirectoryNames(const std::string& dir)
{
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

std::string ErrorOf(const std::string& path, const IndexedImage& img)
{
    try {
        WriteImageFile(path, img);
    } catch (const IoError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(Png, RawFilesHoldTheIndicesRowByRowWithoutPadding)
{
    IndexedImage img(3, 2);
    img.setPixel(0, 0, 1);
    img.setPixel(2, 1, 9);
    TempDir dir;
    WriteImageFile(dir / "a.raw", img);
    EXPECT_EQ(ReadFileBytes(dir / "a.raw"), (std::vector<std::uint8_t>{1, 0, 0, 0, 0, 9}));
    EXPECT_THROW(WriteImageFile(dir / "a.bmp", img), Error);
}

TEST(Png, APipeWithoutAnEndingGetsThePng)
{
    IndexedImage img(3, 2);
    img.setPixel(2, 1, 9);
    TempDir dir;
    const std::string pipe = dir / "out";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    WriteImageFile(pipe, img);
    std::vector<std::uint8_t> got(4096);
    const ssize_t n = ::read(reader, got.data(), got.size());
    ::close(reader);
    ASSERT_GT(n, 0);
    got.resize(static_cast<std::size_t>(n));
    EXPECT_EQ(got, EncodePng(img));
}

TEST(Png, DecodesToThePaletteAndEveryIndex)
{
    const IndexedImage img = PatternImage(301, 37);
    const DecodedPng d = Decode(EncodePng(img));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, 301u);
    EXPECT_EQ(d.height, 37u);
    EXPECT_EQ(d.bitDepth, 8);
    EXPECT_EQ(d.colorType, PNG_COLOR_TYPE_PALETTE);
    ASSERT_EQ(d.palette.size(), 256u);
    for (std::size_t i = 0; i < 256; ++i) {
        const Rgb& c = img.colors()[i];
        EXPECT_EQ(d.palette[i].red, c.r) << i;
        EXPECT_EQ(d.palette[i].green, c.g) << i;
        EXPECT_EQ(d.palette[i].blue, c.b) << i;
    }
    EXPECT_EQ(d.pixels, RawPixels(img));
}

TEST(Png, RepeatedPatternsAreCompressed)
{
    // Map pictures are mostly one colour and tiles repeated.
    IndexedImage img(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) img.setPixel(x, y, static_cast<std::uint8_t>((x / 4 + y / 8) % 16 == 0 ? 7 : 0));
    const std::vector<std::uint8_t> png = EncodePng(img);
    EXPECT_LT(png.size(), 640u * 480u / 50u);
    const DecodedPng d = Decode(png);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, RawPixels(img));
}

TEST(Png, AnImageLibpngRefusesIsAnError)
{
    const IndexedImage empty(0, 4);
    try {
        EncodePng(empty);
        FAIL() << "an image without width was encoded";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot make the PNG picture: ", 0), 0u) << e.what();
    }
    TempDir dir;
    EXPECT_THROW(WriteImageFile(dir / "empty.png", empty), Error);
    EXPECT_TRUE(DirectoryNames(dir.path()).empty());
}

TEST(Png, AFileIsReplacedWholeWithItsPermissions)
{
    TempDir dir;
    const std::string path = dir.write("map.png", std::vector<std::uint8_t>(5000, 0xAB));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const IndexedImage img = PatternImage(40, 30);
    WriteImageFile(path, img);
    EXPECT_EQ(ReadFileBytes(path), EncodePng(img));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(DirectoryNames(dir.path()), std::set<std::string>{"map.png"});
}

TEST(Png, FailedWritesAreReportedAndLeaveNothingBehind)
{
    TempDir dir;
    const IndexedImage img = NoiseImage(301, 200);

    // A directory this process may not write into.
    const std::string locked = dir.mkdir("locked");
    {
        WriteProtect protect(locked);
        EXPECT_EQ(ErrorOf(dir / "locked/a.png", img), "Cannot create file: " + dir / "locked/a.png");
    }
    EXPECT_TRUE(DirectoryNames(locked).empty());

    // The new file is complete but cannot take the place of a directory.
    dir.mkdir("taken.png");
    const std::string taken = dir / "taken.png";
    EXPECT_EQ(ErrorOf(taken, img), "Cannot write file: " + taken);
    EXPECT_TRUE(std::filesystem::is_directory(taken));

    // The disk fills up halfway through: the old picture stays as it was.
    const std::vector<std::uint8_t> old(100, 0x5A);
    const std::string path = dir.write("full.png", old);
    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    struct rlimit small = before;
    small.rlim_cur = 4096;
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = ErrorOf(path, img);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_GT(EncodePng(img).size(), 20000u);
    EXPECT_EQ(error, "Cannot write file: " + path);
    EXPECT_EQ(ReadFileBytes(path), old);

    EXPECT_EQ(DirectoryNames(dir.path()), (std::set<std::string>{"full.png", "locked", "taken.png"}));
}

namespace {

// A picture whose band is cut from a whole image; a band drawn past
// `failAtRow` throws, as a drawing that runs out of memory would.
class CutPicture : public BandedPicture {
public:
    explicit CutPicture(IndexedImage whole, int failAtRow = 1 << 30) : whole_(std::move(whole)), failAtRow_(failAtRow) {}
    int Width() const override { return whole_.width(); }
    int Height() const override { return whole_.height(); }
    const ColorTable& Colors() const override { return whole_.colors(); }
    void DrawBand(IndexedImage& band, int top) const override
    {
        EXPECT_EQ(band.width(), Width());
        EXPECT_EQ(band.colors(), Colors());
        if (top + band.height() > failAtRow_) throw Error("drawing failed");
        for (int y = 0; y < band.height(); ++y)
            for (int x = 0; x < band.width(); ++x) {
                EXPECT_EQ(band.pixel(x, y), 0);  // every band starts empty
                band.setPixel(x, y, whole_.pixel(x, top + y));
            }
    }

private:
    IndexedImage whole_;
    int failAtRow_;
};

}  // namespace

TEST(Png, APictureDrawnInBandsIsWrittenAsTheWholeImage)
{
    TempDir dir;
    const IndexedImage whole = PatternImage(43, 37);
    const CutPicture picture(whole);
    for (int rows : {0, 1, 5, 36, 37, 100}) {
        SCOPED_TRACE(rows);
        WriteImageFile(dir / "a.png", picture, rows);
        EXPECT_EQ(ReadFileBytes(dir / "a.png"), EncodePng(whole));
        WriteImageFile(dir / "a.raw", picture, rows);
        EXPECT_EQ(ReadFileBytes(dir / "a.raw"), RawPixels(whole));
    }
    IndexedImage once = DrawWholePicture(picture);
    EXPECT_EQ(RawPixels(once), RawPixels(whole));
    EXPECT_EQ(once.colors(), whole.colors());
    EXPECT_THROW(WriteImageFile(dir / "a.bmp", picture), Error);
    EXPECT_EQ(DirectoryNames(dir.path()), (std::set<std::string>{"a.png", "a.raw"}));
    // Bands of a few megabytes, at least one row.
    EXPECT_EQ(BandRows(1024), static_cast<int>(kBandBytes / 1024));
    EXPECT_EQ(BandRows(static_cast<int>(kBandBytes) + 1), 1);
}

TEST(Png, APictureThatFailsHalfwayLeavesTheOldFile)
{
    TempDir dir;
    const std::vector<std::uint8_t> old(100, 0x5A);
    const std::string png = dir.write("map.png", old), raw = dir.write("map.raw", old);

    // The drawing fails in its third band.
    const CutPicture failing(NoiseImage(300, 200), 25);
    for (const std::string& path : {png, raw}) {
        try {
            WriteImageFile(path, failing, 10);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "drawing failed");
        }
        EXPECT_EQ(ReadFileBytes(path), old);
    }

    // The disk fills up halfway through.
    const CutPicture picture(NoiseImage(301, 200));
    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    struct rlimit small = before;
    small.rlim_cur = 4096;
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::vector<std::string> errors;
    for (const std::string& path : {png, raw}) {
        try {
            WriteImageFile(path, picture, 10);
            errors.push_back("no error");
        } catch (const IoError& e) {
            errors.push_back(e.what());
        }
    }
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(errors, (std::vector<std::string>{"Cannot write file: " + png, "Cannot write file: " + raw}));
    EXPECT_EQ(ReadFileBytes(png), old);
    EXPECT_EQ(ReadFileBytes(raw), old);
    EXPECT_EQ(DirectoryNames(dir.path()), (std::set<std::string>{"map.png", "map.raw"}));
}

namespace {

// Memory kept from one picture to the next gives back a block only for a
// request of its own size, and pictures encoded and decoded with it, one
// after another, come out exactly as without it.
TEST(PngMemory, KeptBlocksServeTheirSizeAndPicturesComeOutTheSame)
{
    PngMemory memory;
    void* a = memory.Take(100);
    ASSERT_NE(a, nullptr);
    std::memset(a, 1, 100);
    memory.Give(a);
    void* b = memory.Take(50);  // smaller: not the kept block
    EXPECT_NE(b, a);
    void* c = memory.Take(200);  // larger: not the kept block either
    EXPECT_NE(c, a);
    EXPECT_EQ(memory.Take(100), a);  // the same size: the kept block
    memory.Give(a);
    memory.Give(b);
    memory.Give(c);
    memory.Give(nullptr);

    struct Case {
        int width, height;
        bool noise, zeroTransparent;
    };
    const Case cases[] = {{1, 1, false, true}, {301, 37, false, false}, {64, 48, true, true}, {2000, 3, false, true},
                          {17, 900, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        const IndexedImage img = c.noise ? NoiseImage(c.width, c.height) : PatternImage(c.width, c.height);
        const std::vector<std::uint8_t> plain = EncodePng(img, c.zeroTransparent);
        const std::vector<std::uint8_t> kept = EncodePng(img, c.zeroTransparent, &memory);
        EXPECT_EQ(kept, plain);
        MemorySource source(kept, "p.png");
        const PngPicture read = ReadPng(source, [](int, int) {}, &memory);
        EXPECT_EQ(read.Width, c.width);
        EXPECT_EQ(read.Height, c.height);
        EXPECT_EQ(read.Pixels, RawPixels(img));
    }
}

}  // namespace
