#include "tactical/TacJournal.h"

#include "base/Errors.h"
#include "base/Progress.h"
#include "shell/HistoryJournal.h"
#include "shell/JournalCodec.h"

namespace ketral {

namespace {

constexpr std::uint8_t kHasCells = 1, kHasResize = 2;

void PutFactors(JournalOut& out, const Factors3& f)
{
    for (std::int32_t v : {f.X, f.Y, f.Z, f.Extra1, f.Extra2}) out.U32(static_cast<std::uint32_t>(v));
}

Factors3 GetFactors(JournalIn& in)
{
    Factors3 f;
    for (std::int32_t* v : {&f.X, &f.Y, &f.Z, &f.Extra1, &f.Extra2}) *v = static_cast<std::int32_t>(in.U32());
    return f;
}

[[noreturn]] void NotFitting(const std::string& what)
{
    throw Error("The recovered change does not fit the tactical map: " + what);
}

}  // namespace

std::vector<std::string> EncodeTacOpening(const TacJournalOpening& o)
{
    return {o.directory, o.name, o.savedGame ? "1" : "0", o.entry, o.tileDir, o.mapPath, o.tacDataDir};
}

TacJournalOpening DecodeTacOpening(const std::vector<std::string>& f, const std::string& journal)
{
    if (f.size() != 7 || (f[2] != "0" && f[2] != "1")) throw Error(journal + " is damaged");
    return {f[0], f[1], f[2] == "1", f[3], f[4], f[5], f[6]};
}

JournalHeader TacJournalHeader(const TacMapCore& core, const TacJournalOpening& opening, const std::string& mapName,
                               const std::string& gamePath)
{
    JournalHeader h;
    h.kind = JournalKind::Tactical;
    h.mapName = mapName;
    h.gamePath = gamePath;
    h.opening = EncodeTacOpening(opening);
    for (const auto& [path, stamp] : core.OpenedFileStamps().Files()) {
        JournalFile f = JournalFileNow(path);
        f.stamp = stamp;
        h.files.push_back(std::move(f));
    }
    return h;
}

JournalBytes EncodeTacChange(const TacMapChange& change)
{
    JournalOut out;
    out.U8(static_cast<std::uint8_t>((change.cells.Empty() ? 0 : kHasCells) | (change.resize ? kHasResize : 0)));
    if (!change.cells.Empty()) PutGridRuns(out, change.cells);
    if (change.resize) {
        const TacResizeChange& r = *change.resize;
        PutFactors(out, r.factorsBefore);
        PutFactors(out, r.factorsAfter);
        for (std::int32_t v : {r.widthBefore, r.heightBefore, r.levelsBefore}) out.U32(static_cast<std::uint32_t>(v));
        out.Blob(r.cellsBefore);
        out.Blob(r.unitMarksBefore);
    }
    return std::move(out.bytes);
}

TacMapChange DecodeTacChange(const JournalBytes& bytes, std::uint64_t opening, const std::string& journal)
{
    MemorySource source(bytes.data(), bytes.size(), journal);
    JournalIn in(source, 0, source.size());
    TacMapChange change;
    change.opening = opening;
    const std::uint8_t flags = in.U8();
    if (flags == 0 || (flags & ~(kHasCells | kHasResize)) != 0) in.Damaged();
    if (flags & kHasCells) GetGridRuns(in, change.cells, kMaxCellBytes);
    if (flags & kHasResize) {
        TacResizeChange r;
        r.factorsBefore = GetFactors(in);
        r.factorsAfter = GetFactors(in);
        r.widthBefore = static_cast<std::int32_t>(in.U32());
        r.heightBefore = static_cast<std::int32_t>(in.U32());
        r.levelsBefore = static_cast<std::int32_t>(in.U32());
        r.cellsBefore = in.Blob();
        r.unitMarksBefore = in.Blob();
        change.resize = std::move(r);
    }
    in.ExpectEnd();
    return change;
}

void CheckTacChangeFits(const TacMapData& map, const TacMapChange& change, bool redo)
{
    if (change.resize) {
        const TacResizeChange& r = *change.resize;
        const auto bytes = GridBytes(r.widthBefore, r.heightBefore, r.levelsBefore);
        if (!bytes || r.cellsBefore.size() != *bytes) NotFitting("a resize whose grid does not match its sizes");
        if (!r.unitMarksBefore.empty() && r.unitMarksBefore.size() != *bytes / kSlotCount)
            NotFitting("a resize whose unit marks do not match its sizes");
        const Factors3& from = redo ? r.factorsBefore : r.factorsAfter;
        if (map.SizeFactors.X != from.X || map.SizeFactors.Y != from.Y || map.SizeFactors.Z != from.Z)
            NotFitting("a resize from other block counts");
        if (redo && (map.MapWidth != r.widthBefore || map.MapHeight != r.heightBefore ||
                     map.MapLevels != r.levelsBefore))
            NotFitting("a resize from other sizes");
        if (r.factorsAfter.X < 1 || r.factorsAfter.Y < 1 || r.factorsAfter.Z < 1) NotFitting("a resize to no blocks");
        return;
    }
    if (!change.cells.FitsIn(map.Cells.size())) NotFitting("cells outside its grid");
}

void ReplayTacJournal(TacMapCore& core, const JournalContent& content, const std::string& journal)
{
    for (const ReplayStep& step : content.Replay()) {
        const TacMapChange change = DecodeTacChange(*step.step, core.Opening(), journal);
        CheckTacChangeFits(core.Map(), change, step.redo);
        if (step.redo)
            core.Redo(change);
        else
            core.Undo(change);
    }
}

void LoadTacJournalMap(TacMapCore& core, const TacJournalOpening& opening)
{
    NullProgress progress;
    core.LoadMap(opening.tileDir, opening.mapPath, opening.savedGame, opening.tacDataDir, progress);
}

std::string TacStepName(const TacMapChange& change)
{
    return change.resize ? "Resize" : kRecoveredStepName;
}

}  // namespace ketral
