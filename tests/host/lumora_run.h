// Runs lumora.exe as a child process for the tests, the way a user would,
// and collects its exit status and output.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "tests/support/files.h"

struct LumoraRun {
    int status = -1;
    std::string out, err;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// env: variables set for the child only (name, value).
LumoraRun RunLumora(const std::vector<std::string>& args, const Environment& env = {});

// lumora.exe running beside the test, for tests that act on its windows
// while it runs. The destructor waits for it (and ends it after a minute).
class LumoraChild {
public:
    // desktop: "station\\desktop" to start it on, or empty for ours.
    LumoraChild(const std::vector<std::string>& args, const Environment& env = {},
                const std::string& desktop = "");
    ~LumoraChild();
    LumoraChild(const LumoraChild&) = delete;
    LumoraChild& operator=(const LumoraChild&) = delete;

    bool started() const { return process_ != nullptr; }
    bool running() const;
    // Waits for the end (ending it after timeoutMs) and collects its output.
    LumoraRun wait(unsigned long timeoutMs = 60000);

private:
    void* process_ = nullptr;
    void *out_ = nullptr, *err_ = nullptr, *in_ = nullptr;
    std::string outPath_, errPath_;
    bool waited_ = false;
    LumoraRun run_;
};

bool CopyInto(const std::string& file, const std::string& folder, const std::string& name = "");
