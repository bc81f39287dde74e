// Texts that must fit the skinned text controls that show them: a path has
// no blanks to wrap at, so a long one loses its middle to "..." and keeps its
// file name in view.  Measured in the controls' shared font.
#pragma once
#include <windows.h>

// Sets the text of control `id` of `dialog`, shortened to the control's
// width: as one line, or (`wrapped`) word by word for a text block.
void SetItemTextFitted(HWND dialog, int id, const char* text, bool wrapped);
