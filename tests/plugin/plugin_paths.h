// Where the test programs find the built plug-in files: the build's plug-in
// folder, which CTest runs us beside (the working directory is the build root).
#pragma once
#include <string>

inline std::string PluginPath(const char* file) { return std::string("plugins\\") + file; }
