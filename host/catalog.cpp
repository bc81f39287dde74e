#include "host/catalog.h"

#include <windows.h>

#include <algorithm>

#include "interface/property_list.h"

std::string DefaultPluginFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path, n < MAX_PATH ? n : 0);
    size_t slash = exe.find_last_of("\\/");
    std::string dir = slash == std::string::npos ? "." : exe.substr(0, slash);
    return dir + "\\plugins";
}

bool ReadPropertyList(const std::string& path, PropertyListResult& result) {
    result = PropertyListResult{};
    // As a data file: resources only, DllMain never runs.
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        result.error = "not a Windows library";
        return false;
    }
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDR_PROPERTY_LIST), "PIPL");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        result.error = "no property list (PIPL 16)";
    } else {
        result =
            ParsePropertyList(static_cast<const uint8_t*>(bytes), SizeofResource(module, found));
    }
    FreeLibrary(module);
    return result.ok;
}

Catalog ScanPluginFolder(const std::string& dir) {
    Catalog catalog;
    DWORD attributes = GetFileAttributesA(dir.c_str());
    catalog.folderFound =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!catalog.folderFound) return catalog;

    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((dir + "\\*.lmf").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    std::sort(names.begin(), names.end());

    for (const std::string& name : names) {
        std::string path = dir + "\\" + name;
        PropertyListResult pipl;
        if (!ReadPropertyList(path, pipl)) {
            catalog.warnings.push_back("warning: skipping " + name + ": " + pipl.error);
            continue;
        }
        catalog.plugins.push_back({name, path, pipl.properties});
    }
    return catalog;
}
