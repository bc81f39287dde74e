#include "tests/host/lumora_run.h"

#include <windows.h>

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

}  // namespace

bool CopyInto(const std::string& file, const std::string& folder, const std::string& name) {
    std::string base = name.empty() ? file.substr(file.find_last_of("\\/") + 1) : name;
    return CopyFileA(file.c_str(), (folder + "\\" + base).c_str(), FALSE) != 0;
}

LumoraChild::LumoraChild(const std::vector<std::string>& args, const Environment& env,
                         const std::string& desktop) {
    static TempFolder capture;
    static int runs = 0;
    ++runs;
    outPath_ = capture.file("out" + std::to_string(runs));
    errPath_ = capture.file("err" + std::to_string(runs));
    out_ = Inheritable(outPath_, GENERIC_WRITE, CREATE_ALWAYS);
    err_ = Inheritable(errPath_, GENERIC_WRITE, CREATE_ALWAYS);
    in_ = Inheritable("NUL", GENERIC_READ, OPEN_EXISTING);

    std::string line = Quote(LUMORA_EXE);
    for (const std::string& a : args) line += " " + Quote(a);
    for (const auto& [name, value] : env) SetEnvironmentVariableA(name.c_str(), value.c_str());

    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in_;
    si.hStdOutput = out_;
    si.hStdError = err_;
    std::vector<char> station(desktop.begin(), desktop.end());
    station.push_back('\0');
    if (!desktop.empty()) si.lpDesktop = station.data();
    PROCESS_INFORMATION pi{};
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    if (CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                       &pi)) {
        process_ = pi.hProcess;
        CloseHandle(pi.hThread);
    }
    for (const auto& [name, value] : env) SetEnvironmentVariableA(name.c_str(), nullptr);
}

LumoraChild::~LumoraChild() {
    wait();
    CloseHandle(out_);
    CloseHandle(err_);
    CloseHandle(in_);
}

bool LumoraChild::running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

LumoraRun LumoraChild::wait(unsigned long timeoutMs) {
    if (waited_) return run_;
    waited_ = true;
    if (process_) {
        DWORD code = DWORD(-1);
        if (WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_, &code);
        else TerminateProcess(process_, code);  // hung: our own child, ended by its handle
        run_.status = int(code);
        CloseHandle(process_);
        process_ = nullptr;
    }
    // The child's handles are its own copies; ours are still open for
    // writing, which does not keep the files from being read.
    run_.out = FileBytes(outPath_);
    run_.err = FileBytes(errPath_);
    return run_;
}

LumoraRun RunLumora(const std::vector<std::string>& args, const Environment& env) {
    LumoraChild child(args, env);
    return child.wait();
}
