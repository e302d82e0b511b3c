// The settings file layer on any bytes: the editor's store reads the file
// (in a directory of its own, on a memory file system where there is one)
// and either takes its keys, exactly as the parser reads the text, or moves
// it aside unchanged and starts empty. A value written afterwards reaches
// the file together with every key read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "base/Errors.h"
#include "shell/SettingsFile.h"
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

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string path = WorkDir() + "/settings";
    const std::string aside = path + ".unreadable";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    bool parses = true;
    SettingsStore::Keys parsed;
    try {
        parsed = ParseSettingsText(text);
    } catch (const SettingsFormatError&) {
        parses = false;
    }
    {
        FileSettingsStore store(path);
        if (parses) {
            if (!store.problem().empty() || !SameKeys(store.keys(), parsed)) std::abort();
            if (Contents(path) != text) std::abort();  // reading never writes
        } else {
            if (store.problem().empty() || !store.keys().empty()) std::abort();
            if (fs::exists(path) || Contents(aside) != text) std::abort();
        }
        store.OpenKey(kSettingsKey).WriteInteger("CDOnly", 1);
        SettingsStore::Keys expected = parsed;
        expected[kSettingsKey]["CDOnly"] = SettingsValue{SettingsValue::Type::Integer, "", 1};
        if (!SameKeys(ParseSettingsText(ReadSettingsFile(path)), expected)) std::abort();
    }
    std::error_code ec;
    fs::remove(path, ec);
    fs::remove(aside, ec);
    return 0;
}
