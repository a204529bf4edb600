#include "ConfigCommands.h"

#include "config/ConfChange.h"
#include "config/ConfStoreFields.h"
#include "platform/ShellRoutines.h"
#include "util/Errors.h"

#include <ostream>

namespace tern::tool {

namespace {

const ConfStoreField& fieldNamed(const std::string& name)
{
    const ConfStoreField* field = FindConfStoreField(name);
    if (!field)
        throw UsageError("unknown setting \"" + name + "\"");
    return *field;
}

// The service and download hosts are the beginning of every request and link: anything but a web
// address would only fail later, so it is refused with the reason.
void refuseUnusable(const ConfStoreField& field, const std::string& value)
{
    const std::string name = field.name;
    if ((name == "ServiceHost" || name == "DownloadHost") && !IsWebAddress(value))
        throw Error(name + " must be an address that begins with http:// or https://, not \"" + value +
                    "\".");
}

int runConfig(ToolContext& context, const std::vector<std::string>& args, CommandIo& io)
{
    if (args.size() == 1 && args[0] == "list") {
        const TConfStore& store = context.store(true);
        for (const ConfStoreField& field : ConfStoreFields())
            io.out << field.name << '=' << field.storedForm(store) << '\n';
        return kExitOk;
    }
    if (args.size() == 2 && args[0] == "get") {
        const ConfStoreField& field = fieldNamed(args[1]);
        io.out << field.storedForm(context.store(true)) << '\n';
        return kExitOk;
    }
    if (args.size() == 3 && args[0] == "set") {
        const ConfStoreField& field = fieldNamed(args[1]);
        refuseUnusable(field, args[2]);
        TConfStore& store = context.store(false);
        // The text is read as the stored value would be: what cannot be read gives the default.
        ConfChange change;
        field.read(change, args[2]);
        store.Apply(change);
        store.Save();
        return kExitOk;
    }
    throw UsageError("expected \"list\", \"get KEY\" or \"set KEY VALUE\"");
}

} // namespace

Command MakeConfigCommand(ToolContext& context)
{
    return {"config",
            "config list                 print every setting as KEY=VALUE (stored form)\n"
            "config get KEY              print one setting\n"
            "config set KEY VALUE        change one setting and save",
            [&context](const std::vector<std::string>& args, CommandIo& io) {
                return runConfig(context, args, io);
            }};
}

} // namespace tern::tool
