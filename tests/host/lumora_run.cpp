#include "tests/host/lumora_run.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

std::string Quote(const std::string& a) {
    if (!a.empty() && a.find_first_of(" \t\"") == std::string::npos) return a;
    std::string q = "\"";
    for (char c : a) {
        if (c == '"') q += '\\';
        q += c;
    }
    return q + "\"";
}

HANDLE Inheritable(const std::string& path, DWORD access, DWORD creation) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, creation,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string p = dir + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(p);
            else DeleteFileA(p.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

}  // namespace

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary);
    f << text;
}

bool CopyInto(const std::string& file, const std::string& folder, const std::string& name) {
    std::string base = name.empty() ? file.substr(file.find_last_of("\\/") + 1) : name;
    return CopyFileA(file.c_str(), (folder + "\\" + base).c_str(), FALSE) != 0;
}

TempFolder::TempFolder() {
    static int counter = 0;
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    path_ = std::string(tmp) + "lumora-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

LumoraRun RunLumora(const std::vector<std::string>& args,
                    const std::vector<std::pair<std::string, std::string>>& env) {
    static TempFolder capture;
    static int runs = 0;
    ++runs;
    std::string outPath = capture.file("out" + std::to_string(runs)), errPath = capture.file("err" + std::to_string(runs));
    HANDLE out = Inheritable(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = Inheritable(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE in = Inheritable("NUL", GENERIC_READ, OPEN_EXISTING);

    std::string line = Quote(LUMORA_EXE);
    for (const std::string& a : args) line += " " + Quote(a);
    for (const auto& [name, value] : env) SetEnvironmentVariableA(name.c_str(), value.c_str());

    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    LumoraRun run;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    if (CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        DWORD code = DWORD(-1);
        if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
        else TerminateProcess(pi.hProcess, code);  // hung: our own child, ended by its handle
        run.status = int(code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    for (const auto& [name, value] : env) SetEnvironmentVariableA(name.c_str(), nullptr);
    CloseHandle(out);
    CloseHandle(err);
    CloseHandle(in);
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    return run;
}
