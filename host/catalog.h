// The plug-in folder as a filter menu: every *.lmf file whose property list
// says it is a filter for this host. Property lists are read with the file
// mapped as data, so no plug-in code runs while the folder is scanned.
#pragma once
#include <string>
#include <vector>

#include "host/pipl.h"

struct CatalogEntry {
    std::string fileName;  // e.g. "Tinctor.lmf"
    std::string path;
    PluginProperties properties;
};

struct Catalog {
    bool folderFound = false;
    std::vector<CatalogEntry> plugins;  // sorted by file name
    std::vector<std::string> warnings;  // one line per skipped file
};

Catalog ScanPluginFolder(const std::string& dir);

// The "plugins" folder beside lumora.exe.
std::string DefaultPluginFolder();

// Reads the property list resource of one file; false with a reason when the
// file is no library or has none.
bool ReadPropertyList(const std::string& path, PropertyListResult& result);
