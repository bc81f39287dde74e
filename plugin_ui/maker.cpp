// "Make...": a copy of our own plug-in file with the maker's definition, menu
// name and category patched in (plugin_patch.h does the bytes).
#include "plugin_ui/maker.h"

#include <windows.h>

#include <cstring>

#include "plugin/core/plugin.h"
#include "plugin_ui/plugin_patch.h"
#include "plugin_ui/settings_file.h"
#include "plugin_ui/ui.h"

namespace {

// Maps the file at `path` writable, without sharing, and patches it.
bool PatchFile(const std::string& path, const FilterDefinition& copy) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = false;
    DWORD size = GetFileSize(file, nullptr);
    HANDLE mapping = size != INVALID_FILE_SIZE && size > 0
                         ? CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, nullptr)
                         : nullptr;
    void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0) : nullptr;
    if (view) {
        auto* begin = static_cast<uint8_t*>(view);
        ok = PatchPluginImage(begin, begin + size, copy) == PatchResult::Ok;
        ok = FlushViewOfFile(view, 0) && ok;
        UnmapViewOfFile(view);
    }
    if (mapping) CloseHandle(mapping);
    ok = CloseHandle(file) && ok;
    return ok;
}

}  // namespace

MakeStatus WritePluginFile(const std::string& target, FilterDefinition& copy) {
    copy.madeFilter = 1;
    std::string own = OwnModulePath();
    if (own.empty()) return MakeStatus::CopyFailed;
    std::string temp = ReplacementBeside(target, "lmf");
    if (temp.empty()) return MakeStatus::CopyFailed;
    if (!CopyFileA(own.c_str(), temp.c_str(), FALSE)) {
        DeleteFileA(temp.c_str());
        return MakeStatus::CopyFailed;
    }
    if (!PatchFile(temp, copy) ||
        !MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temp.c_str());
        return MakeStatus::WriteFailed;
    }
    return MakeStatus::Ok;
}

int MessageIdOf(MakeStatus status) {
    switch (status) {
    case MakeStatus::Ok: return IDS_FILTER_CREATED;
    case MakeStatus::CopyFailed: return IDS_FILTER_CREATE_FAILED;
    default: return IDS_FILTER_WRITE_FAILED;
    }
}

std::string FormatStringMessage(int id, const std::string& argument) {
    char text[256];
    int n = LoadStringA(reinterpret_cast<HMODULE>(gModule), id, text, sizeof text);
    if (n <= 0) return "";
    std::string message(text, n);
    size_t at = message.find("%s");
    if (at != std::string::npos) message.replace(at, 2, argument);
    return message;
}

int ShowFormattedMessage(int id, const char* argument, unsigned type) {
    std::string text = FormatStringMessage(id, argument ? argument : "");
    if (text.empty()) {
        MessageBeep(0);
        return IDCANCEL;
    }
    return ShowMessage(text.c_str(), type);
}

void MakeFilter() {
    FilterDefinition& copy = *gState->makerCopy;
    char* name = gState->makeFileName;
    name[sizeof gState->makeFileName - 1] = '\0';
    if (char* dot = std::strchr(name, '.')) *dot = '\0';
    // The new file goes beside our own; the name is joined unexamined.
    std::string path = FolderOf(OwnModulePath()) + name + ".lmf";
    std::string display = FileNameOf(path);
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
        ShowFormattedMessage(IDS_FILE_EXISTS, display.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const MakeStatus made = WritePluginFile(path, copy);
    ShowFormattedMessage(MessageIdOf(made), display.c_str(),
                         MB_OK | (made == MakeStatus::Ok ? MB_ICONINFORMATION : MB_ICONSTOP));
}
