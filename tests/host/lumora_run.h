// Runs lumora.exe as a child process for the tests, the way a user would,
// and collects its exit status and output.
#pragma once
#include <string>
#include <utility>
#include <vector>

struct LumoraRun {
    int status = -1;
    std::string out, err;
};

// env: variables set for the child only (name, value).
LumoraRun RunLumora(const std::vector<std::string>& args,
                    const std::vector<std::pair<std::string, std::string>>& env = {});

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

bool FileExists(const std::string& path);
std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);
bool CopyInto(const std::string& file, const std::string& folder, const std::string& name = "");
