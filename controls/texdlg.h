// Textured dialogs.  The invisible texture control (the first control of a
// template) subclasses its dialog: the client area is tiled with the normal
// texture and the window frame is painted as a bevel, bright at the top and
// left and dark at the bottom and right, with mitred corners.
//
// Properties on the dialog: "OBTexDlg" holds the texture control's window;
// "DIBTexPtr" holds a 4-byte global block with the address of the DIBTex.
#pragma once
#include <windows.h>

#include "controls/control_mgr.h"
#include "controls/dibtex.h"

class TexDlg {
public:
    TexDlg(HWND dialog, HINSTANCE instance, HINSTANCE resInstance, const char* textureName);
    ~TexDlg();
    TexDlg(const TexDlg&) = delete;
    TexDlg& operator=(const TexDlg&) = delete;

    void OnPaint();
    void OnNCPaint(HRGN update);
    void CalcRegions(const RECT& window);
    void ClientRectToScreen(RECT* r);

    enum { kTop, kBottom, kLeft, kRight };
    HWND dialog;
    HINSTANCE instance;
    HINSTANCE resInstance;
    WNDPROC previous = nullptr;
    DIBTex texture;
    HRGN regions[4] = {};
    int frameWidth = 0;
};

LRESULT CALLBACK Tex_SubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
DIBTex* DlgTexture(HWND window);
int SetDlgDIBTex(HWND window, DIBTex* texture);

class MyTexDlgCtl : public MyControlCtl {
public:
    ~MyTexDlgCtl() override;
    int OnCreate(HWND window, CREATESTRUCTA* create) override;
    void OnPaint(PAINTSTRUCT* ps) override;

    TexDlg* texDlg = nullptr;
};
