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

// Shared by the commands: prints "lumora: MESSAGE" and returns `status`.
int Fail(int status, const std::string& message);

// The plug-in folder the command line names, or the default one.
std::string PluginFolder(const Options& o);

// Finds the one plug-in --filter means; on failure prints why and returns
// the exit status, else 0.
int FindFilter(const Options& o, PluginRef& ref);

// Reports a plug-in crash (with the selector it happened in) and exits 2.
void ReportCrashes();
