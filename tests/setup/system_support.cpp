#include "tests/setup/system_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

// The test program lives in <build>\tests\setup; the current directory is
// no guide (the open-file dialog moves it).
std::string BuildDir() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    for (int up = 0; up < 3; ++up) dir.erase(dir.find_last_of('\\'));
    return dir + "\\";
}

std::string ScratchDir(const char* name) {
    std::string dir = BuildDir() + "tests\\setup\\scratch\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    dir += name;
    RemoveTree(dir);
    EXPECT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
    return dir + "\\";
}

void Stamp(const std::string& path, int year, int month, int day, int hours, int minutes) {
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(year), st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day), st.wHour = static_cast<WORD>(hours);
    st.wMinute = static_cast<WORD>(minutes);
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &utc));
    CloseHandle(h);
}

std::string Scenario(const char* name) {
    const char* value = getenv(name);
    return value ? value : "";
}

std::string DiskOriginal(const std::string& diskName) {
    std::ifstream list(BuildDir() + "disk_sources.txt");
    std::string name, unixPath;
    while (list >> name >> unixPath) {
        if (name != diskName) continue;
        std::string path = "Z:" + unixPath;
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }
    ADD_FAILURE() << "no original listed for " << diskName;
    return "";
}
