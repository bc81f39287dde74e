// lumora.exe: the stand-in host. Lists the filters of a plug-in folder and
// runs one of them over image files the way the editor does; checks and runs
// formulas with the Tinctor plug-in's compiler and pass; makes filters.
#include <cstdio>
#include <string>
#include <vector>

#include "host/cli.h"
#include "host/commands.h"
#include "host/protocol.h"

namespace {

int HelpCommand(const Options&) {
    std::fputs(kUsageText, stdout);
    return 0;
}

struct CommandEntry {
    Command command;
    int (*run)(const Options&);
};

constexpr CommandEntry kCommands[] = {
    {Command::Help, HelpCommand},   {Command::List, ListCommand}, {Command::Apply, ApplyCommand},
    {Command::About, AboutCommand}, {Command::Make, MakeCommand}, {Command::Export, ExportCommand},
    {Command::Check, CheckCommand}, {Command::Fx, FxCommand},
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kUsageText, stderr);
        return kExitFailed;
    }
    ParseResult parsed = ParseCommandLine(args);
    if (!parsed.error.empty()) return UsageError(parsed.error);
    int status = kExitFailed;
    for (const CommandEntry& c : kCommands)
        if (c.command == parsed.options.command) status = c.run(parsed.options);
    std::fflush(stdout);
    std::fflush(stderr);
    return status;
}
