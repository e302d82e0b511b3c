// The settings file layer on any bytes: the editor's store reads the file
// and either takes its keys, exactly as the parser reads the text, or moves
// it aside unchanged and starts empty. A value written afterwards reaches
// the file together with every key read.
//
// The store keeps its file in memory here, so that an input costs no file
// system call; now and then an input also goes through a real file (in a
// directory of this process's own, on a memory file system where there is
// one), which must end exactly as in memory.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "base/Errors.h"
#include "shell/SettingsFile.h"
#include "shell/SettingsFileSystem.h"
#include "shell/SettingsStore.h"

using namespace ketral;
namespace fs = std::filesystem;

namespace {

// A directory of this process's own, removed at exit (kept alive for the
// exit handler, so never destroyed before it runs).
const std::string& WorkDir()
{
    static const std::string* const dir = [] {
        std::error_code ec;
        const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        auto* d = new std::string((base / ("ketral-fuzz-settings-" + std::to_string(::getpid()))).string());
        fs::create_directories(*d);
        std::atexit([] {
            std::error_code e;
            fs::remove_all(WorkDir(), e);
        });
        return d;
    }();
    return *dir;
}

bool SameKeys(const SettingsStore::Keys& a, const SettingsStore::Keys& b)
{
    if (a.size() != b.size()) return false;
    for (auto ia = a.begin(), ib = b.begin(); ia != a.end(); ++ia, ++ib) {
        if (ia->first != ib->first || ia->second.size() != ib->second.size()) return false;
        for (auto va = ia->second.begin(), vb = ib->second.begin(); va != ia->second.end(); ++va, ++vb) {
            if (va->first != vb->first || va->second.type != vb->second.type) return false;
            if (va->second.type == SettingsValue::Type::Text ? va->second.text != vb->second.text
                                                             : va->second.integer != vb->second.integer)
                return false;
        }
    }
    return true;
}

// The settings file and the file it was moved aside to ("" for none) after
// the store has read it and written a value.
struct Outcome {
    std::string settings, aside;
    bool movedAside = false;
    SettingsStore::Keys keys;
};

void Fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// Runs the store on `files`, where `path` holds `text`, and checks what it does.
Outcome Run(SettingsFileSystem& files, const std::string& path, const std::string& text)
{
    const std::string aside = path + ".unreadable";
    bool parses = true;
    SettingsStore::Keys parsed;
    try {
        parsed = ParseSettingsText(text);
    } catch (const SettingsFormatError&) {
        parses = false;
    }
    Outcome out;
    FileSettingsStore store(path, FileSettingsStore::Access::ReadWrite, files);
    out.keys = store.keys();
    if (parses) {
        if (!store.problem().empty() || !SameKeys(store.keys(), parsed)) Fail("a readable file was not taken whole");
        if (files.Read(path) != text) Fail("reading changed the file");
    } else {
        if (store.problem().empty() || !store.keys().empty()) Fail("an unreadable file was taken");
        if (files.Exists(path) || files.Read(aside) != text) Fail("an unreadable file was not moved aside whole");
        out.movedAside = true;
        out.aside = files.Read(aside);
    }
    store.OpenKey(kSettingsKey).WriteInteger("CDOnly", 1);
    SettingsStore::Keys expected = parsed;
    expected[kSettingsKey]["CDOnly"] = SettingsValue{SettingsValue::Type::Integer, "", 1};
    out.settings = files.Read(path);
    if (!SameKeys(ParseSettingsText(out.settings), expected)) Fail("the written file lost a key");
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    static MemorySettingsFiles& memory = *new MemorySettingsFiles;
    static unsigned inputs = 0;
    memory.files.clear();
    memory.files["/config/ketral/settings"] = text;
    const Outcome inMemory = Run(memory, "/config/ketral/settings", text);

    if (++inputs % 64 == 1) {
        const std::string path = WorkDir() + "/settings";
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
        }
        const Outcome onDisk = Run(DiskSettingsFiles(), path, text);
        if (onDisk.settings != inMemory.settings || onDisk.aside != inMemory.aside ||
            onDisk.movedAside != inMemory.movedAside || !SameKeys(onDisk.keys, inMemory.keys))
            Fail("the store ended differently on disk than in memory");
        std::error_code ec;
        fs::remove(path, ec);
        fs::remove(path + ".unreadable", ec);
    }
    return 0;
}
