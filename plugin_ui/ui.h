// The operations the dialogs share: the editor, the settings file commands,
// the filter maker and the made-filter dialog all work on the current
// definition through the call pointers of plugin/core/plugin.h.
#pragma once
#include <windows.h>
#include "plugin/core/plugin.h"
#include "plugin_ui/resource.h"

constexpr int kSliderCount = 8;
constexpr int kChannelCount = 4;

// Shared operations on an open editor or made-filter dialog.
void ShowFormulas(HWND dialog);      // definition -> formula fields, focus on the red one
void ReadFormulas(HWND dialog);      // formula fields -> definition (at most 1023 characters)
void ShowSliderValues(HWND dialog);  // definition -> sliders and their value labels
void ReadSliderValues(HWND dialog);  // value labels -> definition (not the sliders)
void RefreshErrorMarkers(HWND dialog);
int TakePreviewSample(HWND dialog);  // 0 on success
void DrawPreview(HWND dialog);       // runs the formulas over the sample and shows the result

// The slider notification as both dialogs answer it: the value label shows
// every value at once; a pause or the release reads the labels back and
// redraws the preview. False for sliders that are not ours.
bool HandleSliderNotification(HWND dialog, WPARAM wParam, LPARAM lParam);

// WM_PAINT of both dialogs: the dialog's own painting, then the preview as
// it was last finished (the formulas run only when it is out of date).
void PaintDialogWithPreview(HWND dialog);
// WM_DESTROY of both dialogs: the kept preview goes with the sample.
void ForgetPreview();

// The alpha row (field, label, marker) is shown only when the alpha formula
// will run: the image has four planes and the host keeps the transparency of
// a layer in the output. A hidden alpha formula never shows a marker nor
// stops OK or "Make...", since the user could not see or mend it.
bool AlphaRowShown();

// The host's main window: owner of our dialogs.
HWND HostWindow();

// Sets the eight sliders' range to 0..255.
void SetSliderRanges(HWND dialog);

// A text of a fixed slot of the definition: stops at the slot's end when no
// terminator comes first.
void SetSlotText(HWND window, const char* slot, int slotSize);

// Centres `window` on its parent (on the screen when it has none), kept on
// the screen.
void CenterOnParent(HWND window);

// The editor's "Save...", "Load..." and "Make..." commands.
void SaveSettings(HWND dialog);
void LoadSettings(HWND dialog);
bool RunBuildDialog();  // IDD_BUILD on the maker's copy; true on OK
void MakeFilter();      // writes the new plug-in file from makerCopy and makeFileName
