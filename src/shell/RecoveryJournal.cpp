#include "shell/RecoveryJournal.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "base/CountedNoun.h"
#include "base/Errors.h"
#include "base/files/CurrentCopy.h"
#include "shell/JournalCodec.h"

namespace ketral {

namespace {

// The start of every journal: its name and the version of its layout.
// Version 2 keeps each step's name in its batch record; the journals of
// version 1 (without names) are still read.
constexpr char kMagic[16] = {'K', 'e', 't', 'r', 'a', 'l', ' ', 'r', 'e', 'c', 'o', 'v', 'e', 'r', 'y', '\n'};
constexpr std::uint32_t kVersion = 2, kUnnamedVersion = 1;
constexpr std::uint64_t kStartBytes = sizeof kMagic + 4;
constexpr std::uint64_t kRecordHead = 8;  // length, checksum
constexpr std::uint8_t kHeaderRecord = 1, kBatchRecord = 2;
// The smallest file entry of a header: an empty path and the fixed fields.
constexpr std::size_t kFileEntryBytes = 4 + 1 + 6 * 8;

std::uint32_t Checksum(const std::uint8_t* data, std::size_t n)
{
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < n; ++i) h = (h ^ data[i]) * 16777619u;
    return h;
}

// A record: its length and checksum, then the payload.
JournalBytes Record(const JournalOut& payload)
{
    JournalOut out;
    out.U32(static_cast<std::uint32_t>(payload.bytes.size()));
    out.U32(Checksum(payload.bytes.data(), payload.bytes.size()));
    out.Raw(payload.bytes.data(), payload.bytes.size());
    return std::move(out.bytes);
}

void PutBatch(JournalOut& out, const JournalBatch& batch)
{
    out.U8(kBatchRecord);
    out.I64(batch.writtenSeconds);
    out.U32(batch.keep);
    out.U32(static_cast<std::uint32_t>(batch.steps.size()));
    for (const auto& [position, step] : batch.steps) {
        out.U32(position);
        out.Text(IsKeptStepName(step.name) ? step.name : std::string());
        out.Blob(step.bytes);
    }
    out.U32(static_cast<std::uint32_t>(batch.undoFirst.size()));
    for (const JournalBytes& bytes : batch.undoFirst) out.Blob(bytes);
    out.U32(batch.base);
    out.U32(batch.index);
}

JournalHeader GetHeader(JournalIn& in)
{
    JournalHeader h;
    const std::uint8_t kind = in.U8();
    if (kind != static_cast<std::uint8_t>(JournalKind::Tactical) && kind != static_cast<std::uint8_t>(JournalKind::City))
        in.Damaged();
    h.kind = static_cast<JournalKind>(kind);
    h.mapName = in.Text();
    h.gamePath = in.Text();
    const std::uint32_t fields = in.Count(4);
    for (std::uint32_t i = 0; i < fields; ++i) h.opening.push_back(in.Text());
    const std::uint32_t files = in.Count(kFileEntryBytes);
    // Every map is read from files: without them nothing would tell that
    // the map changed since, and the edits would be put over another map.
    if (files == 0) in.Damaged();
    for (std::uint32_t i = 0; i < files; ++i) {
        JournalFile f;
        f.path = in.Text();
        f.stamp.exists = in.U8() != 0;
        f.stamp.size = in.U64();
        f.stamp.modifiedSeconds = in.I64();
        f.stamp.modifiedNanoseconds = in.I64();
        f.stamp.device = in.U64();
        f.stamp.inode = in.U64();
        f.hash = in.U64();
        h.files.push_back(std::move(f));
    }
    h.processId = in.U32();
    h.createdSeconds = in.I64();
    return h;
}

JournalBatch GetBatch(JournalIn& in, std::uint32_t version)
{
    const bool named = version != kUnnamedVersion;
    JournalBatch b;
    b.writtenSeconds = in.I64();
    b.keep = in.U32();
    const std::uint32_t steps = in.Count(named ? 12 : 8);
    for (std::uint32_t i = 0; i < steps; ++i) {
        JournalStep step;
        const std::uint32_t position = in.U32();
        if (named) {
            step.name = in.Text();
            if (!IsKeptStepName(step.name)) in.Damaged();
        }
        step.bytes = in.Blob();
        b.steps.emplace_back(position, std::move(step));
    }
    const std::uint32_t undone = in.Count(4);
    for (std::uint32_t i = 0; i < undone; ++i) b.undoFirst.push_back(in.Blob());
    b.base = in.U32();
    b.index = in.U32();
    return b;
}

}  // namespace

bool IsKeptStepName(const std::string& name)
{
    return name.size() <= kMaxStepNameBytes &&
           std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

const char* JournalKindName(JournalKind kind) { return kind == JournalKind::City ? "city" : "tactical"; }

void JournalContent::Apply(const JournalBatch& batch)
{
    steps.erase(steps.lower_bound(batch.keep), steps.end());
    for (const auto& [position, step] : batch.steps) steps[position] = step;
    undoFirst.insert(undoFirst.end(), batch.undoFirst.begin(), batch.undoFirst.end());
    base = batch.base;
    index = batch.index;
    writtenSeconds = batch.writtenSeconds;
}

std::size_t JournalContent::EditCount() const
{
    return undoFirst.size() + (index > base ? index - base : base - index);
}

std::vector<ReplayStep> JournalContent::Replay() const
{
    std::vector<ReplayStep> way;
    for (const JournalBytes& step : undoFirst) way.push_back({&step, false});
    auto at = [this](std::uint32_t position) {
        const auto it = steps.find(position);
        if (it == steps.end())
            throw Error("The recovered edits of " + header.mapName + " are incomplete: step " +
                        std::to_string(position) + " is missing");
        return &it->second.bytes;
    };
    for (std::uint32_t k = base; k < index; ++k) way.push_back({at(k), true});
    for (std::uint32_t k = base; k > index; --k) way.push_back({at(k - 1), false});
    return way;
}

std::pair<std::uint32_t, std::uint32_t> JournalContent::HeldRange() const
{
    std::uint32_t first = std::min(base, index), last = std::max(base, index);
    while (first > 0 && steps.count(first - 1)) --first;
    while (last < UINT32_MAX && steps.count(last)) ++last;
    return {first, last};
}

JournalBytes EncodeJournalHeader(const JournalHeader& header)
{
    JournalOut payload;
    payload.U8(kHeaderRecord);
    payload.U8(static_cast<std::uint8_t>(header.kind));
    payload.Text(header.mapName);
    payload.Text(header.gamePath);
    payload.U32(static_cast<std::uint32_t>(header.opening.size()));
    for (const std::string& field : header.opening) payload.Text(field);
    payload.U32(static_cast<std::uint32_t>(header.files.size()));
    for (const JournalFile& f : header.files) {
        payload.Text(f.path);
        payload.U8(f.stamp.exists ? 1 : 0);
        payload.U64(f.stamp.size);
        payload.I64(f.stamp.modifiedSeconds);
        payload.I64(f.stamp.modifiedNanoseconds);
        payload.U64(f.stamp.device);
        payload.U64(f.stamp.inode);
        payload.U64(f.hash);
    }
    payload.U32(header.processId);
    payload.I64(header.createdSeconds);

    JournalOut out;
    out.Raw(kMagic, sizeof kMagic);
    out.U32(kVersion);
    const JournalBytes record = Record(payload);
    out.Raw(record.data(), record.size());
    return std::move(out.bytes);
}

JournalBytes EncodeJournalBatch(const JournalBatch& batch)
{
    JournalOut payload;
    PutBatch(payload, batch);
    return Record(payload);
}

JournalBytes EncodeWholeJournal(const JournalContent& content)
{
    JournalBytes bytes = EncodeJournalHeader(content.header);
    JournalBatch all;
    all.writtenSeconds = content.writtenSeconds;
    all.keep = 0;
    for (const auto& [position, step] : content.steps) all.steps.emplace_back(position, step);
    all.undoFirst = content.undoFirst;
    all.base = content.base;
    all.index = content.index;
    const JournalBytes batch = EncodeJournalBatch(all);
    bytes.insert(bytes.end(), batch.begin(), batch.end());
    return bytes;
}

JournalContent ReadJournal(ByteSource& source)
{
    return ReadingFile(source.name(), [&] {
        RefuseLargerThan(source, kMaxJournalBytes, "recovery journal");
        char magic[sizeof kMagic] = {};
        const bool ours = source.size() >= kStartBytes && source.readSome(0, magic, sizeof magic) == sizeof magic &&
                          std::memcmp(magic, kMagic, sizeof magic) == 0;
        const std::uint32_t version = ours ? source.u32(sizeof kMagic) : 0;
        if (version != kVersion && version != kUnnamedVersion)
            throw Error(source.name() + " is not a recovery journal of Ketral");

        // Reads the record at `pos`; false when none whole and sound starts there.
        JournalBytes payload;
        auto record = [&](std::uint64_t& pos) {
            if (source.size() - pos < kRecordHead) return false;
            const std::uint32_t length = source.u32(pos), sum = source.u32(pos + 4);
            if (length == 0 || length > source.size() - pos - kRecordHead) return false;
            payload = source.bytes(pos + kRecordHead, length);
            if (Checksum(payload.data(), payload.size()) != sum) return false;
            pos += kRecordHead + length;
            return true;
        };

        JournalContent content;
        std::uint64_t pos = kStartBytes;
        if (!record(pos) || payload[0] != kHeaderRecord) throw Error(source.name() + " is damaged");
        {
            MemorySource bytes(std::move(payload), source.name());
            JournalIn in(bytes, 1, bytes.size());
            content.header = GetHeader(in);
            in.ExpectEnd();
        }
        content.writtenSeconds = content.header.createdSeconds;
        while (pos < source.size()) {
            const std::uint64_t start = pos;
            if (!record(pos) || payload[0] != kBatchRecord) {
                content.tornTail = true;
                break;
            }
            try {
                MemorySource bytes(std::move(payload), source.name());
                JournalIn in(bytes, 1, bytes.size());
                const JournalBatch batch = GetBatch(in, version);
                in.ExpectEnd();
                content.Apply(batch);
            } catch (const Error&) {
                // A record whose checksum matches but whose fields do not
                // hold together was not written by this program; what came
                // before it stands.
                content.tornTail = true;
                pos = start;
                break;
            }
        }
        return content;
    });
}

JournalContent ReadJournalFile(const std::string& path)
{
    FileSource source(path);
    return ReadJournal(source);
}

std::uint64_t ContentHash(const std::string& path)
{
    const std::unique_ptr<ByteSource> source = OpenCurrentCopy(path);
    std::uint64_t h = 14695981039346656037ull;
    std::vector<std::uint8_t> chunk(1 << 16);
    for (std::uint64_t pos = 0; pos < source->size();) {
        const std::size_t n = source->readSome(pos, chunk.data(), chunk.size());
        if (n == 0) break;
        for (std::size_t i = 0; i < n; ++i) h = (h ^ chunk[i]) * 1099511628211ull;
        pos += n;
    }
    return h;
}

JournalFile JournalFileNow(const std::string& path)
{
    JournalFile f;
    f.path = path;
    f.stamp = StampOf(CurrentCopyOf(path));
    if (f.stamp.exists) f.hash = ContentHash(path);
    return f;
}

JournalFilesState FilesStateOf(const JournalHeader& header)
{
    JournalFilesState state = JournalFilesState::Unchanged;
    for (const JournalFile& f : header.files) {
        const FileStamp now = StampOf(CurrentCopyOf(f.path));
        if (f.stamp.exists && !now.exists) return JournalFilesState::Gone;
        if (now != f.stamp) {
            state = JournalFilesState::Changed;
            continue;
        }
        try {
            if (now.exists && ContentHash(f.path) != f.hash) state = JournalFilesState::Changed;
        } catch (const Error&) {
            return JournalFilesState::Gone;  // there, but not readable as a file
        }
    }
    return state;
}

std::string JournalTimeText(std::int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    char text[32] = "?";
    if (::localtime_r(&t, &local)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

std::string RecoveryQuestion(const JournalContent& content)
{
    return "Ketral ended while " + content.header.mapName + " had unsaved changes (" +
           JournalTimeText(content.writtenSeconds) + ", " + Counted(content.EditCount(), "change", "changes") +
           "). Restore " + (content.EditCount() == 1 ? "it" : "them") + "?";
}

std::string ChangedFilesQuestion(const JournalContent& content)
{
    return "The files of " + content.header.mapName + " changed since; the recovered edits may not fit. Restore anyway?";
}

std::string FilesGoneReport(const JournalContent& content)
{
    return "The files of " + content.header.mapName +
           " are gone; its unsaved changes cannot be restored. They are kept until you discard them.";
}

}  // namespace ketral
