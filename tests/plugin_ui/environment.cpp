// Wine draws the frames and captions of our windows itself (no window
// manager runs under Xvfb); the setting must be in place before the display
// driver starts, hence a static initialiser.
#include <windows.h>

namespace {
const bool gWineFrames = [] {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER,
                        "Software\\Wine\\AppDefaults\\plugin_ui_test.exe\\X11 Driver", 0, nullptr,
                        0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegSetValueExA(key, "Decorated", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    RegCloseKey(key);
    return true;
}();
}  // namespace
