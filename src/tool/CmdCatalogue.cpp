// ketral-tool catalogue: the catalogue window's tree as JSON.
#include "base/Messages.h"
#include "shell/Catalogue.h"
#include "tool/Args.h"
#include "tool/Json.h"
#include "tool/ToolCommand.h"
#include "tool/ToolInstallation.h"

namespace ketral::tool {

namespace {

void WriteNode(JsonWriter& json, const CatalogueNode& node)
{
    // A map directory is named by the file system; the other captions are the
    // game's texts and the program's own.
    const bool fileSystemName = node.Entry && node.Entry->Kind == MapDirectoryEntry;
    json.beginObject();
    json.key("caption");
    if (fileSystemName)
        json.path(node.Caption);
    else
        json.value(node.Caption);
    if (node.Entry) {
        json.field("kind", static_cast<int>(node.Entry->Kind));
        json.key("dir").path(node.Entry->Dir);
        json.key("fileName").path(node.Entry->FileName);
    }
    json.key("children").beginArray();
    for (const CatalogueNode& child : node.Children) WriteNode(json, child);
    json.endArray();
    json.endObject();
}

int RunCatalogue(const std::vector<std::string>& argv)
{
    std::set<std::string> flags = kInstallationFlags;
    flags.insert("--sorted");
    Args args(argv, kInstallationOptions, flags);
    if (!args.positional().empty()) throw UsageError("unexpected argument " + args.positional().front());

    const std::vector<std::string> messages = SetupInstallation(args);
    std::vector<CatalogueNode> groups;
    FillCatalogue(groups);
    if (args.has("--sorted")) SortCatalogue(groups);

    JsonWriter json;
    json.beginObject();
    json.key("messages").beginArray();
    for (const std::string& m : messages) json.value(m);
    json.endArray();
    json.key("groups").beginArray();
    for (const CatalogueNode& group : groups) WriteNode(json, group);
    json.endArray();
    json.endObject();
    PrintJson(json);
    return 0;
}

const ToolCommandRegistration kRegistration({"catalogue", "catalogue [--game DIR] [--cd-only] [--cd-letter L] [--sorted]",
                                             RunCatalogue});

}  // namespace

}  // namespace ketral::tool
