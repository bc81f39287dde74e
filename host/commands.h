// The commands of lumora.exe, one function each: take the checked command
// line, do the work, print one line on failure and return the exit status
// (0 done, 1 cancelled or stopped, 2 anything else). main() picks one from
// its table; a new command is a new function here and a row there.
#pragma once
#include <string>

#include "host/cli.h"
#include "host/session.h"

int ListCommand(const Options& o);
int ApplyCommand(const Options& o);
int AboutCommand(const Options& o);
int MakeCommand(const Options& o);    // make_command.cpp
int ExportCommand(const Options& o);  // make_command.cpp
int CheckCommand(const Options& o);   // formula_commands.cpp
int FxCommand(const Options& o);      // formula_commands.cpp
// apply with --settings: ApplyCommand hands over.
int ApplySettingsCommand(const Options& o);  // formula_commands.cpp

// The one way a command fails: prints "lumora: MESSAGE" and returns `status`.
int Fail(int status, const std::string& message);
// Bad usage: the message, a hint at --help, and exit status 2.
int UsageError(const std::string& message);

// Room for the message a plug-in export writes back.
constexpr int kMessageSize = 512;

// Why a plug-in file cannot serve a command that needs its export `name`.
std::string MissingExportMessage(const std::string& path, const char* name);

// The plug-in folder the command line names, or the default one.
std::string PluginFolder(const Options& o);

// The Tinctor plug-in that make, check and fx take their code from when
// --from names none: the editor build in the plug-in folder.
constexpr char kDefaultTinctorFile[] = "TinctorEditor.lmf";
std::string TinctorPluginPath(const Options& o);

// Finds the one plug-in `name` means (as --filter does); on failure prints
// why and returns the exit status, else 0.
int FindFilter(const Options& o, const std::string& name, PluginRef& ref);

// The plug-in file at `path` as the host would list it; on failure prints
// why and returns the exit status, else 0.
int PluginAt(const std::string& path, PluginRef& ref);

// Reports a plug-in crash (with the selector it happened in) and exits 2.
void ReportCrashes();
