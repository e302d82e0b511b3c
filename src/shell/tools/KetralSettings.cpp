// ketral-settings: reads and writes the editor's settings from scripts (./run
// stores the demo's game path with it). The values live under the key
// "\SOFTWARE\Ketral" of the editor's settings file.
//
//   ketral-settings get NAME          prints the text or number; exit 1 when absent
//   ketral-settings set NAME TEXT     stores a text
//   ketral-settings set-int NAME N    stores a 32-bit integer
//   ketral-settings path              prints the settings file's path
//
// Exit status: 0 done, 1 the value is absent, 2 a wrong call, 3 a failure
// (said on stderr): an unreadable settings file for `get`, which leaves it as
// it is, or a value that could not be stored.
#include <cstdio>
#include <exception>
#include <string>

#include "shell/IntegerText.h"
#include "shell/SettingsStore.h"

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: ketral-settings get NAME\n"
                 "       ketral-settings set NAME TEXT\n"
                 "       ketral-settings set-int NAME NUMBER\n"
                 "       ketral-settings path\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace ketral;
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    try {
        if (command == "path" && argc == 2) {
            std::printf("%s\n", DefaultSettingsPath().c_str());
            return 0;
        }
        if (command == "get" && argc == 3) {
            // Reading moves, creates and changes nothing.
            const FileSettingsStore store(DefaultSettingsPath(), FileSettingsStore::Access::ReadOnly);
            if (!store.problem().empty()) {
                std::fprintf(stderr, "%s\n", store.problem().c_str());
                return 3;
            }
            const auto key = store.keys().find(kSettingsKey);
            if (key == store.keys().end()) return 1;
            const auto value = key->second.find(argv[2]);
            if (value == key->second.end()) return 1;
            if (value->second.type == SettingsValue::Type::Text)
                std::printf("%s\n", value->second.text.c_str());
            else
                std::printf("%d\n", value->second.integer);
            return 0;
        }
        if ((command == "set" || command == "set-int") && argc == 4) {
            FileSettingsStore store(DefaultSettingsPath());
            if (!store.problem().empty()) std::fprintf(stderr, "%s\n", store.problem().c_str());
            if (!store.writable()) {
                std::fprintf(stderr, "Nothing was stored: the settings file %s cannot be written.\n", store.path().c_str());
                return 3;
            }
            SettingsKey key = store.OpenKey(kSettingsKey);
            if (command == "set")
                key.WriteString(argv[2], argv[3]);
            else
                key.WriteInteger(argv[2], ParseIntegerText(argv[3]));
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 3;
    }
    return Usage();
}
