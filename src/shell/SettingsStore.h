#pragma once
// The program's persistent settings: keys by path ("\SOFTWARE\Ketral", with
// the sub-key "Layout"), each holding named, typed values (text or 32-bit
// integer; a boolean is the integer 1 or 0 and reads true for any non-zero).
// Opening a key creates it when it is missing.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "shell/SettingsFileSystem.h"
#include "shell/SettingsValues.h"

namespace ketral {

inline constexpr const char* kSettingsKey = "\\SOFTWARE\\Ketral";
inline constexpr const char* kLayoutKey = "\\SOFTWARE\\Ketral\\Layout";

class SettingsStore;

// An open key. Reads of a value stored with another type, or of a value that
// does not exist, throw SettingsError "Invalid data type for '<name>'".
class SettingsKey {
public:
    SettingsKey(SettingsStore& store, std::string path);
    bool ValueExists(const std::string& name) const;
    std::string ReadString(const std::string& name) const;
    std::int32_t ReadInteger(const std::string& name) const;
    bool ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, std::int32_t value);
    void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }
    const std::string& path() const { return path_; }

private:
    SettingsStore& store_;
    std::string path_;
};

class SettingsStore {
public:
    using Values = SettingsValues;
    using Keys = SettingsKeys;

    virtual ~SettingsStore() = default;
    // Opens the key at `path`, creating it when missing. A new key is stored
    // with the next value written, so reading never needs a write.
    SettingsKey OpenKey(const std::string& path);
    bool KeyExists(const std::string& path) const { return keys_.count(path) != 0; }
    const Keys& keys() const { return keys_; }
    // Runs `changes` (writes through keys of this store) as one change: the
    // store is refreshed once before and persisted once after, instead of at
    // every value. An exception from `changes` persists nothing.
    void ChangeTogether(const std::function<void()>& changes);

protected:
    friend class SettingsKey;
    // Called when a key is opened and before every change: a store kept on
    // disk takes in here what another program wrote since it last looked.
    virtual void Refresh() {}
    // Called after every change; a store kept on disk writes itself here.
    virtual void Persist() {}
    Keys keys_;

private:
    // Every write refreshes the store first and persists it afterwards,
    // unless it is part of ChangeTogether.
    void Write(const std::string& path, const std::string& name, SettingsValue value);
    bool together_ = false;
};

// Settings kept in memory only (tests, and the tool's --game runs).
class MemorySettingsStore : public SettingsStore {};

// Settings kept in a file. Every change rewrites the file atomically (a
// temporary file, then a rename); a failed write throws IoError and leaves the
// previous file as it was. The file is read again whenever a key is opened and
// before every change, so that values written meanwhile by another program
// (a second editor, ketral-settings) are seen and are not overwritten with old
// ones: of every value, the file's is taken over the one held. A file that cannot be read or parsed is moved aside
// to a new name (<path>.unreadable, -2, ...) and the store starts empty;
// `problem()` then says so once. When it cannot even be moved aside, the store
// never writes, so that the user's only copy is not overwritten.
//
// Opened ReadOnly (programs that only read the settings: ketral-tool,
// `ketral-settings get`), the store never moves, creates or changes a file:
// an unreadable file is left as it is, the store starts empty and never writes.
class FileSettingsStore : public SettingsStore {
public:
    enum class Access { ReadWrite, ReadOnly };
    // `files`: where the file is kept (the disk unless a test or the fuzz
    // target says otherwise); it must outlive the store.
    explicit FileSettingsStore(std::string path, Access access = Access::ReadWrite,
                               SettingsFileSystem& files = DiskSettingsFiles());
    const std::string& path() const { return path_; }
    // The message to show once when the file was unreadable; empty otherwise.
    const std::string& problem() const { return problem_; }
    // False when changes are kept in memory only: opened ReadOnly, or an
    // unreadable file could not be moved aside.
    bool writable() const { return !readOnly_; }

protected:
    void Refresh() override;
    void Persist() override;

private:
    SettingsFileSystem& files_;
    std::string path_;
    std::string problem_;
    bool readOnly_ = false;
};

// "$XDG_CONFIG_HOME/ketral/settings" or "~/.config/ketral/settings".
std::string DefaultSettingsPath();

// The store the program uses; a memory store until one is installed.
SettingsStore& Settings();
void SetSettingsStore(SettingsStore* store);

}  // namespace ketral
