#pragma once
// The recovery journal of one map window: which map it holds (its kind, the
// game path, how it was opened, the files it was read from with their stamps
// and a hash of their content) and the edits made since, as the window's undo
// history holds them, so that a map whose program ended without saving can
// be brought back from its files.
//
// A journal is a file of records, each its length, a checksum and its bytes:
// first the header, then one record per write of the window (a batch). A
// batch is all or nothing: a record cut short or damaged at the end of the
// file (a write that a crash stopped) is dropped with everything after it,
// and the journal reads as it was before that write.
//
// The edits are kept as the undo history's steps, by their position in it:
// the map as its files hold it is the state at position `base`; `index` is
// the position the window stands at. Steps the window undid past the files'
// state and then replaced by new ones cannot be reached from the history
// any more; they are kept in `undoFirst`, undone in that order before the
// history is walked. The bytes of a step are the map kind's own encoding
// (TacJournal.h, CityJournal.h); beside them the journal keeps the step's
// name as the Edit menu shows it ("Paste"), so that a restored history is
// named as it was. Journals of the first layout (version 1) keep no names:
// their steps read with the name "".
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/ByteSource.h"
#include "base/files/FileStamp.h"

namespace ketral {

using JournalBytes = std::vector<std::uint8_t>;

// The longest step name a journal keeps.
inline constexpr std::size_t kMaxStepNameBytes = 64;
// Whether a journal keeps `name` as a step's name: at most
// kMaxStepNameBytes printable ASCII characters. A name read that is not one
// makes its record damaged; a step whose name is not one is written without
// a name.
bool IsKeptStepName(const std::string& name);

// One step of the history: its change in the map kind's bytes and its name.
struct JournalStep {
    JournalBytes bytes;
    std::string name;  // "" when the journal keeps none (then named by its change)

    JournalStep() = default;
    // Made from bytes alone, a step without a name.
    JournalStep(JournalBytes stepBytes, std::string stepName = {})
        : bytes(std::move(stepBytes)), name(std::move(stepName))
    {
    }
    friend bool operator==(const JournalStep&, const JournalStep&) = default;
};

enum class JournalKind : std::uint8_t { Tactical = 1, City = 2 };
// "tactical" or "city".
const char* JournalKindName(JournalKind kind);

struct JournalFile {
    std::string path;
    FileStamp stamp;         // at the opening
    std::uint64_t hash = 0;  // of its content (ContentHash)
    friend bool operator==(const JournalFile&, const JournalFile&) = default;
};

struct JournalHeader {
    JournalKind kind = JournalKind::Tactical;
    std::string mapName;                // as the window names it
    std::string gamePath;               // the installation's game path
    std::vector<std::string> opening;   // how the window opened the map (kind's own fields)
    std::vector<JournalFile> files;     // the files the map was read from
    std::uint32_t processId = 0;
    std::int64_t createdSeconds = 0;    // seconds since 1970, UTC
    friend bool operator==(const JournalHeader&, const JournalHeader&) = default;
};

// One write of the window: what changed in its history since the last one.
struct JournalBatch {
    std::int64_t writtenSeconds = 0;
    // Steps at positions from `keep` up are dropped first (a new edit
    // replaced the steps that had been undone).
    std::uint32_t keep = 0;
    // Steps stored at their positions, after the drop.
    std::vector<std::pair<std::uint32_t, JournalStep>> steps;
    // Appended to JournalContent::undoFirst.
    std::vector<JournalBytes> undoFirst;
    std::uint32_t base = 0, index = 0;
    friend bool operator==(const JournalBatch&, const JournalBatch&) = default;
};

// One step of the way from the files to the map as the window held it.
struct ReplayStep {
    const JournalBytes* step = nullptr;
    bool redo = true;  // false: undone
};

struct JournalContent {
    JournalHeader header;
    std::vector<JournalBytes> undoFirst;
    std::map<std::uint32_t, JournalStep> steps;
    std::uint32_t base = 0, index = 0;
    std::int64_t writtenSeconds = 0;  // of the last batch (the header's time before any)
    bool tornTail = false;            // a damaged or unfinished last write was dropped

    void Apply(const JournalBatch& batch);
    // The number of steps between the files and the map held.
    std::size_t EditCount() const;
    // From the files to the map held: every step of undoFirst undone, then
    // the history walked from `base` to `index`. Throws Error when a step on
    // the way is missing.
    std::vector<ReplayStep> Replay() const;
    // The positions [first, last) of the history that the journal holds
    // without a gap and that contain both `base` and `index`.
    std::pair<std::uint32_t, std::uint32_t> HeldRange() const;
};

// The largest journal read; a larger file is refused before it is read.
inline constexpr std::uint64_t kMaxJournalBytes = 256ull << 20;

// The bytes of a new journal: its start and its header record.
JournalBytes EncodeJournalHeader(const JournalHeader& header);
// The record of one batch, to be appended.
JournalBytes EncodeJournalBatch(const JournalBatch& batch);
// The whole journal of `content` in one batch (for a rewrite).
JournalBytes EncodeWholeJournal(const JournalContent& content);

// Reads a journal. A file that is no journal of this program, or whose
// header is damaged, throws Error naming the source ("... is not a recovery
// journal of Ketral" or "... is damaged"); a damaged record after the header
// ends the reading there (tornTail).
JournalContent ReadJournal(ByteSource& source);
// The same for a file: a FIFO, a device or a file above kMaxJournalBytes is
// refused with IoError.
JournalContent ReadJournalFile(const std::string& path);

// A hash of the file's bytes (FNV-1a, 64 bits), read as the map readers
// read it (the new copy of an interrupted save when one waits).
std::uint64_t ContentHash(const std::string& path);
// The file's stamp now and the hash of its content.
JournalFile JournalFileNow(const std::string& path);

// Whether the files of a journal are as they were at the opening.
enum class JournalFilesState { Unchanged, Changed, Gone };
JournalFilesState FilesStateOf(const JournalHeader& header);

// "Ketral ended while <map> had unsaved changes (<date and time>, N
// changes). Restore them?" and its variants for changed and missing files.
std::string RecoveryQuestion(const JournalContent& content);
std::string ChangedFilesQuestion(const JournalContent& content);
std::string FilesGoneReport(const JournalContent& content);
// Local date and time as the questions show it: "2026-12-07 21:06".
std::string JournalTimeText(std::int64_t seconds);

}  // namespace ketral
