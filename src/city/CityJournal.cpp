#include "city/CityJournal.h"

#include "base/Errors.h"
#include "shell/HistoryJournal.h"
#include "shell/JournalCodec.h"

namespace ketral {

namespace {

constexpr std::uint8_t kHasCells = 1, kHasBuilding = 2;
constexpr std::size_t kBuildingBytes = 2 + 4 * 4 + 1 + 1;

void PutBuilding(JournalOut& out, const CityBuilding& b)
{
    out.U8(static_cast<std::uint8_t>(b.nameIndex));
    out.U8(static_cast<std::uint8_t>(b.nameIndex >> 8));
    for (std::int32_t v : {b.X1, b.Y1, b.X2, b.Y2}) out.U32(static_cast<std::uint32_t>(v));
    out.U8(b.typeIndex);
    out.U8(b.ownerIndex);
}

CityBuilding GetBuilding(JournalIn& in)
{
    CityBuilding b;
    const std::uint8_t lo = in.U8(), hi = in.U8();
    b.nameIndex = static_cast<std::uint16_t>(lo | (hi << 8));
    for (std::int32_t* v : {&b.X1, &b.Y1, &b.X2, &b.Y2}) *v = static_cast<std::int32_t>(in.U32());
    b.typeIndex = in.U8();
    b.ownerIndex = in.U8();
    return b;
}

}  // namespace

std::vector<std::string> EncodeCityOpening(const CityJournalOpening& o)
{
    return {o.directory, o.fileName, o.paletteFile, o.savedGame ? "1" : "0", o.editable ? "1" : "0"};
}

CityJournalOpening DecodeCityOpening(const std::vector<std::string>& f, const std::string& journal)
{
    auto flag = [&](const std::string& v) {
        if (v != "0" && v != "1") throw Error(journal + " is damaged");
        return v == "1";
    };
    if (f.size() != 5) throw Error(journal + " is damaged");
    return {f[0], f[1], f[2], flag(f[3]), flag(f[4])};
}

JournalHeader CityJournalHeader(const CityEditor& editor, const CityJournalOpening& opening,
                                const std::string& mapName, const std::string& gamePath)
{
    JournalHeader h;
    h.kind = JournalKind::City;
    h.mapName = mapName;
    h.gamePath = gamePath;
    h.opening = EncodeCityOpening(opening);
    for (const auto& [path, stamp] : editor.map.source.fileStamps.Files()) {
        JournalFile f = JournalFileNow(path);
        f.stamp = stamp;
        h.files.push_back(std::move(f));
    }
    return h;
}

JournalBytes EncodeCityChange(const CityMapChange& change)
{
    JournalOut out;
    out.U8(static_cast<std::uint8_t>((change.cells.Empty() ? 0 : kHasCells) | (change.building ? kHasBuilding : 0)));
    if (!change.cells.Empty()) PutGridRuns(out, change.cells);
    if (change.building) {
        out.U32(static_cast<std::uint32_t>(change.building->index));
        PutBuilding(out, change.building->before);
        PutBuilding(out, change.building->after);
    }
    return std::move(out.bytes);
}

CityMapChange DecodeCityChange(const JournalBytes& bytes, std::uint64_t opening, const std::string& journal)
{
    MemorySource source(bytes.data(), bytes.size(), journal);
    JournalIn in(source, 0, source.size());
    CityMapChange change;
    change.opening = opening;
    const std::uint8_t flags = in.U8();
    if (flags == 0 || (flags & ~(kHasCells | kHasBuilding)) != 0) in.Damaged();
    if (flags & kHasCells) GetGridRuns(in, change.cells, static_cast<std::uint64_t>(kCityCells));
    if (flags & kHasBuilding) {
        if (in.Left() < 4 + 2 * kBuildingBytes) in.Damaged();
        CityBuildingChange b;
        b.index = static_cast<std::int32_t>(in.U32());
        b.before = GetBuilding(in);
        b.after = GetBuilding(in);
        change.building = b;
    }
    in.ExpectEnd();
    return change;
}

void CheckCityChangeFits(const CityMap& map, const CityMapChange& change)
{
    if (!change.cells.FitsIn(map.cells.size()))
        throw Error("The recovered change does not fit the city map: cells outside its grid");
    if (change.building && (change.building->index < 0 || change.building->index >= map.buildingCount()))
        throw Error("The recovered change does not fit the city map: building " +
                    std::to_string(change.building->index) + " of " + std::to_string(map.buildingCount()));
}

void ReplayCityJournal(CityEditor& editor, const JournalContent& content, const std::string& journal)
{
    for (const ReplayStep& step : content.Replay()) {
        const CityMapChange change = DecodeCityChange(*step.step, editor.Opening(), journal);
        CheckCityChangeFits(editor.map, change);
        if (step.redo)
            editor.Redo(change);
        else
            editor.Undo(change);
    }
}

std::string CityStepName(const CityMapChange& change)
{
    return change.building ? "Building" : kRecoveredStepName;
}

}  // namespace ketral
