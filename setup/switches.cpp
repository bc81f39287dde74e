#include "setup/switches.h"

void ScanSwitches(const char* text, SetupSwitches* switches) {
    if (!text) return;
    for (const char* p = text; *p; ++p) {
        if (*p != '-' && *p != '/') continue;
        char c = p[1];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        switch (c) {
        case 's': switches->scan = 0; break;
        case 'n': switches->networkWin = 1; break;
        case 'm': switches->forceMSVC = 1; break;
        default: break;
        }
    }
}
