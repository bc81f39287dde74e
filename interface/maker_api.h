// The filter maker on the command line: two C exports of the plug-in that the
// host's "make" and "export" commands call after loading the plug-in file
// with LoadLibrary. They use the same settings-file codec and the same file
// patching as the editor's "Load...", "Save..." and "Make...".
//
// Both return a MakerStatus and put one line for the user into `message`
// (NUL-terminated, cut to messageSize): on failure the text of the plug-in's
// message (2001-2003, 2007, 2008) or what is wrong with the options; on
// success of "make" the text of message 2009.
#pragma once
#include <cstdint>

#ifndef __cdecl
#define __cdecl __attribute__((__cdecl__))
#endif

struct MakerOptions {
    int32_t size;              // sizeof(MakerOptions)
    const char* settingsPath;  // the settings file to load into the definition
    const char* outputPath;    // the plug-in file to write, as given
    const char* title;         // at most 31 characters, not empty
    const char* category;      // at most 31 characters, not empty
    const char* copyright;     // at most 127 characters; null: the Build Filter dialog's text
    const char* author;        // at most 127 characters; null: the dialog's text
    // Labels of the shown maps and sliders (at most 63 characters); null: not
    // shown (the label is then the dialog's "Map i:" / "Control j:"). A map
    // and a slider of its pair (2i, 2i+1) exclude each other. None shown:
    // the made filter has no dialog.
    const char* mapLabel[4];
    const char* sliderLabel[8];
};

enum MakerStatus : int32_t {
    kMakerOk = 0,
    kMakerUsage = 1,   // the options break a rule of the Build Filter dialog
    kMakerFailed = 2,  // the settings file did not load, or the file was not written
};

// Loads the plug-in's own definition, the settings file into it, applies the
// options and writes options->outputPath: a complete plug-in file or none
// (an existing file is replaced only by a complete one).
using MakerMakeProc = int32_t(__cdecl*)(const MakerOptions* options, char* message,
                                        int32_t messageSize);
// Writes the plug-in's own definition (sliders and formulas) as a settings file.
using MakerExportProc = int32_t(__cdecl*)(const char* outputPath, char* message,
                                          int32_t messageSize);

constexpr char kMakerMakeExport[] = "TinctorMake";
constexpr char kMakerExportExport[] = "TinctorExport";
