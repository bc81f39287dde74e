#include "setup/fittext.h"

#include "controls/control_mgr.h"
#include "controls/gdi_scope.h"
#include "setup/paths.h"

void SetItemTextFitted(HWND dialog, int id, const char* text, bool wrapped) {
    HWND control = GetDlgItem(dialog, id);
    HFONT font = ControlMgr ? ControlMgr->GetFont() : nullptr;
    HDC dc = control && font ? GetDC(control) : nullptr;
    if (!dc) {
        SetDlgItemTextA(dialog, id, text);
        return;
    }
    std::string fitted;
    {
        SelectedObject measuring(dc, font);
        auto width = [dc](const std::string& s) {
            SIZE size = {};
            GetTextExtentPoint32A(dc, s.data(), static_cast<int>(s.size()), &size);
            return static_cast<int>(size.cx);
        };
        RECT client;
        GetClientRect(control, &client);
        int room = client.right - client.left - 2;
        fitted = wrapped ? ShortenLongWords(text, room, width) : ShortenMiddle(text, room, width);
    }
    ReleaseDC(control, dc);
    SetDlgItemTextA(dialog, id, fitted.c_str());
}
