#include "shell/SettingsStore.h"

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "shell/SettingsFile.h"
#include "shell/XdgDirectories.h"

namespace ketral {

namespace {

SettingsError InvalidType(const std::string& name) { return SettingsError("Invalid data type for '" + name + "'"); }

MemorySettingsStore g_defaultStore;
SettingsStore* g_store = nullptr;

}  // namespace

// ---- SettingsKey -------------------------------------------------------------

SettingsKey::SettingsKey(SettingsStore& store, std::string path) : store_(store), path_(std::move(path)) {}

bool SettingsKey::ValueExists(const std::string& name) const
{
    const auto& values = store_.keys_[path_];
    return values.count(name) != 0;
}

std::string SettingsKey::ReadString(const std::string& name) const
{
    const auto& values = store_.keys_[path_];
    auto it = values.find(name);
    if (it == values.end() || it->second.type != SettingsValue::Type::Text) throw InvalidType(name);
    return it->second.text;
}

std::int32_t SettingsKey::ReadInteger(const std::string& name) const
{
    const auto& values = store_.keys_[path_];
    auto it = values.find(name);
    if (it == values.end() || it->second.type != SettingsValue::Type::Integer) throw InvalidType(name);
    return it->second.integer;
}

void SettingsKey::WriteString(const std::string& name, const std::string& value)
{
    SettingsValue v;
    v.type = SettingsValue::Type::Text;
    v.text = value;
    store_.Write(path_, name, std::move(v));
}

void SettingsKey::WriteInteger(const std::string& name, std::int32_t value)
{
    SettingsValue v;
    v.type = SettingsValue::Type::Integer;
    v.integer = value;
    store_.Write(path_, name, std::move(v));
}

// ---- SettingsStore -----------------------------------------------------------

void SettingsStore::Write(const std::string& path, const std::string& name, SettingsValue value)
{
    if (!together_) Refresh();
    keys_[path][name] = std::move(value);
    if (!together_) Persist();
}

void SettingsStore::ChangeTogether(const std::function<void()>& changes)
{
    if (together_) {
        changes();
        return;
    }
    Refresh();
    together_ = true;
    try {
        changes();
    } catch (...) {
        together_ = false;
        throw;
    }
    together_ = false;
    Persist();
}

SettingsKey SettingsStore::OpenKey(const std::string& path)
{
    // A key made here is kept in memory and goes to disk with the next
    // written value, so that reading the settings never needs a write.
    if (!together_) Refresh();
    keys_[path];
    return SettingsKey(*this, path);
}

// ---- FileSettingsStore -------------------------------------------------------

FileSettingsStore::FileSettingsStore(std::string path, Access access, SettingsFileSystem& files)
    : files_(files), path_(std::move(path)), readOnly_(access == Access::ReadOnly)
{
    if (!files_.Exists(path_)) return;

    std::string why;  // what makes the file unusable
    try {
        keys_ = ReadingFile(path_, [&] { return ParseSettingsText(files_.Read(path_)); });
        return;
    } catch (const Error& e) {
        keys_.clear();
        why = e.what();
    }

    if (access == Access::ReadOnly) {
        // Only the editor and writing commands move a file aside.
        problem_ = "The settings file " + path_ + " could not be read. It was left as it is and empty settings are used.";
        return;
    }

    // The file is unusable: keep it aside under a new name and start empty.
    std::string aside;
    for (int n = 1; n < 1000; ++n) {
        std::string candidate = path_ + (n == 1 ? ".unreadable" : ".unreadable-" + std::to_string(n));
        if (!files_.Exists(candidate)) {
            aside = candidate;
            break;
        }
    }
    if (!aside.empty() && files_.Rename(path_, aside)) {
        problem_ = "The settings file " + path_ + " could not be read (" + why + "). It was kept as " + aside +
                   " and the editor starts with empty settings.";
    } else {
        // Writing now would destroy the only copy of the user's file.
        readOnly_ = true;
        problem_ = "The settings file " + path_ + " could not be read (" + why +
                   ") or moved aside. The editor starts with empty settings and will not save changes to them.";
    }
}

void FileSettingsStore::Refresh()
{
    // A file that is missing, unreadable or unparsable now leaves the values
    // held as they are; the next change writes them out whole.
    // An unreadable file that was left in place is not read again.
    if (readOnly_ && !problem_.empty()) return;
    if (!files_.IsRegularFile(path_)) return;
    try {
        Keys read = ReadingFile(path_, [&] { return ParseSettingsText(files_.Read(path_)); });
        for (auto& [key, values] : read) {
            Values& held = keys_[key];
            for (auto& [name, value] : values) held[name] = std::move(value);
        }
    } catch (const Error&) {
    }
}

void FileSettingsStore::Persist()
{
    if (readOnly_) return;
    files_.Write(path_, FormatSettingsText(keys_));
}

// ---- paths and the current store ---------------------------------------------

std::string DefaultSettingsPath() { return XdgBaseDirectory("XDG_CONFIG_HOME", ".config") + "ketral/settings"; }

SettingsStore& Settings() { return g_store ? *g_store : g_defaultStore; }
void SetSettingsStore(SettingsStore* store) { g_store = store; }

}  // namespace ketral
