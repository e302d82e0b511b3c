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
    json.beginObject();
    json.key("caption").utf8(node.Caption);
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

    std::vector<std::string> messages = SetupInstallation(args);
    std::vector<CatalogueNode> groups;
    CollectingMessages buildMessages;
    FillCatalogue(groups, buildMessages);
    messages.insert(messages.end(), buildMessages.messages.begin(), buildMessages.messages.end());
    if (args.has("--sorted")) SortCatalogue(groups);

    JsonWriter json;
    json.beginObject();
    json.key("messages").beginArray();
    for (const std::string& m : messages) json.path(m);  // they quote paths of the file system
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
