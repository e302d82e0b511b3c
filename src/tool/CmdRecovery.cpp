// ketral-tool recovery: the recovery journals that editors left behind.
// "list" prints them, "apply FILE" brings one map's unsaved changes back
// into its files as the window's "Save map" saves them (for a machine
// without a display), "discard FILE" deletes a journal.
#include <ctime>

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "city/CityJournal.h"
#include "shell/RecoveryDirectory.h"
#include "tactical/TacJournal.h"
#include "tool/Json.h"
#include "tool/ToolCommand.h"
#include "tool/ToolInstallation.h"

namespace ketral::tool {

namespace {

std::string UtcText(std::int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm utc{};
    char text[32] = "";
    if (::gmtime_r(&t, &utc)) std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

const char* FilesStateName(JournalFilesState state)
{
    switch (state) {
    case JournalFilesState::Unchanged: return "unchanged";
    case JournalFilesState::Changed: return "changed";
    default: return "gone";
    }
}

int RunList(const Args& args)
{
    if (!args.positional().empty()) throw UsageError("unexpected argument '" + args.positional().front() + "'");
    JsonWriter json;
    json.beginObject();
    json.key("directory").path(RecoveryDirectory());
    json.key("journals").beginArray();
    for (const JournalListing& listing : ListJournals()) {
        json.beginObject();
        json.key("file").path(listing.path);
        json.field("running", listing.inUse);
        try {
            const JournalContent c = ReadJournalFile(listing.path);
            const JournalFilesState state = FilesStateOf(c.header);
            json.field("kind", JournalKindName(c.header.kind));
            json.key("map").path(c.header.mapName);
            json.key("gamePath").path(c.header.gamePath);
            json.field("time", UtcText(c.writtenSeconds));
            json.field("edits", static_cast<std::int64_t>(c.EditCount()));
            json.field("files", FilesStateName(state));
            json.field("filesMatch", state == JournalFilesState::Unchanged);
            json.field("tornTail", c.tornTail);
        } catch (const Error& e) {
            json.key("problem").path(e.what());
        }
        json.endObject();
    }
    json.endArray();
    json.endObject();
    PrintJson(json);
    return 0;
}

// Opens the journal's map, walks it to the journal's state and saves it;
// returns the files written.
std::vector<std::string> ApplyJournal(const JournalContent& c, const std::string& file)
{
    if (!c.header.gamePath.empty()) SetupInstallation(Args({"--game", c.header.gamePath}, kInstallationOptions, {}));
    if (c.header.kind == JournalKind::Tactical) {
        const TacJournalOpening opening = DecodeTacOpening(c.header.opening, file);
        TacMapCore core;
        core.Resize(100, 100);
        core.SetFinishesInterruptedSaves(false);
        LoadTacJournalMap(core, opening);
        ReplayTacJournal(core, c, file);
        return core.SaveMap();
    }
    const CityJournalOpening opening = DecodeCityOpening(c.header.opening, file);
    CityEditor editor(DataDir());
    editor.LoadOwnerList();
    editor.SetFinishesInterruptedSaves(false);
    editor.OpenCityMap(opening.directory, opening.fileName, opening.paletteFile, opening.savedGame, opening.editable);
    ReplayCityJournal(editor, c, file);
    return editor.SaveWholeMap();
}

int RunApply(const Args& args)
{
    if (args.positional().size() != 1) throw UsageError("recovery apply takes one journal FILE");
    const std::string& file = args.positional().front();
    if (JournalInUse(file)) throw Error("The recovery journal " + file + " belongs to a running Ketral.");
    const JournalContent c = ReadJournalFile(file);
    switch (FilesStateOf(c.header)) {
    case JournalFilesState::Gone: throw Error(FilesGoneReport(c));
    case JournalFilesState::Changed:
        if (!args.has("--anyway"))
            throw Error("The files of " + c.header.mapName +
                        " changed since; the recovered edits may not fit. Give --anyway to apply them all the same.");
        break;
    default: break;
    }
    const std::vector<std::string> written = ApplyJournal(c, file);
    // The changes are in the files now: the journal has done its work.
    if (IsInRecoveryDirectory(file)) DiscardJournal(file);

    JsonWriter json;
    json.beginObject();
    json.key("file").path(file);
    json.field("kind", JournalKindName(c.header.kind));
    json.key("map").path(c.header.mapName);
    json.field("edits", static_cast<std::int64_t>(c.EditCount()));
    json.field("tornTail", c.tornTail);
    json.key("written").beginArray();
    for (const std::string& path : written) json.path(path);
    json.endArray();
    json.endObject();
    PrintJson(json);
    return 0;
}

int RunDiscard(const Args& args)
{
    if (args.positional().size() != 1) throw UsageError("recovery discard takes one journal FILE");
    const std::string& file = args.positional().front();
    // Only a file named as a journal in the journals' directory is ever
    // removed: a mistyped argument never costs the user a file.
    if (!IsInRecoveryDirectory(file)) throw Error("Not a recovery journal: " + file);
    DiscardJournal(file);
    JsonWriter json;
    json.beginObject();
    json.key("discarded").path(file);
    json.endObject();
    PrintJson(json);
    return 0;
}

int RunRecovery(const std::vector<std::string>& argv)
{
    if (argv.empty()) throw UsageError("recovery needs list, apply or discard");
    const std::string action = argv.front();
    const Args args({argv.begin() + 1, argv.end()}, {}, action == "apply" ? std::set<std::string>{"--anyway"}
                                                                          : std::set<std::string>{});
    if (action == "list") return RunList(args);
    if (action == "apply") return RunApply(args);
    if (action == "discard") return RunDiscard(args);
    throw UsageError("unknown recovery action '" + action + "' (list, apply or discard)");
}

const ToolCommandRegistration kRegistration(
    {"recovery", "recovery list | recovery apply FILE [--anyway] | recovery discard FILE", RunRecovery});

}  // namespace

}  // namespace ketral::tool
