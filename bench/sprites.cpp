// Importing and exporting pictures of tiles:
//  - 256 tiles of 64 x 48 imported into a collection, next to writing the
//    same two files with std::filesystem::copy_file and decoding the same
//    pictures;
//  - the demo's city collection exported, next to encoding the same
//    pictures as PNGs.
//
// Drawing a tactical map view of 1920 x 1080 pixels from the demo's tile sets
// (thousands of overlapping sprites, some clipped at the edges), next to
//  - memcpy of the same pixel bytes in pieces of the same lengths and places
//    as the drawn runs: the physical limit of the indexed drawing;
//  - the same sprites as ARGB images drawn with QPainter::drawImage, the way
//    most editors draw tiles.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchDemo.h"
#include "base/GamePaths.h"
#include "base/Png.h"
#include "base/PngReader.h"
#include "base/files/FileWriter.h"
#include "demo/DemoParts.h"
#include "demo/DemoTiles.h"
#include "sprites/GamePalette.h"
#include "sprites/SpriteCollection.h"
#include "sprites/SpriteExport.h"
#include "sprites/SpriteImport.h"
#include "sprites/SpritePicture.h"
#include "sprites/SpriteWriter.h"

namespace {

using namespace ketral;

constexpr int kWidth = 1920, kHeight = 1080;

struct Placed {
    int set, index, x, y;
};

struct Piece {
    std::size_t offset;
    const std::uint8_t* src;
    std::size_t length;
};

struct Scene {
    std::unique_ptr<SpriteCollection> sets[4];
    std::vector<Placed> sprites;
    std::vector<Piece> pieces;  // the visible pixels of every drawn run
    ColorTable colors{};
    std::vector<QImage> argb[4];
    std::size_t pixelBytes = 0;
};

// The demo's tile sets of one map directory, written into a temporary directory.
void LoadTileSets(Scene& s)
{
    const std::string root = bench::ScratchDirectory("sprites");
    const DemoLayout layout = MakeDemoLayout(root);
    WriteDemoArt(layout);
    const char* names[4] = {"ground", "left", "right", "feature"};
    for (int i = 0; i < 4; ++i) {
        s.sets[i] = std::make_unique<SpriteCollection>();
        s.sets[i]->LoadFramed(layout.maps + kDemoMapDirs[0] + "/mapunits/" + names[i]);
    }
    s.colors = LoadPalette(layout.tacdata + "tactical.pal")->Colors();
    std::filesystem::remove_all(root);
}

// A map as the isometric view draws it: rows of constant y, within a row
// level by level, each cell's ground, left and right walls and feature.
void LayOut(Scene& s)
{
    using namespace ketral::demo;
    const int ox = kWidth, oy = -24 * (kWidth / 48) - 52;
    for (int y = 0; y < 140; ++y)
        for (int z = 0; z < 2; ++z)
            for (int x = 0; x < 140; ++x) {
                const int px = ox + 24 * (x - y) - 24 * 70, py = oy + 12 * (x + y) - 40 * z + 400;
                if (px + 48 <= 0 || px >= kWidth || py + 66 <= 0 || py >= kHeight) continue;
                const unsigned h = static_cast<unsigned>(x * 7 + y * 13 + z * 5);
                if (z == 0 || (x % 12 < 4 && y % 12 < 4))
                    s.sprites.push_back({0, 1 + static_cast<int>(h % (kGroundTileCount - 1)), px, py});
                if (x % 6 == 0 && h % 3 != 0) s.sprites.push_back({1, 1 + static_cast<int>(h % (kWallTileCount - 1)), px, py});
                if (y % 5 == 0 && h % 4 != 0) s.sprites.push_back({2, 1 + static_cast<int>(h % (kWallTileCount - 1)), px, py});
                if (h % 9 == 0) s.sprites.push_back({3, 1 + static_cast<int>(h % (kFeatureTileCount - 1)), px, py});
            }
}

// The visible part of every run, clipped as Draw clips it.
void CutPieces(Scene& s)
{
    const std::size_t stride = (kWidth + 3) & ~3;
    for (const Placed& p : s.sprites) {
        for (const SpriteRun& r : s.sets[p.set]->At(p.index)->Runs) {
            const int px = p.x + r.X, py = p.y + r.Row;
            if (py < 0 || py >= kHeight) continue;
            const int from = std::max(0, -px), to = std::min(r.Length, kWidth - px);
            if (from >= to) continue;
            s.pieces.push_back({static_cast<std::size_t>(py) * stride + static_cast<std::size_t>(px + from),
                                r.Pixels.data() + from, static_cast<std::size_t>(to - from)});
            s.pixelBytes += static_cast<std::size_t>(to - from);
        }
    }
}

// Each sprite as a premultiplied ARGB image, index 0 transparent.
void MakeArgb(Scene& s)
{
    for (int set = 0; set < 4; ++set)
        for (int i = 0; i < s.sets[set]->Count(); ++i) {
            IndexedImage cell(48, 66);
            s.sets[set]->Draw(i, 0, 0, cell);
            QImage img(48, 66, QImage::Format_ARGB32_Premultiplied);
            img.fill(Qt::transparent);
            for (int y = 0; y < 66; ++y)
                for (int x = 0; x < 48; ++x)
                    if (std::uint8_t v = cell.pixel(x, y)) img.setPixel(x, y, qRgb(s.colors[v].r, s.colors[v].g, s.colors[v].b));
            s.argb[set].push_back(img);
        }
}

Scene& TheScene()
{
    static Scene* scene = [] {
        auto* s = new Scene;
        LoadTileSets(*s);
        LayOut(*s);
        CutPieces(*s);
        MakeArgb(*s);
        return s;
    }();
    return *scene;
}

void Report(benchmark::State& state, const Scene& s)
{
    state.counters["sprites"] = static_cast<double>(s.sprites.size());
    state.counters["runs"] = static_cast<double>(s.pieces.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(s.pixelBytes));
}

void BM_SpriteDraw(benchmark::State& state)
{
    Scene& s = TheScene();
    IndexedImage view(kWidth, kHeight);
    for (auto _ : state) {
        for (const Placed& p : s.sprites) s.sets[p.set]->Draw(p.index, p.x, p.y, view);
        benchmark::DoNotOptimize(view.bits());
        benchmark::ClobberMemory();
    }
    Report(state, s);
}
BENCHMARK(BM_SpriteDraw)->Unit(benchmark::kMicrosecond);

void BM_MemcpyOfTheSameRuns(benchmark::State& state)
{
    Scene& s = TheScene();
    IndexedImage view(kWidth, kHeight);
    std::uint8_t* bits = view.bits();
    for (auto _ : state) {
        for (const Piece& p : s.pieces) std::memcpy(bits + p.offset, p.src, p.length);
        benchmark::DoNotOptimize(bits);
        benchmark::ClobberMemory();
    }
    Report(state, s);
}
BENCHMARK(BM_MemcpyOfTheSameRuns)->Unit(benchmark::kMicrosecond);

void BM_QPainterDrawImage(benchmark::State& state)
{
    Scene& s = TheScene();
    QImage view(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    view.fill(Qt::black);
    for (auto _ : state) {
        QPainter painter(&view);
        for (const Placed& p : s.sprites) painter.drawImage(p.x, p.y, s.argb[p.set][p.index]);
        painter.end();
        benchmark::DoNotOptimize(view.constBits());
    }
    Report(state, s);
}
BENCHMARK(BM_QPainterDrawImage)->Unit(benchmark::kMicrosecond);

// ---- import and export -------------------------------------------------------

namespace fs = std::filesystem;

ColorTable BenchPalette()
{
    ColorTable t{};
    for (int i = 0; i < 256; ++i)
        t[static_cast<std::size_t>(i)] = Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(255 - i)};
    return t;
}

// A 64 x 48 tile: a diamond of floor with some texture in colours from `seed`.
IndexedImage Tile(int seed)
{
    IndexedImage image(64, 48);
    image.setColors(BenchPalette());
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            if (std::abs(x - 32) * 48 + std::abs(y - 24) * 64 <= 64 * 24)
                image.setPixel(x, y, static_cast<std::uint8_t>(1 + (seed * 7 + x / 4 + y / 3) % 250));
    return image;
}

struct ImportScene {
    std::string dir;
    std::string base;
    std::vector<std::uint8_t> tab, pck;           // the collection before
    std::vector<std::uint8_t> newTab, newPck;     // and after the import
    std::vector<std::vector<std::uint8_t>> pngs;  // the pictures imported
};

ImportScene& TheImportScene()
{
    static ImportScene* scene = [] {
        auto* s = new ImportScene;
        s->dir = bench::ScratchDirectory("import");
        fs::create_directories(s->dir + "in");
        s->base = s->dir + "tiles";
        std::vector<Sprite> sprites;
        for (int i = 0; i < 256; ++i) sprites.push_back(SpriteFromImage(Tile(i), FramedKind));
        const PckFiles f = EncodeSpriteCollection(sprites, FramedKind, PckOffsetUnit::FourBytes);
        s->tab = f.tab;
        s->pck = f.pck;
        for (int i = 0; i < 256; ++i) {
            s->pngs.push_back(EncodePng(Tile(i + 1000), true));
            WriteWholeFile(s->dir + "in/" + SpritePictureName(i), s->pngs.back().data(), s->pngs.back().size());
        }
        WriteWholeFile(s->base + ".tab", s->tab.data(), s->tab.size());
        WriteWholeFile(s->base + ".pck", s->pck.data(), s->pck.size());
        SpriteImport import = ImportDirectory(s->base, FramedKind, BenchPalette(), s->dir + "in");
        import.Save();
        s->newTab = ReadWholeFile(s->base + ".tab", 1u << 30, "tab");
        s->newPck = ReadWholeFile(s->base + ".pck", 1u << 30, "pck");
        return s;
    }();
    return *scene;
}

void RestoreCollection(const ImportScene& s)
{
    WriteWholeFile(s.base + ".tab", s.tab.data(), s.tab.size());
    WriteWholeFile(s.base + ".pck", s.pck.data(), s.pck.size());
}

void BM_ImportOf256Tiles(benchmark::State& state)
{
    ImportScene& s = TheImportScene();
    for (auto _ : state) {
        state.PauseTiming();
        RestoreCollection(s);
        state.ResumeTiming();
        SpriteImport import = ImportDirectory(s.base, FramedKind, BenchPalette(), s.dir + "in");
        import.Save();
        benchmark::DoNotOptimize(import.Replaced().size());
    }
}
BENCHMARK(BM_ImportOf256Tiles)->Unit(benchmark::kMillisecond);

// The two files the import writes, copied into place.
void BM_CopyFileOfTheSameTwoFiles(benchmark::State& state)
{
    ImportScene& s = TheImportScene();
    WriteWholeFile(s.dir + "new.tab", s.newTab.data(), s.newTab.size());
    WriteWholeFile(s.dir + "new.pck", s.newPck.data(), s.newPck.size());
    for (auto _ : state) {
        fs::copy_file(s.dir + "new.tab", s.base + ".tab", fs::copy_options::overwrite_existing);
        fs::copy_file(s.dir + "new.pck", s.base + ".pck", fs::copy_options::overwrite_existing);
    }
}
BENCHMARK(BM_CopyFileOfTheSameTwoFiles)->Unit(benchmark::kMillisecond);

void BM_DecodingTheSamePictures(benchmark::State& state)
{
    ImportScene& s = TheImportScene();
    for (auto _ : state)
        for (const auto& png : s.pngs) {
            MemorySource src(png, "p.png");
            benchmark::DoNotOptimize(ReadPng(src, [](int, int) {}).Pixels.data());
        }
}
BENCHMARK(BM_DecodingTheSamePictures)->Unit(benchmark::kMillisecond);

struct CityScene {
    std::string dir;
    std::unique_ptr<SpriteCollection> city;
    ColorTable colours{};
};

CityScene& TheCityScene()
{
    static CityScene* scene = [] {
        auto* s = new CityScene;
        s->dir = bench::ScratchDirectory("export");
        const DemoLayout layout = MakeDemoLayout(s->dir);
        WriteDemoArt(layout);
        s->city = std::make_unique<SpriteCollection>();
        s->city->LoadFramed(layout.vyxdata + "city");
        s->colours = LoadPalette(layout.vyxdata + "pal_01.dat")->Colors();
        return s;
    }();
    return *scene;
}

void BM_ExportOfTheDemoCity(benchmark::State& state)
{
    CityScene& s = TheCityScene();
    for (auto _ : state) benchmark::DoNotOptimize(ExportSprites(*s.city, FramedKind, s.colours, s.dir + "out"));
    state.counters["sprites"] = s.city->Count();
}
BENCHMARK(BM_ExportOfTheDemoCity)->Unit(benchmark::kMicrosecond);

void BM_PngEncodingOfTheSamePictures(benchmark::State& state)
{
    CityScene& s = TheCityScene();
    std::vector<IndexedImage> pictures;
    for (int i = 0; i < s.city->Count(); ++i) {
        pictures.push_back(SpritePicture(*s.city->At(i)));
        pictures.back().setColors(s.colours);
    }
    for (auto _ : state)
        for (const IndexedImage& p : pictures) benchmark::DoNotOptimize(EncodePng(p, true).data());
}
BENCHMARK(BM_PngEncodingOfTheSamePictures)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
