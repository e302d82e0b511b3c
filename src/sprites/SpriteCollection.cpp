#include "sprites/SpriteCollection.h"

#include <algorithm>
#include <unordered_map>

#include "base/files/CurrentCopy.h"
#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/LittleEndian.h"
#include "sprites/DecodeBudget.h"
#include "sprites/SpriteStore.h"


namespace ketral {

namespace {

// Reads of one loaded file, held in memory, that fail like the file layer.
class Bytes {
public:
    explicit Bytes(ByteSource& src) : name_(src.name()), data_(Read(src)) {}
    std::uint64_t size() const { return data_.size(); }
    bool has(std::uint64_t pos, std::uint64_t n) const { return pos <= data_.size() && n <= data_.size() - pos; }
    const std::uint8_t* at(std::uint64_t pos, std::uint64_t n) const
    {
        if (!has(pos, n)) throw IoError("Read beyond end of file: " + name_);
        return data_.data() + pos;
    }
    const std::string& name() const { return name_; }

private:
    static std::vector<std::uint8_t> Read(ByteSource& src)
    {
        RefuseLargerThan(src, kSpriteFileLimit, "sprite collection file");
        return src.bytes(0, static_cast<std::size_t>(src.size()));
    }
    std::string name_;
    std::vector<std::uint8_t> data_;
};

// The run's place from the first two bytes of its header (a start in a
// raster 640 pixels wide).
void SetPlace(SpriteRun& run, std::uint8_t p0, std::uint8_t p1)
{
    run.X = p0 & 0x7F;
    run.Row = ((p1 << 1) | (p0 >> 7)) / 5;
}

// What a sprite, and a run beside its pixels, cost in memory when their
// bytes of the ".pck" are decoded again (DecodeBudget.h): the collection's
// entry, the shared sprite and its place in the map of decoded offsets; the
// run's two forms and its allocation.
constexpr std::uint64_t kSpriteCost = sizeof(SpriteData) + 96;
constexpr std::uint64_t kRunCost = sizeof(SpriteRun) + sizeof(DrawRun) + 16;
std::uint64_t RunCost(std::uint64_t kept) { return kRunCost + kept + 2 * PaddedLength(kept); }

// The byte position in the ".pck" file of every entry of the ".tab" file.
std::vector<std::uint64_t> EntryPositions(ByteSource& tab, const Bytes& pck)
{
    const std::uint64_t tabSize = tab.size();
    if (tabSize < 4) throw IoError("Read beyond end of file: " + tab.name());
    // Offsets count in 4-byte units when the .pck is larger than 4 times the
    // last offset, else in bytes.
    const std::uint64_t last = tab.u32(tabSize - 4);
    const std::uint64_t unit = pck.size() > 4 * last ? 4 : 1;
    const Bytes table(tab);
    const std::uint64_t count = table.size() / 4;  // a trailing part of fewer than 4 bytes is ignored
    std::vector<std::uint64_t> positions;
    positions.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i) positions.push_back(GetU32(table.at(4 * i, 4)) * unit);
    return positions;
}

}  // namespace

SpriteCollection::SpriteCollection() : impl_(std::make_unique<Impl>()) {}
SpriteCollection::~SpriteCollection() = default;

void SpriteCollection::Clear()
{
    impl_->entries.clear();
    impl_->usage.reset();
    ++impl_->generation;
}

std::uint64_t SpriteCollection::Generation() const { return impl_->generation; }

const std::string& SpriteCollection::Name() const { return impl_->name; }

int SpriteCollection::Kind() const { return impl_->kind; }

int SpriteCollection::Count() const { return static_cast<int>(impl_->entries.size()); }

const Sprite* SpriteCollection::At(int index) const
{
    if (index < 0 || index >= Count() || !impl_->entries[index]) return nullptr;
    return &impl_->entries[index]->view;
}

const std::optional<std::array<std::uint8_t, 256>>& SpriteCollection::UsageTable() const { return impl_->usage; }

void SpriteCollection::Load(const std::string& base, int kind)
{
    if (kind == FramedKind)
        LoadFramed(base);
    else if (kind == PlainKind)
        LoadPlain(base);
}

void SpriteCollection::LoadFramed(const std::string& base)
{
    const std::string tabName = base + ".tab", pckName = base + ".pck", useName = base + ".use";
    if (!FileExists(tabName) || !FileExists(pckName))
        throw Error(base + ".tab or " + base + ".pck does not exist");
    Clear();
    // An import writes the .tab and the .pck together: a save of the pair
    // stopped between the two renames is read as its commit record says.
    const std::unique_ptr<ByteSource> tab = OpenCurrentCopy(tabName), pck = OpenCurrentCopy(pckName);
    std::unique_ptr<FileSource> use;
    if (FileExists(useName)) use = std::make_unique<FileSource>(useName);
    LoadFramed(*tab, *pck, use.get());
}

void SpriteCollection::LoadPlain(const std::string& base)
{
    const std::string tabName = base + ".tab", pckName = base + ".pck";
    if (!FileExists(tabName) || !FileExists(pckName)) return;
    Clear();
    const std::unique_ptr<ByteSource> tab = OpenCurrentCopy(tabName), pck = OpenCurrentCopy(pckName);
    LoadPlain(*tab, *pck);
}

void SpriteCollection::LoadFramed(ByteSource& tabSrc, ByteSource& pckSrc, ByteSource* use)
{
    Clear();
    impl_->name = pckSrc.name();
    impl_->kind = FramedKind;
    ReadingFile(pckSrc.name(), [&] { impl_->LoadFramed(tabSrc, pckSrc, use); });
    ++impl_->generation;
}

void SpriteCollection::Impl::LoadFramed(ByteSource& tabSrc, ByteSource& pckSrc, ByteSource* use)
{
    const Bytes pck(pckSrc);
    const std::vector<std::uint64_t> positions = EntryPositions(tabSrc, pck);
    if (use) {
        std::array<std::uint8_t, 256> table{};
        use->readExact(0, table.data(), table.size());
        usage = table;
    }
    DecodeBudget budget(pck.name(), pck.size());
    std::unordered_map<std::uint64_t, std::shared_ptr<const SpriteData>> decoded;
    for (std::uint64_t pos : positions) {
        // Fewer than two bytes at the entry: the load ends, keeping what it has.
        if (!pck.has(pos, 2)) break;
        if (pck.at(pos, 1)[0] != 1) continue;  // not a loadable sprite: no index
        if (auto it = decoded.find(pos); it != decoded.end()) {
            Append(it->second);
            continue;
        }
        auto s = std::make_shared<SpriteData>();
        const std::uint8_t* h = pck.at(pos, 12);
        budget.Take(pos, 12, kSpriteCost);
        const std::int32_t x1 = GetU16(h + 4), x2 = GetU16(h + 6), y1 = GetU16(h + 8), y2 = GetU16(h + 10);
        s->view.Width = x2 - x1 - 1;
        s->view.Height = y2 - y1;
        s->view.Left = x1;
        s->view.Top = y1;
        std::uint64_t p = pos + 12;
        for (;;) {
            const std::uint8_t* r = pck.at(p, 8);
            if (r[0] == 0xFF) {
                budget.Take(p, 8, 0);
                break;
            }
            const std::uint32_t c = r[4], n = r[5];
            const std::uint8_t* pixels = pck.at(p + 8, n);
            // Pixels past the frame's right edge are cut; a run that starts
            // beyond that edge keeps none.
            std::int64_t kept = n;
            const std::int64_t column = static_cast<std::int64_t>(c) - x1;
            if (column + n > s->view.Width) kept = std::max<std::int64_t>(0, s->view.Width - column);
            budget.Take(p, 8 + n, RunCost(static_cast<std::uint64_t>(kept)));
            p += 8 + n;
            SpriteRun run;
            SetPlace(run, r[0], r[1]);
            run.Length = static_cast<std::int32_t>(kept);
            run.Opaque = static_cast<std::uint8_t>(4 * r[7]);
            run.Pixels.assign(pixels, pixels + kept);
            s->view.Runs.push_back(std::move(run));
        }
        std::reverse(s->view.Runs.begin(), s->view.Runs.end());
        PrepareForDrawing(*s);
        decoded.emplace(pos, s);
        Append(std::move(s));
    }
}

void SpriteCollection::LoadPlain(ByteSource& tabSrc, ByteSource& pckSrc)
{
    Clear();
    impl_->name = pckSrc.name();
    impl_->kind = PlainKind;
    ReadingFile(pckSrc.name(), [&] { impl_->LoadPlain(tabSrc, pckSrc); });
    ++impl_->generation;
}

void SpriteCollection::Impl::LoadPlain(ByteSource& tabSrc, ByteSource& pckSrc)
{
    const Bytes pck(pckSrc);
    const std::vector<std::uint64_t> positions = EntryPositions(tabSrc, pck);
    DecodeBudget budget(pck.name(), pck.size());
    std::unordered_map<std::uint64_t, std::shared_ptr<const SpriteData>> decoded;
    for (std::uint64_t pos : positions) {
        if (auto it = decoded.find(pos); it != decoded.end()) {
            Append(it->second);
            continue;
        }
        auto s = std::make_shared<SpriteData>();
        s->view.Width = 8;
        s->view.Height = 8;
        std::uint64_t p = pos;
        for (;;) {
            // A sprite cut short anywhere ends the load with the read error.
            const std::uint8_t* r = pck.at(p, 4);
            if (r[0] == 0xFF) {
                // A plain sprite has no header of its own: its end pays for it.
                budget.Take(p, 4, kSpriteCost);
                break;
            }
            const std::uint32_t n = r[2];
            const std::uint8_t* pixels = pck.at(p + 4, n);
            budget.Take(p, 4 + n, RunCost(n));
            p += 4 + n;
            SpriteRun run;
            SetPlace(run, r[0], r[1]);
            run.Length = static_cast<std::int32_t>(n);
            run.Pixels.assign(pixels, pixels + n);
            s->view.Runs.push_back(std::move(run));
        }
        std::reverse(s->view.Runs.begin(), s->view.Runs.end());
        PrepareForDrawing(*s);
        decoded.emplace(pos, s);
        Append(std::move(s));
    }
}

void SpriteCollection::GetBounds(int index, Rect& rect) const
{
    if (index < 0 || index >= Count()) return;
    const Sprite* s = At(index);
    if (!s) {
        rect = Rect{};
        return;
    }
    rect = Rect{s->Left, s->Top, s->Width, s->Height};
}

}  // namespace ketral
