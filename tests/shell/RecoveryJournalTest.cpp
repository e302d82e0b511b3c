// The recovery journal's file: what is written reads back, a write cut short
// anywhere reads as the journal before it, damaged and foreign files are
// refused without harm, the journal's way from the files to the map, the
// files' check, and a writer killed at random moments.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "base/Errors.h"
#include "shell/RecoveryDirectory.h"
#include "shell/RecoveryJournal.h"
#include "support/FailingWrites.h"
#include "support/GuardedFifo.h"
#include "support/JournalRecords.h"
#include "support/TempDir.h"

using namespace ketral;
using ketral::testing::ReadFileBytes;
using ketral::testing::TempDir;

namespace {

JournalHeader SomeHeader()
{
    JournalHeader h;
    h.kind = JournalKind::City;
    h.mapName = "Citymap1";
    h.gamePath = "/games/zv/";
    h.opening = {"/games/zv/vyxdata/", "Citymap1", "", "0", "1"};
    JournalFile f;
    f.path = "/games/zv/vyxdata/CITYMAP1";
    f.stamp = {true, 200000, 1700000000, 5, 2049, 77};
    f.hash = 0x1234567890abcdefull;
    h.files = {f};
    h.processId = 4242;
    h.createdSeconds = 1700000100;
    return h;
}

JournalBytes Step(std::uint8_t tag, std::size_t n = 5) { return JournalBytes(n, tag); }

// Three writes of a window: two edits, an undo and a new edit in place of
// the undone one, an undo past the files' state with a new edit (one whose
// name the journal does not keep).
std::vector<JournalBatch> SomeBatches()
{
    return {
        {1700000200, 0, {{0, {Step(1), "Paint"}}, {1, {Step(2), "Bucket fill"}}}, {}, 0, 2},
        {1700000300, 1, {{1, {Step(3, 40), "Paste"}}}, {}, 0, 2},
        {1700000400, 0, {{0, Step(4)}}, {Step(3, 40), Step(1)}, 0, 1},
    };
}

JournalBytes Whole(const JournalHeader& h, const std::vector<JournalBatch>& batches)
{
    JournalBytes bytes = EncodeJournalHeader(h);
    for (const JournalBatch& b : batches) {
        const JournalBytes r = EncodeJournalBatch(b);
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    return bytes;
}

JournalContent Read(const JournalBytes& bytes)
{
    MemorySource source(bytes, "journal");
    return ReadJournal(source);
}

std::string ErrorOf(const JournalBytes& bytes)
{
    try {
        Read(bytes);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

// The content after the first `n` batches.
JournalContent After(std::size_t n)
{
    JournalContent c;
    c.header = SomeHeader();
    c.writtenSeconds = c.header.createdSeconds;
    const auto batches = SomeBatches();
    for (std::size_t i = 0; i < n; ++i) c.Apply(batches[i]);
    return c;
}

void ExpectSame(const JournalContent& got, const JournalContent& want)
{
    EXPECT_EQ(got.header, want.header);
    EXPECT_EQ(got.steps, want.steps);
    EXPECT_EQ(got.undoFirst, want.undoFirst);
    EXPECT_EQ(got.base, want.base);
    EXPECT_EQ(got.index, want.index);
    EXPECT_EQ(got.writtenSeconds, want.writtenSeconds);
}

}  // namespace

TEST(RecoveryJournal, WhatIsWrittenReadsBackAfterEveryBatch)
{
    const auto batches = SomeBatches();
    for (std::size_t n = 0; n <= batches.size(); ++n) {
        SCOPED_TRACE(n);
        const JournalContent got = Read(Whole(SomeHeader(), {batches.begin(), batches.begin() + n}));
        ExpectSame(got, After(n));
        EXPECT_FALSE(got.tornTail);
    }
    // The last write: an undo past the files' state and a new edit.
    const JournalContent last = Read(Whole(SomeHeader(), batches));
    EXPECT_EQ(last.steps, (std::map<std::uint32_t, JournalStep>{{0, Step(4)}}));
    EXPECT_EQ(last.undoFirst, (std::vector<JournalBytes>{Step(3, 40), Step(1)}));
    EXPECT_EQ(last.base, 0u);
    EXPECT_EQ(last.index, 1u);
    EXPECT_EQ(last.writtenSeconds, 1700000400);
    // A rewrite in one batch reads as the journal it was made from.
    const JournalContent rewritten = Read(EncodeWholeJournal(After(3)));
    ExpectSame(rewritten, After(3));
}

// A step's name is kept when it is a short printable text; a batch record
// holding another is damaged (and dropped with what follows), and the writer
// writes a step whose name it does not keep without one.
TEST(RecoveryJournal, StepNamesAreKeptUpToTheirBound)
{
    struct Case {
        const char* what;
        std::string name;
        bool kept;
    };
    const Case cases[] = {
        {"a name", "Bucket fill", true},
        {"none", "", true},
        {"the longest kept", std::string(kMaxStepNameBytes, 'n'), true},
        {"one byte longer", std::string(kMaxStepNameBytes + 1, 'n'), false},
        {"a line break", "Paste\n", false},
        {"a byte above ASCII", "Coll\xe9", false},
    };
    const JournalBatch first = SomeBatches()[0];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const JournalBatch named{1700000300, 2, {{2, {Step(5), c.name}}}, {}, 0, 3};
        JournalBytes bytes = Whole(SomeHeader(), {first});
        const JournalBytes record = ketral::testing::BatchRecord(named, true);
        bytes.insert(bytes.end(), record.begin(), record.end());
        const JournalContent got = Read(bytes);
        EXPECT_EQ(got.tornTail, !c.kept);
        if (c.kept) EXPECT_EQ(got.steps.at(2), (JournalStep{Step(5), c.name}));
        else ExpectSame(got, After(1));

        const JournalContent written = Read(Whole(SomeHeader(), {first, named}));
        EXPECT_FALSE(written.tornTail);
        EXPECT_EQ(written.steps.at(2), (JournalStep{Step(5), c.kept ? c.name : ""}));
    }
}

// The journals written before names were kept read as they did: every
// step without a name.
TEST(RecoveryJournal, AJournalOfTheFirstLayoutReadsWithoutNames)
{
    const auto batches = SomeBatches();
    for (std::size_t n = 0; n <= batches.size(); ++n) {
        SCOPED_TRACE(n);
        JournalBytes bytes = ketral::testing::UnnamedJournalHeader(SomeHeader());
        for (std::size_t i = 0; i < n; ++i) {
            const JournalBytes record = ketral::testing::BatchRecord(batches[i], false);
            bytes.insert(bytes.end(), record.begin(), record.end());
        }
        JournalContent want = After(n);
        for (auto& [position, step] : want.steps) step.name.clear();
        const JournalContent got = Read(bytes);
        ExpectSame(got, want);
        EXPECT_FALSE(got.tornTail);
    }
}

TEST(RecoveryJournal, AWriteCutShortAnywhereReadsAsTheJournalBeforeIt)
{
    const JournalBytes header = EncodeJournalHeader(SomeHeader());
    const JournalBytes whole = Whole(SomeHeader(), SomeBatches());
    std::vector<std::size_t> ends{header.size()};
    for (const JournalBatch& b : SomeBatches()) ends.push_back(ends.back() + EncodeJournalBatch(b).size());
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        const JournalBytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        if (cut < header.size()) {
            EXPECT_FALSE(ErrorOf(part).empty());
            continue;
        }
        std::size_t whole_batches = 0;
        while (whole_batches + 1 < ends.size() && ends[whole_batches + 1] <= cut) ++whole_batches;
        const JournalContent got = Read(part);
        ExpectSame(got, After(whole_batches));
        EXPECT_EQ(got.tornTail, cut != ends[whole_batches]);
    }
}

TEST(RecoveryJournal, AFlippedByteDropsTheWritesFromItsRecordOn)
{
    const JournalBytes header = EncodeJournalHeader(SomeHeader());
    const JournalBytes whole = Whole(SomeHeader(), SomeBatches());
    std::vector<std::size_t> ends{header.size()};
    for (const JournalBatch& b : SomeBatches()) ends.push_back(ends.back() + EncodeJournalBatch(b).size());
    for (std::size_t at = 0; at < whole.size(); ++at) {
        SCOPED_TRACE(at);
        JournalBytes bytes = whole;
        bytes[at] ^= 0x41;
        if (at < header.size()) {
            EXPECT_FALSE(ErrorOf(bytes).empty());
            continue;
        }
        std::size_t before = 0;
        while (ends[before + 1] <= at) ++before;
        const JournalContent got = Read(bytes);
        ExpectSame(got, After(before));
        EXPECT_TRUE(got.tornTail);
    }
}

TEST(RecoveryJournal, FilesThatAreNoJournalAreRefused)
{
    JournalBytes otherVersion = EncodeJournalHeader(SomeHeader());
    otherVersion[16] = 9;
    JournalHeader noFiles = SomeHeader();
    noFiles.files.clear();
    const std::string png = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR";
    const struct {
        const char* what;
        JournalBytes bytes;
        const char* message;
    } cases[] = {
        {"empty", {}, "journal is not a recovery journal of Ketral"},
        {"a picture", JournalBytes(png.begin(), png.end()), "journal is not a recovery journal of Ketral"},
        {"text", JournalBytes(40, 'a'), "journal is not a recovery journal of Ketral"},
        {"a later layout", otherVersion, "journal is not a recovery journal of Ketral"},
        {"the start alone", JournalBytes(otherVersion.begin(), otherVersion.begin() + 20), "journal is damaged"},
        // Nothing would tell whether the map changed since.
        {"a header that names no files", Whole(noFiles, SomeBatches()), "journal is damaged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        JournalBytes bytes = c.bytes;
        if (std::string(c.what) == "the start alone") bytes[16] = 1;
        EXPECT_EQ(ErrorOf(bytes), c.message);
    }
}

TEST(RecoveryJournal, AHugeFileAndAPipeAreRefusedWithoutReadingThem)
{
    TempDir dir;
    const std::string huge = dir / "huge.journal";
    const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 1ll << 30), 0);  // 1 GB, sparse
    ::close(fd);
    EXPECT_THROW(ReadJournalFile(huge), IoError);

    ketral::testing::GuardedFifo fifo(dir / "pipe.journal");
    EXPECT_THROW(ReadJournalFile(fifo.path()), IoError);
    EXPECT_FALSE(fifo.Unblocked());
}

TEST(RecoveryJournal, TheWayFromTheFilesToTheMap)
{
    struct Case {
        const char* what;
        std::vector<std::uint32_t> held;  // positions held, step bytes = position
        std::size_t undoFirst;
        std::uint32_t base, index;
        std::vector<std::pair<int, bool>> way;  // step (-1 - k: undoFirst k), redo
        std::pair<std::uint32_t, std::uint32_t> range;
    };
    const Case cases[] = {
        {"two edits", {0, 1}, 0, 0, 2, {{0, true}, {1, true}}, {0, 2}},
        {"edits after a save", {3, 4, 5}, 0, 3, 5, {{3, true}, {4, true}}, {3, 6}},
        {"undone past the save", {1, 2, 3}, 0, 3, 1, {{2, false}, {1, false}}, {1, 4}},
        {"undone, then a new edit", {0, 1}, 2, 1, 2, {{-1, false}, {-2, false}, {1, true}}, {0, 2}},
        {"nothing to do", {0}, 0, 1, 1, {}, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        JournalContent content;
        for (std::uint32_t p : c.held) content.steps[p] = Step(static_cast<std::uint8_t>(p));
        for (std::size_t k = 0; k < c.undoFirst; ++k) content.undoFirst.push_back(Step(static_cast<std::uint8_t>(100 + k)));
        content.base = c.base;
        content.index = c.index;
        const auto way = content.Replay();
        ASSERT_EQ(way.size(), c.way.size());
        for (std::size_t i = 0; i < way.size(); ++i) {
            const int k = c.way[i].first;
            const JournalBytes& want = k >= 0 ? content.steps.at(static_cast<std::uint32_t>(k)).bytes
                                              : content.undoFirst[static_cast<std::size_t>(-1 - k)];
            EXPECT_EQ(way[i].step, &want) << i;
            EXPECT_EQ(way[i].redo, c.way[i].second) << i;
        }
        EXPECT_EQ(content.EditCount(), c.way.size());
        EXPECT_EQ(content.HeldRange(), c.range);
    }
    JournalContent gap;
    gap.steps[0] = Step(0);
    gap.steps[2] = Step(2);
    gap.index = 3;
    EXPECT_THROW(gap.Replay(), Error);
}

TEST(RecoveryJournal, TheFilesCheckSeesEveryKindOfChange)
{
    TempDir dir;
    const std::string path = dir.write("map.dat", std::string("0123456789"));
    JournalHeader h;
    h.files = {JournalFileNow(path)};
    EXPECT_EQ(FilesStateOf(h), JournalFilesState::Unchanged);

    // Same size and time, other bytes: only the hash tells.
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    dir.write("map.dat", std::string("0123456780"));
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(FilesStateOf(h), JournalFilesState::Changed);

    h.files = {JournalFileNow(path)};
    dir.write("other.dat", std::string("0123456780"));
    ASSERT_EQ(::rename((dir / "other.dat").c_str(), path.c_str()), 0);  // another inode
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(FilesStateOf(h), JournalFilesState::Changed);

    ::unlink(path.c_str());
    EXPECT_EQ(FilesStateOf(h), JournalFilesState::Gone);
}

// The journal directory of these tests: XDG_STATE_HOME in a scratch directory.
class RecoveryDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_STATE_HOME", (dir_ / "state").c_str(), 1); }
    void TearDown() override { ::unsetenv("XDG_STATE_HOME"); }
    TempDir dir_;
};

TEST_F(RecoveryDirectoryTest, AJournalIsTheOwnersAloneAndGoesWithItsWriter)
{
    std::string path;
    {
        RecoveryJournalFile file(JournalKind::Tactical);
        file.Replace(EncodeJournalHeader(SomeHeader()));
        file.Append(EncodeJournalBatch(SomeBatches()[0]));
        path = file.Path();
        EXPECT_EQ(path.rfind(RecoveryDirectory() + "tactical-" + std::to_string(::getpid()) + "-", 0), 0u);
        ExpectSame(ReadJournalFile(path), After(1));
        struct stat st {};
        ASSERT_EQ(::stat(RecoveryDirectory().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0077, 0u);
        // A running editor's journal is listed as in use and cannot be discarded.
        const auto list = ListJournals();
        ASSERT_EQ(list.size(), 1u);
        EXPECT_TRUE(list[0].inUse);
        EXPECT_THROW(DiscardJournal(path), Error);
        // A second window of the same process writes its own journal.
        RecoveryJournalFile second(JournalKind::Tactical);
        second.Replace(EncodeJournalHeader(SomeHeader()));
        EXPECT_NE(second.Path(), path);
    }
    EXPECT_TRUE(ListJournals().empty());
    EXPECT_FALSE(IsInRecoveryDirectory(dir_ / "elsewhere.journal"));
    EXPECT_TRUE(IsInRecoveryDirectory(RecoveryDirectory() + "x.journal"));
}

// A writer killed at random moments, also while it writes: the journal left
// always reads as the writes that finished, at most the one under way lost.
TEST_F(RecoveryDirectoryTest, AWriterKilledAtAnyMomentLeavesAReadableJournal)
{
    std::mt19937 random(7);
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE(round);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RecoveryJournalFile file(JournalKind::City);
            file.Replace(EncodeJournalHeader(SomeHeader()));
            for (std::uint32_t k = 0;; ++k) {
                JournalBatch b;
                b.steps.emplace_back(k, Step(static_cast<std::uint8_t>(k), 4000 + k % 7));
                b.keep = k;
                b.index = k + 1;
                file.Append(EncodeJournalBatch(b));
                if (k % 3 == 2) {
                    JournalContent c = ReadJournalFile(file.Path());
                    file.Replace(EncodeWholeJournal(c));
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        for (const JournalListing& j : ListJournals()) {
            EXPECT_FALSE(j.inUse);
            const JournalContent c = ReadJournalFile(j.path);
            ASSERT_EQ(c.steps.size(), c.index);
            for (std::uint32_t k = 0; k < c.index; ++k)
                EXPECT_EQ(c.steps.at(k).bytes, Step(static_cast<std::uint8_t>(k), 4000 + k % 7));
            DiscardJournal(j.path);
        }
    }
}

TEST(RecoveryJournal, TheQuestionCountsTheChangesInWordsThatAgree)
{
    JournalContent content;
    content.header.mapName = "outpost";
    for (auto [index, words] : {std::pair{1u, "1 change). Restore it?"}, std::pair{3u, "3 changes). Restore them?"}}) {
        content.index = index;
        const std::string question = RecoveryQuestion(content);
        EXPECT_EQ(question.rfind("Ketral ended while outpost had unsaved changes (", 0), 0u) << question;
        EXPECT_EQ(question.substr(question.size() - std::string(words).size()), words);
    }
}

// A killed editor may leave a lock without a journal; the next start takes
// away exactly those whose writer is gone and that nobody holds.
TEST_F(RecoveryDirectoryTest, LocksThatKilledEditorsLeftWithoutAJournalGo)
{
    MakeRecoveryDirectory();
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string dir = RecoveryDirectory(), dead = std::to_string(gone), alive = std::to_string(::getpid());
    const auto make = [&](const std::string& name) {
        const int fd = ::open((dir + name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        EXPECT_GE(fd, 0);
        ::close(fd);
    };
    make("tactical-" + dead + "-0.journal.lock");  // orphaned: goes
    make("city-" + dead + "-1.journal.lock");      // orphaned: goes
    make("city-" + dead + "-2.journal");           // a journal to offer: stays with its lock
    make("city-" + dead + "-2.journal.lock");
    make("tactical-" + alive + "-7.journal.lock"); // a running writer's: stays
    make("notes-" + dead + ".lock");               // not ours: stays
    const int held = ::open((dir + "city-" + dead + "-3.journal.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);  // held: stays
    EXPECT_EQ(RemoveOrphanedLocks(), 2);
    EXPECT_EQ(ketral::testing::DirectoryNames(dir),
              (std::vector<std::string>{"city-" + dead + "-2.journal", "city-" + dead + "-2.journal.lock",
                                        "city-" + dead + "-3.journal.lock", "notes-" + dead + ".lock",
                                        "tactical-" + alive + "-7.journal.lock"}));
    ::close(held);
}
