// ketral-tool vehicle: one vehicle record of the strategic executable as the
// vehicle window shows it; with --set, values entered as into the window's
// boxes and saved as its Save button saves.
#include <cstdint>

#include "base/Errors.h"
#include "shell/GameInstallation.h"
#include "shell/VehicleNames.h"
#include "tool/Args.h"
#include "tool/Json.h"
#include "tool/ToolCommand.h"
#include "tool/ToolInstallation.h"
#include "vehicles/VehicleBoxes.h"
#include "vehicles/VehicleDocument.h"

namespace ketral::tool {

namespace {

struct Assignment {
    VehicleBox box;
    std::string text;
};

// Command-line texts are UTF-8; the record holds 8-bit (Latin-1) characters.
std::string Utf8ToLatin1(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            out += static_cast<char>(((c & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F));
            i += 2;
            continue;
        }
        throw Error("'" + text + "' holds characters that the game's 8-bit texts cannot hold");
    }
    return out;
}

Assignment ParseAssignment(const std::string& arg)
{
    const std::size_t eq = arg.find('=');
    if (eq == std::string::npos) throw UsageError("expected FIELD=VALUE: '" + arg + "'");
    const std::string field = arg.substr(0, eq);
    const std::optional<VehicleBox> box = VehicleBoxByName(field);
    if (!box) throw UsageError("unknown field '" + field + "'");
    std::string text = arg.substr(eq + 1);
    if (*box == VehicleBox::Picture) text = Utf8ToLatin1(text);
    return {*box, text};
}

void WriteRecord(JsonWriter& json, int index, const VehicleRecord& record)
{
    const VehicleBoxes shown = ShowVehicle(record);
    json.beginObject();
    json.field("index", index);
    json.field("name", VehicleNames[static_cast<std::size_t>(index)]);
    json.field("weight", static_cast<int>(record.Get(VehicleField::Weight)));
    json.field("constitution", static_cast<int>(record.Get(VehicleField::Constitution)));
    json.field("passengers", static_cast<int>(record.Get(VehicleField::Passengers)));
    json.key("armour").beginObject();
    json.field("front", static_cast<int>(record.Get(VehicleField::Front)));
    json.field("top", static_cast<int>(record.Get(VehicleField::Top)));
    json.field("bottom", static_cast<int>(record.Get(VehicleField::Bottom)));
    json.field("rear", static_cast<int>(record.Get(VehicleField::Rear)));
    json.field("left", static_cast<int>(record.Get(VehicleField::Left)));
    json.field("right", static_cast<int>(record.Get(VehicleField::Right)));
    json.endObject();
    json.field("total", static_cast<int>(shown.Value(VehicleBox::Total)));
    json.field("picture", shown[VehicleBox::Picture]);
    json.endObject();
}

int RunVehicle(const std::vector<std::string>& argv)
{
    // Everything after --set up to the next option is an assignment.
    std::vector<std::string> rest;
    std::vector<Assignment> assignments;
    bool set = false;
    bool inSet = false;
    for (const std::string& a : argv) {
        if (a == "--set") {
            set = inSet = true;
        } else if (a.rfind("--", 0) == 0) {
            inSet = false;
            rest.push_back(a);
        } else if (inSet) {
            assignments.push_back(ParseAssignment(a));
        } else {
            rest.push_back(a);
        }
    }
    if (set && assignments.empty()) throw UsageError("--set needs at least one FIELD=VALUE");

    Args args(rest, kInstallationOptions, kInstallationFlags);
    if (args.positional().size() != 1) throw UsageError("expected one INDEX");
    const int index = ParseInt(args.positional().front());
    if (index < 0 || index >= kVehicleCount)
        throw UsageError("INDEX must be 0 to " + std::to_string(kVehicleCount - 1));

    const std::vector<std::string> messages = SetupInstallation(args);
    if (Game().VyxExeDir.empty()) {
        if (!messages.empty()) throw Error(messages.front());
        throw IoError("File not found: " + Game().GamePath + "vyxexe/vyx2p.exe");
    }
    const std::string executable = Game().VyxExeDir + "vyx2p.exe";

    VehicleDocument document;
    document.Open(executable, index);
    if (set) {
        VehicleBoxes boxes = ShowVehicle(document.Record());
        for (const Assignment& a : assignments) EnterBoxText(boxes, a.box, a.text);
        document.Save(boxes);
        document.Open(executable, index);  // print what the file now holds
    }

    JsonWriter json;
    WriteRecord(json, index, document.Record());
    PrintJson(json);
    return 0;
}

const ToolCommandRegistration kRegistration(
    {"vehicle", "vehicle [--game DIR] INDEX [--set FIELD=VALUE [FIELD=VALUE ...]]", RunVehicle});

}  // namespace

}  // namespace ketral::tool
