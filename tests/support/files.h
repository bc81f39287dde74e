// Whole files and throwaway folders, as the tests see them through Wine.
#pragma once
#include <string>

// A whole file as bytes; "" when it cannot be read.
std::string FileBytes(const std::string& path);
// A file written anew with exactly these bytes.
bool WriteBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// Removes a folder with everything in it, read-only files included.
void RemoveTree(const std::string& dir);

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};
