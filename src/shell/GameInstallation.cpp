#include "shell/GameInstallation.h"

#include "base/ByteSource.h"
#include "base/GamePaths.h"
#include "shell/SettingsStore.h"

namespace ketral {

namespace {

std::string& MountRoot()
{
    static std::string root = "/mnt/";
    return root;
}

}  // namespace

GameInstallation& Game()
{
    static GameInstallation game;
    return game;
}

const std::string& CdMountRoot() { return MountRoot(); }

void SetCdMountRoot(std::string root) { MountRoot() = WithTrailingSep(root); }

std::string CdGameRoot(char letter)
{
    char l = AsciiLower(std::string(1, letter))[0];
    if (l < 'a' || l > 'z') return "";
    return CdMountRoot() + l + kPathSep + "zorvan3" + kPathSep;
}

void LoadGameSettings(SettingsStore& store, MessageSink& messages)
{
    GameInstallation& game = Game();
    game.CdOnlyMode = false;
    {
        SettingsKey key = store.OpenKey(kSettingsKey);
        if (key.ValueExists("CDOnly")) game.CdOnlyMode = key.ReadBool("CDOnly");
        // The game's files are named by joining the path and their names: a
        // path typed or stored without its final separator is still the
        // directory. The stored text stays as it was written.
        game.GamePath = key.ValueExists("ZorvanPath") ? WithTrailingSep(key.ReadString("ZorvanPath")) : std::string();
        if (key.ValueExists("CDLetter")) {
            std::string letter = key.ReadString("CDLetter");
            game.CdDriveLetter = letter.empty() ? kDefaultCdLetter : letter[0];
        } else {
            game.CdDriveLetter = kDefaultCdLetter;
        }
    }

    if (!DirectoryExists(game.GamePath)) {
        messages.ShowMessage("Game path: '" + game.GamePath + "' does not exist. Please specify path in settings menu!");
        return;
    }

    if (!game.CdOnlyMode) {
        const std::string cfg = game.GamePath + "ZORVAN3.CFG";
        if (!FileExists(cfg)) {
            messages.ShowMessage("File not found: " + cfg +
                                 ". Make sure that game is correctly installed and that the correct game path is "
                                 "specified in settings menu!");
            return;
        }
        FileSource file(cfg);
        game.CdDriveLetter = ReadCdLetter(file);
    }

    game.MapsDir = ResolveGameDir(std::string("maps") + kPathSep);
    game.VyxDataDir = ResolveGameDir(std::string("vyxdata") + kPathSep);
    game.VyxExeDir = ResolveGameDir(std::string("vyxexe") + kPathSep);
    game.TacDataDir = ResolveGameDir(std::string("tacdata") + kPathSep);
    game.SaveGameDir = ResolveGameDir(std::string("savegame") + kPathSep);
}

char ReadCdLetter(ByteSource& config)
{
    // Both bytes are read, the first only to fail like the game on a file
    // that is empty.
    (void)config.u8(0);
    return static_cast<char>(config.u8(1));
}

std::string ResolveGameDir(const std::string& subDir)
{
    const GameInstallation& game = Game();
    const std::string disk = game.GamePath + subDir;
    if (!game.CdOnlyMode && DirectoryExists(disk)) return WithTrailingSep(ResolveCase(disk));

    const std::string cdRoot = CdGameRoot(game.CdDriveLetter);
    if (!cdRoot.empty()) {
        const std::string cd = cdRoot + subDir;
        if (DirectoryExists(cd)) return WithTrailingSep(ResolveCase(cd));
    }
    return "";
}

}  // namespace ketral
