// "Save..." and "Load..." of the editor, and settings files on disk.
#include "plugin_ui/settings_file.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "plugin/core/plugin.h"
#include "plugin_ui/settings_codec.h"
#include "plugin_ui/ui.h"

namespace {

// Reads the file a block at a time and hands the codec one byte at a time.
class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(HANDLE file) : file_(file) {}
    bool ReadByte(uint8_t& byte) override {
        if (pos_ == size_) {
            DWORD got = 0;
            if (failed_ || !ReadFile(file_, buffer_, sizeof buffer_, &got, nullptr) || got == 0) {
                failed_ = true;
                return false;
            }
            size_ = got;
            pos_ = 0;
        }
        byte = buffer_[pos_++];
        return true;
    }

private:
    HANDLE file_;
    uint8_t buffer_[4096];
    DWORD size_ = 0, pos_ = 0;
    bool failed_ = false;
};

bool WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool RunFileDialog(HWND owner, char* file, bool save) {
    char filter[256] = "";
    char folder[256] = "";
    LoadFileFilter(filter);
    PluginDirectory(folder);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = 256;
    ofn.lpstrInitialDir = folder;
    ofn.lpstrDefExt = "tfs";
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
    return save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
}

}  // namespace

std::string FolderOf(const std::string& path) {
    size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? "" : path.substr(0, cut + 1);
}

std::string FileNameOf(const std::string& path) { return path.substr(FolderOf(path).size()); }

namespace {

bool ExistsButCannotBeReplaced(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return true;
    // Replacing takes what writing and deleting take.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE | DELETE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return true;
    CloseHandle(file);
    return false;
}

}  // namespace

std::string ReplacementBeside(const std::string& target, const char* prefix) {
    if (ExistsButCannotBeReplaced(target)) return "";
    std::string folder = FolderOf(target);
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), prefix, 0, temp)) return "";
    return temp;
}

std::string OwnModulePath() {
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(reinterpret_cast<HMODULE>(gModule), path, MAX_PATH);
    return n && n < MAX_PATH ? std::string(path, n) : std::string();
}

SettingsStatus WriteSettingsFile(const char* path, const FilterDefinition& definition) {
    std::string temp = ReplacementBeside(path, "tfs");
    if (temp.empty()) return SettingsStatus::OpenFailed;
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileA(temp.c_str());
        return SettingsStatus::OpenFailed;
    }
    bool written = WriteAll(file, EncodeSettings(definition));
    written = CloseHandle(file) && written;
    // Only a complete file takes the place of the old one.
    if (!written || !MoveFileExA(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temp.c_str());
        return SettingsStatus::WriteFailed;
    }
    return SettingsStatus::Ok;
}

SettingsStatus ReadSettingsFile(const char* path, FilterDefinition& definition) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return SettingsStatus::OpenFailed;
    auto* scratch = static_cast<FilterDefinition*>(AllocBlock(sizeof(FilterDefinition)));
    if (!scratch) {
        CloseHandle(file);
        return SettingsStatus::ReadFailed;
    }
    std::memcpy(scratch, &definition, sizeof definition);
    FileByteSource source(file);
    bool ok = DecodeSettings(source, *scratch);
    CloseHandle(file);
    if (ok) std::memcpy(&definition, scratch, sizeof definition);
    FreeBlock(scratch);
    return ok ? SettingsStatus::Ok : SettingsStatus::ReadFailed;
}

void LoadFileFilter(char* buffer) {
    char text[256];
    int n = LoadStringA(reinterpret_cast<HMODULE>(gModule), IDS_FILE_FILTER, text, sizeof text);
    if (n <= 0) return;
    char separator = text[n - 1];
    for (int i = 0; i < n; ++i) buffer[i] = text[i] == separator ? '\0' : text[i];
    buffer[n] = '\0';
}

void PluginDirectory(char* buffer) {
    std::string folder = FolderOf(OwnModulePath());
    std::strncpy(buffer, folder.c_str(), 255);
    buffer[255] = '\0';
}

int MessageIdOf(SettingsStatus status) {
    switch (status) {
    case SettingsStatus::OpenFailed: return IDS_SETTINGS_OPEN_FAILED;
    case SettingsStatus::WriteFailed: return IDS_SETTINGS_WRITE_FAILED;
    default: return IDS_SETTINGS_READ_FAILED;
    }
}

void SaveSettings(HWND dialog) {
    char file[256] = "";
    if (!RunFileDialog(dialog, file, true)) return;
    const SettingsStatus status = WriteSettingsFile(file, *gDefinition);
    if (status != SettingsStatus::Ok) ShowErrorBox(MessageIdOf(status));
}

void LoadSettings(HWND dialog) {
    char file[256] = "";
    if (!RunFileDialog(dialog, file, false)) return;
    SettingsStatus status = ReadSettingsFile(file, *gDefinition);
    if (status == SettingsStatus::OpenFailed) {
        ShowErrorBox(MessageIdOf(status));
        return;
    }
    if (status == SettingsStatus::Ok) {
        ShowFormulas(dialog);
        ShowSliderValues(dialog);
    } else {
        // What the dialog shows goes back into the definition.
        ReadFormulas(dialog);
        ReadSliderValues(dialog);
    }
    CompileChannelFormulas();
    RefreshErrorMarkers(dialog);
    if (status != SettingsStatus::Ok) ShowErrorBox(MessageIdOf(status));
}
