// The user's hands: synthetic mouse and keyboard input (SendInput) and what
// a user sees of a window of another thread (focus, selection, texts).
#pragma once
#include <windows.h>
#include <string>

void MouseTo(int x, int y);                       // screen pixels
void MouseButton(bool down, bool right = false);  // the physical button
void ClickAt(int x, int y);
void ClickItem(HWND dialog, int id);  // the centre of a control
void TypeText(const char* text);
void PressKey(WORD vk);
void PressKey(WORD modifier, WORD vk);  // a chord such as Ctrl+A

HWND FocusOf(DWORD thread);
std::string TextOf(HWND window);
std::string ItemText(HWND dialog, int id);
bool ItemVisible(HWND dialog, int id);
void Selection(HWND edit, int* start, int* end);
// A message box of `thread` whose text contains `words`, once shown; null
// after six seconds.
HWND WaitForMessageBox(DWORD thread, const char* words);
