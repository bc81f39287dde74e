// What the plug-in's entry hands over to the dialogs: the selectors that
// show a window. The core below knows none of them.
#pragma once

bool RunEditorDialog();      // start, ordinary plug-in: IDD_EDITOR; true on OK
bool RunMadeFilterDialog();  // start, made filter: IDD_MADE_FILTER, or none without a dialog
void RunAboutBox();          // about: IDD_ABOUT
