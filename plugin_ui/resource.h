// Control ids of the editor (template 101), the made-filter dialog (template
// 104) and Build Filter (template 103), and what the editor and the
// made-filter dialog share beyond plugin_ui/ui.h.
#pragma once
#include <windows.h>

enum DialogControl : int {
    kIdFormula = 1000,  // 1000..1003: red, green, blue, alpha formula
    kIdLoad = 1004,
    kIdSave = 1005,
    kIdMake = 1006,
    kIdSlider = 1007,      // 1007..1014: slider i
    kIdValueLabel = 1015,  // 1015..1022: value label of slider i (slider id + 8)
    kIdMarker = 1023,      // 1023..1026: error marker of channel k
    kIdPreview = 1027,     // invisible placeholder: only its rectangle is used
    kIdAlphaLabel = 1028,
    kIdMapLabel = 1050,     // 1050..1053: made-filter dialog, label of map k
    kIdSliderLabel = 1054,  // 1054..1061: made-filter dialog, label of slider j
};

// Build Filter (template 103).
enum BuildControl : int {
    kCategory = 1200,
    kTitle = 1201,
    kCopyright = 1202,
    kAuthor = 1203,
    kFileName = 1204,
    kMapLabel = 1205,     // 1205..1208: label of map i
    kSliderLabel = 1209,  // 1209..1216: label of slider j
    kMapBox = 1217,       // 1217..1220: check box of map i
    kSliderBox = 1221,    // 1221..1228: check box of slider j
};

constexpr int kSliderCount = 8;
constexpr int kChannelCount = 4;
constexpr int kEditorTemplate = 101;
constexpr int kMadeFilterTemplate = 104;
constexpr int kMarkerIcon = 201;
constexpr int kMsgSampleFailed = 2004;
constexpr int kMsgNoMemory = 2005;

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
