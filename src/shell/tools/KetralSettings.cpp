// ketral-settings: reads and writes the editor's settings from scripts (./run
// stores the demo's game path with it). The values live under the key
// "\SOFTWARE\Ketral" of the editor's settings file.
//
//   ketral-settings get NAME          prints the text or number; exit 1 when absent
//   ketral-settings set NAME TEXT     stores a text
//   ketral-settings set-int NAME N    stores a 32-bit integer
//   ketral-settings path              prints the settings file's path
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
        FileSettingsStore store(DefaultSettingsPath());
        if (!store.problem().empty()) std::fprintf(stderr, "%s\n", store.problem().c_str());
        SettingsKey key = store.OpenKey(kSettingsKey);
        if (command == "get" && argc == 3) {
            if (!key.ValueExists(argv[2])) return 1;
            const SettingsValue& v = store.keys().at(kSettingsKey).at(argv[2]);
            if (v.type == SettingsValue::Type::Text)
                std::printf("%s\n", v.text.c_str());
            else
                std::printf("%d\n", v.integer);
            return 0;
        }
        if (command == "set" && argc == 4) {
            key.WriteString(argv[2], argv[3]);
            return 0;
        }
        if (command == "set-int" && argc == 4) {
            key.WriteInteger(argv[2], ParseIntegerText(argv[3]));
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 3;
    }
    return Usage();
}
