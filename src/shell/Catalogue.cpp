#include "shell/Catalogue.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/FileTree.h"
#include "base/GamePaths.h"
#include "base/Messages.h"
#include "shell/GameInstallation.h"
#include "shell/IntegerText.h"
#include "shell/SettingsStore.h"
#include "shell/VehicleNames.h"

namespace ketral {

CatalogueEntry NewCatalogueEntry(const std::string& dir, const std::string& fileName, EntryKind kind)
{
    CatalogueEntry e;
    e.Kind = kind;
    e.Dir = dir;
    e.FileName = fileName;
    return e;
}

// ---- saved-game headers --------------------------------------------------------

namespace {

constexpr std::size_t kHeaderTextSize = 40;

GameText CutAtZero(const std::uint8_t* p, std::size_t n)
{
    std::size_t len = 0;
    while (len < n && p[len] != 0) ++len;
    return GameText::FromLatin1(std::string(reinterpret_cast<const char*>(p), len));
}

}  // namespace

SaveGameHeader ReadSaveGameHeader(ByteSource& source)
{
    std::uint8_t a[kHeaderTextSize];
    std::uint8_t b[kHeaderTextSize];
    source.readExact(0, a, sizeof a);
    source.readExact(kHeaderTextSize, b, sizeof b);
    return SaveGameHeader{CutAtZero(a, sizeof a), CutAtZero(b, sizeof b)};
}

SaveGameHeader ReadSaveGameHeader(const std::string& path)
{
    FileSource file(path);
    return ReadSaveGameHeader(file);
}

GameText SlotCaption(const SaveGameHeader& header) { return header.B + GameText::FromLatin1(", ") + header.A; }

// ---- building the tree ----------------------------------------------------------

namespace {

// A node captioned with a text of the game or of the program.
CatalogueNode Node(const UserText& caption, std::optional<CatalogueEntry> entry = std::nullopt)
{
    CatalogueNode n;
    n.Caption = caption.ToUtf8();
    n.Entry = std::move(entry);
    return n;
}

// A node captioned with a name of the file system.
CatalogueNode FileNameNode(const std::string& name, CatalogueEntry entry)
{
    CatalogueNode n;
    n.Caption = FileNameToUtf8(name);
    n.Entry = std::move(entry);
    return n;
}

void AddMapDirectories(std::vector<CatalogueNode>& groups, const std::string& mapsDir, FileTree& files,
                       MessageSink& messages)
{
    groups.push_back(Node("Strategic maps"));
    std::vector<DirEntry> entries;
    try {
        entries = files.List(mapsDir, false);
    } catch (const IoError& e) {
        messages.ShowMessage(e.Message());  // the other groups do not depend on it
        return;
    }
    groups.back().Children.reserve(entries.size());
    for (const DirEntry& e : entries)
        groups.back().Children.push_back(FileNameNode(e.name, NewCatalogueEntry(mapsDir, e.name, MapDirectoryEntry)));
}

void AddCityMaps(std::vector<CatalogueNode>& groups, const std::string& dir, FileTree& files)
{
    groups.push_back(Node("Default cityscape maps"));
    auto& children = groups.back().Children;
    if (files.IsFile(dir + "alienmap"))
        children.push_back(Node("Alien dimension", NewCatalogueEntry(dir, "alienmap", CityMapEntry)));
    for (char n = '1'; n <= '5'; ++n) {
        const std::string name = std::string("Citymap") + n;
        if (files.IsFile(dir + name))
            children.push_back(
                Node(GameText::FromLatin1(std::string("Mega-Primus ") + n), NewCatalogueEntry(dir, name, CityMapEntry)));
    }
}

void AddVehicles(std::vector<CatalogueNode>& groups, const std::string& exe)
{
    groups.push_back(Node("Vehicles"));
    groups.back().Children.reserve(kVehicleCount);
    for (int i = 0; i < kVehicleCount; ++i)
        groups.back().Children.push_back(Node(VehicleNames[i], NewCatalogueEntry(exe, std::to_string(i), VehicleEntry)));
}

void AddSavedGames(std::vector<CatalogueNode>& groups, const std::string& dir, FileTree& files)
{
    groups.push_back(Node("Savegames"));
    for (char s = '0'; s <= '9'; ++s) {
        const std::string suffix = std::string(".0") + s;
        const std::string save = "savegame" + suffix;
        const std::string tact = "tactgame" + suffix;
        const std::string strt = "strtgame" + suffix;
        auto& slots = groups.back().Children;
        if (files.IsFile(dir + save)) {
            const SaveGameHeader header = ReadSaveGameHeader(*files.Open(dir + save));
            slots.push_back(Node(SlotCaption(header), NewCatalogueEntry(dir, save, SaveSlotEntry)));
            slots.back().Children.push_back(Node("Cityscape map", NewCatalogueEntry(dir, save, SavedCityMapEntry)));
        } else if (files.IsFile(dir + tact)) {
            const SaveGameHeader header = ReadSaveGameHeader(*files.Open(dir + tact));
            slots.push_back(Node(SlotCaption(header), NewCatalogueEntry(dir, tact, SaveSlotEntry)));
            slots.back().Children.push_back(Node("Tactical map", NewCatalogueEntry(dir, tact, SavedTacticalMapEntry)));
            if (files.IsFile(dir + strt))
                slots.back().Children.push_back(Node("Cityscape map", NewCatalogueEntry(dir, strt, SavedCityMapEntry)));
        }
    }
}

}  // namespace

void FillCatalogue(std::vector<CatalogueNode>& groups, MessageSink& messages, FileTree& files)
{
    groups.clear();
    const GameInstallation& game = Game();
    if (!game.MapsDir.empty()) AddMapDirectories(groups, game.MapsDir, files, messages);
    if (!game.VyxDataDir.empty()) AddCityMaps(groups, game.VyxDataDir, files);
    if (!game.VyxExeDir.empty() && files.IsFile(game.VyxExeDir + "vyx2p.exe"))
        AddVehicles(groups, game.VyxExeDir + "vyx2p.exe");
    if (files.IsDirectory(game.SaveGameDir) && !game.CdOnlyMode) AddSavedGames(groups, game.SaveGameDir, files);
}

void BuildCatalogue(SettingsStore& store, MessageSink& messages, std::vector<CatalogueNode>& groups)
{
    LoadGameSettings(store, messages);
    FillCatalogue(groups, messages);
}

// ---- sorting -----------------------------------------------------------------------

namespace {

// The letter a character sorts with (lower case), or 0 for no letter.
char32_t BaseLetter(char32_t c)
{
    if (c >= 'a' && c <= 'z') return c;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
    if (c < 0xC0 || c > 0xFF || c == 0xD7 || c == 0xF7) return 0;
    // The Latin-1 letters 0xC0 to 0xFF, capitals and small letters alike.
    static const char bases[] = "aaaaaaaceeeeiiiidnooooo_ouuuuy{saaaaaaaceeeeiiiidnooooo_ouuuuy{y";
    return static_cast<unsigned char>(bases[c - 0xC0]);
}

bool IsUpper(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7); }

struct SortKey {
    std::uint32_t primary;    // symbols, then digits, then letters, then characters beyond Latin-1
    std::uint32_t secondary;  // the accent: 0 for a plain letter
    std::uint32_t tertiary;   // 1 for a capital
};

SortKey KeyOf(char32_t c)
{
    if (char32_t base = BaseLetter(c)) {
        const std::uint32_t accent = c >= 0xC0 ? (IsUpper(c) ? c + 0x20 : c) : 0;
        return {2 * 256 + base, accent, IsUpper(c) ? 1u : 0u};
    }
    if (c >= '0' && c <= '9') return {1 * 256 + c, 0, 0};
    if (c > 0xFF) return {3 * 256 + c, 0, 0};
    return {c, 0, 0};
}

template <class Field>
int CompareBy(const std::u32string& a, const std::u32string& b, Field field)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t x = field(KeyOf(a[i]));
        const std::uint32_t y = field(KeyOf(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return 0;
}

}  // namespace

namespace {

// CompareCaptions of captions a and b, whose characters are x and y.
int CompareDecoded(const std::u32string& x, const std::u32string& y, const std::string& a, const std::string& b)
{
    if (int r = CompareBy(x, y, [](const SortKey& k) { return k.primary; })) return r;
    if (int r = CompareBy(x, y, [](const SortKey& k) { return k.secondary; })) return r;
    if (int r = CompareBy(x, y, [](const SortKey& k) { return k.tertiary; })) return r;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace

int CompareCaptions(const std::string& a, const std::string& b)
{
    return CompareDecoded(Utf8Characters(a), Utf8Characters(b), a, b);
}

void SortChildren(CatalogueNode& node)
{
    // Every caption is decoded once, not at each of its comparisons.
    std::vector<CatalogueNode>& children = node.Children;
    std::vector<std::u32string> characters;
    characters.reserve(children.size());
    for (const CatalogueNode& child : children) characters.push_back(Utf8Characters(child.Caption));
    std::vector<std::size_t> order(children.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) {
        return CompareDecoded(characters[i], characters[j], children[i].Caption, children[j].Caption) < 0;
    });
    std::vector<CatalogueNode> sorted;
    sorted.reserve(children.size());
    for (std::size_t i : order) sorted.push_back(std::move(children[i]));
    children = std::move(sorted);
}

namespace {

void SortBelow(CatalogueNode& node)
{
    SortChildren(node);
    for (CatalogueNode& child : node.Children) SortBelow(child);
}

}  // namespace

void SortCatalogue(std::vector<CatalogueNode>& groups)
{
    for (CatalogueNode& group : groups) SortBelow(group);
}

// ---- double click --------------------------------------------------------------------

void DispatchEntry(const CatalogueEntry& entry, const std::string& vyxDataDir, CatalogueTarget& target)
{
    const std::string palette = vyxDataDir + "pal_01.dat";
    switch (entry.Kind) {
    case MapDirectoryEntry: target.OpenTacticalMaps(entry.Dir, entry.FileName, false); break;
    case CityMapEntry: target.OpenCityMap(entry.Dir, entry.FileName, palette, false, true); break;
    case SaveSlotEntry: break;
    case SavedCityMapEntry: target.OpenCityMap(entry.Dir, entry.FileName, palette, true, true); break;
    case SavedTacticalMapEntry: target.OpenTacticalMaps(entry.Dir, entry.FileName, true); break;
    case VehicleEntry: target.OpenVehicle(entry.Dir, ParseIntegerText(entry.FileName), true); break;
    default:
        if (entry.Kind > VehicleEntry) target.NotImplemented();
        break;
    }
}

}  // namespace ketral
