// The recovery journal's reader on arbitrary bytes: it refuses them with an
// Error or returns a journal that is written and read again unchanged, its
// step names within their bound; the
// steps it holds are read as tactical and as city changes, which are refused
// or come back the same after writing them again, and are checked against a
// small map of each kind without touching it beyond its bounds.
#include <cstdint>
#include <cstdlib>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "city/CityJournal.h"
#include "shell/RecoveryJournal.h"
#include "tactical/TacJournal.h"

namespace {

template <class Change, class Decode, class Encode>
void CheckStep(const ketral::JournalBytes& step, Decode decode, Encode encode)
{
    Change change;
    try {
        change = decode(step, 1, "journal");
    } catch (const ketral::Error&) {
        return;
    }
    // Written again, the change reads as itself.
    const ketral::JournalBytes again = encode(change);
    if (change.Empty()) return;
    const Change back = decode(again, 1, "again");
    if (encode(back) != again) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ketral::JournalContent content;
    try {
        ketral::MemorySource source(data, size, "journal");
        content = ketral::ReadJournal(source);
    } catch (const ketral::Error&) {
        return 0;
    }
    ketral::MemorySource whole(ketral::EncodeWholeJournal(content), "whole");
    const ketral::JournalContent again = ketral::ReadJournal(whole);
    if (!(again.header == content.header) || again.steps != content.steps || again.undoFirst != content.undoFirst ||
        again.base != content.base || again.index != content.index || again.tornTail)
        std::abort();

    static ketral::TacMapData tacMap = [] {
        ketral::TacMapData m;
        m.ResizeCells(3, 3, 2);
        m.SizeFactors = {1, 1, 1};
        return m;
    }();
    std::vector<const ketral::JournalBytes*> steps;
    for (const auto& [position, step] : content.steps) {
        if (!ketral::IsKeptStepName(step.name)) std::abort();
        steps.push_back(&step.bytes);
    }
    for (const ketral::JournalBytes& step : content.undoFirst) steps.push_back(&step);
    for (const ketral::JournalBytes* step : steps) {
        CheckStep<ketral::TacMapChange>(*step, ketral::DecodeTacChange, ketral::EncodeTacChange);
        CheckStep<ketral::CityMapChange>(*step, ketral::DecodeCityChange, ketral::EncodeCityChange);
        try {
            const ketral::TacMapChange c = ketral::DecodeTacChange(*step, 1, "journal");
            ketral::CheckTacChangeFits(tacMap, c, true);
            ketral::TacMapData copy = tacMap;
            if (!c.resize) c.cells.Restore(copy.Cells, true);
        } catch (const ketral::Error&) {
        }
    }
    try {
        for (const ketral::ReplayStep& s : content.Replay())
            if (!s.step) std::abort();
    } catch (const ketral::Error&) {
    }
    return 0;
}
