#pragma once
// Where the game is installed: the game directory from the settings, the CD
// drive letter from the game's configuration file, and the five data
// directories, each found on disk or on the game CD.
#include <string>

#include "base/Messages.h"

namespace ketral {

class ByteSource;
class SettingsStore;

// Process-wide installation state. A directory text is empty (not available)
// or an existing directory ending with the path separator.
struct GameInstallation {
    std::string GamePath;
    std::string MapsDir;
    std::string VyxDataDir;
    std::string VyxExeDir;
    std::string TacDataDir;
    std::string SaveGameDir;
    bool CdOnlyMode = false;
    char CdDriveLetter = 'c';

    // Back to the state at program start: every text empty, not CD-only.
    void Reset() { *this = GameInstallation(); }
};

GameInstallation& Game();

// Refreshes Game() from the settings store and the file system. Problems with
// the installation go to `messages` and end the operation early; errors of the
// store and of the configuration file are thrown.
void LoadGameSettings(SettingsStore& store, MessageSink& messages);

// The CD drive letter kept in the game's configuration file "ZORVAN3.CFG":
// its second byte. A file shorter than two bytes throws IoError.
char ReadCdLetter(ByteSource& config);

// The existing directory for a game sub-directory ("maps/"), on disk unless
// in CD-only mode, else on the CD; or "". The result is the directory's path
// as it exists, with the letter case of the file system.
std::string ResolveGameDir(const std::string& subDir);

// The letter used when the stored "CDLetter" is an empty text: the same one
// as when no letter is stored at all.
inline constexpr char kDefaultCdLetter = 'c';

// CD drive letter L stands for the directory <mount root><l>/, the mount root
// being "/mnt/" (tests point it elsewhere). Letters are taken in lower case;
// a character that is no letter A-Z stands for no directory at all.
const std::string& CdMountRoot();
void SetCdMountRoot(std::string root);
// The game's directory on the CD in drive `letter`: <mount root><l>/zorvan3/,
// or "" for a character that is no letter.
std::string CdGameRoot(char letter);

}  // namespace ketral
