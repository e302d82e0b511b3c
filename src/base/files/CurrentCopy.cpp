#include "base/files/CurrentCopy.h"

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/files/CommitRecord.h"
#include "base/files/CopyNames.h"
#include "base/files/StoppedSaves.h"

namespace ketral {

std::string CurrentCopyOf(const std::string& path)
{
    const std::string real = ResolveCase(path);
    const std::string target = RenameTarget(real);
    const std::string dir = DirectoryOf(target), name = NameOf(target);
    for (const std::string& n : NamesIn(dir)) {
        if (!IsRecordName(n)) continue;
        const std::vector<CommitEntry> entries = ReadRecord(Join(dir, n));
        for (const CommitEntry& e : entries) {
            if (e.file != name) continue;
            const RecordPlan plan = PlanRecord(dir, entries);
            for (std::size_t i : plan.toRename)
                if (entries[i].file == name) return Join(dir, CopyName(e.file, e.suffix));
        }
    }
    return real;
}

namespace {

// A source read from a new copy, named as the file it will replace.
class RenamedSource : public ByteSource {
public:
    RenamedSource(std::unique_ptr<ByteSource> inner, std::string name)
        : inner_(std::move(inner)), name_(std::move(name))
    {
    }
    const std::string& name() const override { return name_; }
    std::uint64_t size() const override { return inner_->size(); }
    std::size_t readSome(std::uint64_t offset, void* dst, std::size_t n) override
    {
        return inner_->readSome(offset, dst, n);
    }

private:
    std::unique_ptr<ByteSource> inner_;
    std::string name_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenCurrentCopy(const std::string& path)
{
    const std::string real = ResolveCase(path);
    const std::string copy = CurrentCopyOf(real);
    if (copy != real) {
        try {
            return std::make_unique<RenamedSource>(std::make_unique<FileSource>(copy), real);
        } catch (const Error&) {
            // Renamed over the file meanwhile by a save that finished it.
        }
    }
    return std::make_unique<FileSource>(path);
}

}  // namespace ketral
