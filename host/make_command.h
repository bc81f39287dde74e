// "lumora make" and "lumora export": the filter maker on the command line.
// The work is done by the plug-in's own maker exports (interface/maker_api.h),
// so a filter made here is made exactly as the editor's "Make..." would.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

struct MakeCommand {
    bool isExport = false;
    std::string settings;   // make: the settings file; export: the file to write
    std::string output;     // make: the plug-in file to write
    std::string from;       // the plug-in to start from; empty: the default
    std::string pluginDir;  // --plugins DIR: where the default is found
    std::string title, category;
    std::optional<std::string> copyright, author;
    std::array<std::optional<std::string>, 4> mapLabel;
    std::array<std::optional<std::string>, 8> sliderLabel;
};

struct MakeParse {
    MakeCommand command;
    std::string error;  // empty when usable
};

bool IsMakerCommand(const std::string& word);
// args[0] is "make" or "export".
MakeParse ParseMakeCommand(const std::vector<std::string>& args);
// Runs the command; returns the exit status (0 done, 2 anything else).
int RunMakerCommand(const std::vector<std::string>& args);
