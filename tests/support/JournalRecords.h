#pragma once
// Recovery journal bytes that the program's writer no longer makes: the
// first layout (version 1), whose batch records keep no step names, as the
// journals written before names were kept; and batch records with any name
// at all, which the writer would not write, for the reader's tests.
#include <cstdint>

#include "shell/JournalCodec.h"
#include "shell/RecoveryJournal.h"

namespace ketral::testing {

// A record: its length, its checksum (FNV-1a, 32 bits) and `payload`.
inline JournalBytes JournalRecord(const JournalBytes& payload)
{
    std::uint32_t sum = 2166136261u;
    for (std::uint8_t b : payload) sum = (sum ^ b) * 16777619u;
    JournalOut out;
    out.U32(static_cast<std::uint32_t>(payload.size()));
    out.U32(sum);
    out.Raw(payload.data(), payload.size());
    return std::move(out.bytes);
}

// A batch record with the steps' names as they stand (`named`, the layout
// of version 2) or without names (version 1).
inline JournalBytes BatchRecord(const JournalBatch& batch, bool named)
{
    JournalOut out;
    out.U8(2);  // a batch
    out.I64(batch.writtenSeconds);
    out.U32(batch.keep);
    out.U32(static_cast<std::uint32_t>(batch.steps.size()));
    for (const auto& [position, step] : batch.steps) {
        out.U32(position);
        if (named) out.Text(step.name);
        out.Blob(step.bytes);
    }
    out.U32(static_cast<std::uint32_t>(batch.undoFirst.size()));
    for (const JournalBytes& bytes : batch.undoFirst) out.Blob(bytes);
    out.U32(batch.base);
    out.U32(batch.index);
    return JournalRecord(out.bytes);
}

// The journal's start and header in the first layout: the header record is
// the same in both, only the version differs.
inline JournalBytes UnnamedJournalHeader(const JournalHeader& header)
{
    JournalBytes bytes = EncodeJournalHeader(header);
    bytes.at(16) = 1;  // the version, after the 16 bytes of the name
    return bytes;
}

// The whole journal of `content` in the first layout, in one batch.
inline JournalBytes UnnamedJournal(const JournalContent& content)
{
    JournalBytes bytes = UnnamedJournalHeader(content.header);
    JournalBatch all;
    all.writtenSeconds = content.writtenSeconds;
    for (const auto& [position, step] : content.steps) all.steps.emplace_back(position, step);
    all.undoFirst = content.undoFirst;
    all.base = content.base;
    all.index = content.index;
    const JournalBytes batch = BatchRecord(all, false);
    bytes.insert(bytes.end(), batch.begin(), batch.end());
    return bytes;
}

}  // namespace ketral::testing
