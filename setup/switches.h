// The installer's command line: "s", "n" and "m" after "-" or "/". No
// Windows headers, so the scanner is tested on its own.
#pragma once

struct SetupSwitches {
    int scan;        // cleared by s: the plug-in dialog does not search
    int networkWin;  // set by n: system files go to the Windows directory
    int forceMSVC;   // set by m: an existing system file is replaced
};

// Scans `text` (the command line after the program name; may be null) from
// left to right: the letter right after each "-" or "/", in either case,
// selects a switch, and the scan goes on from that letter. So only the first
// letter after a switch character counts ("/sn" acts like "/s") and any other
// letter is ignored. Switches found change `switches`; the rest is kept.
void ScanSwitches(const char* text, SetupSwitches* switches);
