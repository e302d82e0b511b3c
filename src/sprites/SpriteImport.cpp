#include "sprites/SpriteImport.h"

#include <algorithm>
#include <map>

#include "base/CountedNoun.h"
#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/PngMemory.h"
#include "base/PngReader.h"
#include "sprites/CollectionUpdate.h"
#include "sprites/SpritePicture.h"

namespace ketral {

namespace {

constexpr int kLargestNumber = 999999999;

struct Frame {
    std::int64_t Left = 0, Top = 0, Width = 0, Height = 0;
    friend bool operator==(const Frame&, const Frame&) = default;
};

Frame FrameOf(const Sprite& s) { return Frame{s.Left, s.Top, s.Width, s.Height}; }

// A frame the ".pck" can store (its edges are 16-bit numbers) under which the
// loader, cutting every run at the frame's width, keeps every pixel.
bool KeepsEveryPixel(const Frame& f, const PixelBox& box)
{
    const auto u16 = [](std::int64_t v) { return v >= 0 && v <= 0xFFFF; };
    if (!u16(f.Left) || !u16(f.Left + f.Width + 1) || !u16(f.Top) || !u16(f.Top + f.Height)) return false;
    return box.Empty || f.Width >= box.Right;
}

// The sprite's own frame is kept only when it also shows every row.
bool ShowsEveryPixel(const Frame& f, const PixelBox& box)
{
    return KeepsEveryPixel(f, box) && (box.Empty || (f.Top <= box.Top && f.Top + f.Height >= box.Bottom));
}

Frame PixelFrame(const PixelBox& box)
{
    if (box.Empty) return Frame{};
    return Frame{0, box.Top, box.Right, box.Bottom - box.Top};
}

}  // namespace

std::optional<int> PictureNumber(const std::string& fileName)
{
    if (fileName.size() < 5 || !EqualsIgnoreCase(fileName.substr(fileName.size() - 4), ".png")) return std::nullopt;
    const std::string digits = fileName.substr(0, fileName.size() - 4);
    std::int64_t n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        n = std::min<std::int64_t>(n * 10 + (c - '0'), kLargestNumber);
    }
    return static_cast<int>(n);
}

std::vector<ImportPicture> PicturesNamedByNumber(const std::string& dir)
{
    const std::string d = WithTrailingSep(dir);
    if (!DirectoryExists(d)) throw IoError("Cannot open directory: " + dir);
    std::map<int, std::string> found;
    for (const DirEntry& e : ListDirectory(d)) {
        if (e.isDirectory) continue;
        const std::optional<int> n = PictureNumber(e.name);
        if (!n) continue;
        auto [it, fresh] = found.emplace(*n, d + e.name);
        if (!fresh) {
            const std::string a = std::min(it->second, d + e.name), b = std::max(it->second, d + e.name);
            throw Error("The pictures " + a + " and " + b + " both stand for sprite " + std::to_string(*n));
        }
    }
    std::vector<ImportPicture> pictures;
    for (const auto& [n, path] : found) pictures.push_back({n, path});
    return pictures;
}

ImportedSprite ReadImportedSprite(ByteSource& picture, SpriteKind kind, const ColorTable& palette, const Sprite* old,
                                  const CollectionIndexEntry* listed, PngMemory* memory)
{
    const std::string& name = picture.name();
    const PngPicture png = ReadPng(picture, [&name](int w, int h) { CheckSpritePictureSize(w, h, name); }, memory);
    const MappedPicture mapped = MapPictureColours(png, palette, name);
    ImportedSprite out;
    out.Approximated = mapped.Approximated;
    Sprite& sprite = out.NewSprite;
    sprite.Runs = RunsOfPicture(mapped.Pixels, kind, name);
    if (kind == PlainKind) {
        sprite.Width = sprite.Height = 8;
    } else {
        const PixelBox box = NonZeroBox(mapped.Pixels);
        Frame f = PixelFrame(box);
        if (listed && KeepsEveryPixel(Frame{listed->Left, listed->Top, listed->Width, listed->Height}, box))
            f = Frame{listed->Left, listed->Top, listed->Width, listed->Height};
        else if (old && ShowsEveryPixel(FrameOf(*old), box))
            f = FrameOf(*old);
        sprite.Left = static_cast<std::int32_t>(f.Left);
        sprite.Top = static_cast<std::int32_t>(f.Top);
        sprite.Width = static_cast<std::int32_t>(f.Width);
        sprite.Height = static_cast<std::int32_t>(f.Height);
    }
    out.SameAsOld = old && DrawsPicture(*old, mapped.Pixels) &&
                    (kind == PlainKind || FrameOf(*old) == FrameOf(sprite));
    return out;
}

SpriteImport::SpriteImport(const std::string& base, SpriteKind kind, const ColorTable& palette,
                           const std::vector<ImportPicture>& pictures, const CollectionIndex* index,
                           const std::string& indexPath)
{
    if (!FileExists(base + ".tab") || !FileExists(base + ".pck"))
        throw Error(base + ".tab or " + base + ".pck does not exist");
    files_.emplace_back(base + ".tab");
    files_.emplace_back(base + ".pck");
    for (const FileUpdate& f : files_) opened_.Remember(f.Path());
    const std::string& pckPath = files_[1].Path();
    base_ = pckPath.substr(0, pckPath.size() - 4);

    SpriteCollection before;
    {
        MemorySource tab(files_[0].Before(), files_[0].Path()), pck(files_[1].Before(), pckPath);
        if (kind == FramedKind)
            before.LoadFramed(tab, pck, nullptr);
        else
            before.LoadPlain(tab, pck);
    }
    countBefore_ = before.Count();

    // The entries of the index, by number.
    std::map<std::int64_t, CollectionIndexEntry> listed;
    if (index) {
        if (index->Kind != kind)
            throw Error(indexPath + " lists a " + (index->Kind == FramedKind ? "framed" : "plain") +
                        " collection, not a " + (kind == FramedKind ? "framed" : "plain") + " one");
        for (const CollectionIndexEntry& e : index->Sprites) {
            const std::optional<int> n = PictureNumber(e.File);
            if (!n || *n != e.Index || e.File.find('/') != std::string::npos)
                throw Error(indexPath + " lists sprite " + std::to_string(e.Index) + " with the picture \"" + e.File +
                            "\", whose name is not that number");
            if (!listed.emplace(e.Index, e).second)
                throw Error(indexPath + " lists sprite " + std::to_string(e.Index) + " twice");
        }
    }

    std::vector<ImportPicture> sorted = pictures;
    std::sort(sorted.begin(), sorted.end(), [](const ImportPicture& a, const ImportPicture& b) { return a.Index < b.Index; });
    int next = countBefore_;
    for (const ImportPicture& p : sorted) {
        if (p.Index < countBefore_) continue;
        if (p.Index != next)
            throw Error(p.Path + ": sprite " + std::to_string(p.Index) + " cannot be added: the collection has " +
                        Counted(next, "sprite", "sprites") + (next > countBefore_ ? " with the new ones before it" : "") +
                        ", so the next new picture must be numbered " + std::to_string(next));
        ++next;
    }

    std::vector<SpriteReplacement> replacements;
    std::vector<Sprite> additions;
    PngMemory memory;  // one picture's decoding memory serves the next
    for (const ImportPicture& p : sorted) {
        FileSource source(p.Path);
        const auto it = listed.find(p.Index);
        const Sprite* old = before.At(p.Index);
        ImportedSprite read =
            ReadImportedSprite(source, kind, palette, old, it == listed.end() ? nullptr : &it->second, &memory);
        approximated_ += read.Approximated;
        if (read.SameAsOld) continue;
        if (old) {
            replaced_.push_back(p.Index);
            replacements.push_back({p.Index, std::move(read.NewSprite)});
        } else {
            appended_.push_back(p.Index);
            additions.push_back(std::move(read.NewSprite));
        }
    }
    if (!Changes()) return;
    PckFiles updated = UpdateCollectionFiles(files_[0].Before(), files_[1].Before(), kind, replacements, additions, base_,
                                              &before);
    files_[0].After() = std::move(updated.tab);
    files_[1].After() = std::move(updated.pck);
}

void SpriteImport::Save()
{
    if (!Changes()) return;
    SaveFileUpdates(files_, opened_, false);
}

SpriteImport ImportDirectory(const std::string& base, SpriteKind kind, const ColorTable& palette, const std::string& dir)
{
    const std::vector<ImportPicture> pictures = PicturesNamedByNumber(dir);
    if (pictures.empty())
        throw Error("No pictures named by sprite number (such as 0007.png) in " + dir);
    const std::string indexPath = WithTrailingSep(dir) + kCollectionIndexName;
    std::optional<CollectionIndex> index;
    if (FileExists(indexPath)) {
        FileSource source(indexPath);
        index = ReadCollectionIndex(source);
    }
    return SpriteImport(base, kind, palette, pictures, index ? &*index : nullptr, indexPath);
}

}  // namespace ketral
