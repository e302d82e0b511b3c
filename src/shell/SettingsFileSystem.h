#pragma once
// What the settings store does with files: look whether its file is there,
// read it, move it aside and replace it. The program's store works on the
// disk; the same store can be handed files held in memory (the fuzz target
// runs it so, input after input, without a file system call).
#include <map>
#include <string>

namespace ketral {

class SettingsFileSystem {
public:
    virtual ~SettingsFileSystem() = default;
    // Anything under that name (a directory or a pipe too).
    virtual bool Exists(const std::string& path) = 0;
    virtual bool IsRegularFile(const std::string& path) = 0;
    // As ReadSettingsFile (SettingsFile.h): IoError naming the file.
    virtual std::string Read(const std::string& path) = 0;
    // False when it could not be done; nothing changed then.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    // As WriteFileAtomically (SettingsFile.h).
    virtual void Write(const std::string& path, const std::string& text) = 0;
};

// The file system.
SettingsFileSystem& DiskSettingsFiles();

// Regular files held in memory under exactly the names given; writing never
// fails.
class MemorySettingsFiles : public SettingsFileSystem {
public:
    std::map<std::string, std::string> files;

    bool Exists(const std::string& path) override { return files.count(path) != 0; }
    bool IsRegularFile(const std::string& path) override { return files.count(path) != 0; }
    std::string Read(const std::string& path) override;
    bool Rename(const std::string& from, const std::string& to) override;
    void Write(const std::string& path, const std::string& text) override { files[path] = text; }
};

}  // namespace ketral
