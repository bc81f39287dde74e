// The operations the dialogs share: the editor, the settings file commands,
// the filter maker and the made-filter dialog all work on the current
// definition through the call pointers of plugin/plugin.h, which also
// declares the selectors' hand-overs that this folder implements.
#pragma once
#include <windows.h>
#include "plugin/plugin.h"

// Shared operations on an open editor or made-filter dialog.
void ShowFormulas(HWND dialog);      // definition -> fields 1000-1003, focus on 1000
void ReadFormulas(HWND dialog);      // fields 1000-1003 -> definition (at most 1023 characters)
void ShowSliderValues(HWND dialog);  // definition -> sliders 1007-1014 and labels 1015-1022
void ReadSliderValues(HWND dialog);  // labels 1015-1022 -> definition (not the sliders)
void RefreshErrorMarkers(HWND dialog);
int TakePreviewSample(HWND dialog);  // 0 on success
void DrawPreview(HWND dialog);       // runs the formulas over the sample and shows the result
void CenterOnParent(HWND window, int flags);  // 1 horizontally, 2 vertically, 0x10 at one third

// The editor's "Save...", "Load..." and "Make..." commands.
void SaveSettings(HWND dialog);
void LoadSettings(HWND dialog);
bool RunBuildDialog();  // dialog 103 on the maker's copy; true on OK
void MakeFilter();      // writes the new plug-in file from makerCopy and makeFileName
