// ketral-tool demo DIR: writes the demo game installation.
#include "demo/Demo.h"
#include "tool/Args.h"
#include "tool/Json.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

int RunDemo(const std::vector<std::string>& argv)
{
    Args args(argv, {}, {});
    if (args.positional().size() != 1) throw UsageError("expected one directory");
    // No text painter is installed: the demo's files must not depend on the
    // fonts of the machine that writes them.
    const std::string gamePath = WriteDemoInstallation(args.positional().front());
    JsonWriter json;
    json.beginObject().field("gamePath", gamePath).endObject();
    PrintJson(json);
    return 0;
}

const ToolCommandRegistration kRegistration({"demo", "demo DIR", RunDemo});

}  // namespace

}  // namespace ketral::tool
