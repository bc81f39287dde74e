// The Slider control: class registration, the operations, painting and the
// drag loop. SliderWndProc only dispatches; each message has its handler.
#include "plugin_ui/slider.h"
#include "controls/gdi_scope.h"

namespace {

const char kClassName[] = "Slider";
const char kDataProperty[] = "LMSlData";
const char kMessageName[] = "LMSlCmd";
constexpr DWORD kPauseMs = 250;
constexpr SHORT kKeyDown = SHORT(0x8000);  // GetAsyncKeyState: the key is down now

// A new slider before its parent sets anything: range 0..20, a thumb 14
// pixels along the track and 7 across it, its tip one pixel below the track
// and at the track's start.
constexpr int kDefaultMaximum = 20;
constexpr int kDefaultThumbAlong = 14;
constexpr int kDefaultThumbAcross = 7;
constexpr int kDefaultBaseline = 1;

UINT gSliderMessage;  // registered once per process

// The drag in progress, if any. Its window doubles as the process-wide
// dragging flag; `lost` is set when the capture goes elsewhere mid-drag.
struct DragState {
    HWND window;
    bool lost;
};
DragState gDrag;

// Looks the block up and keeps it locked for the lifetime of the object.
class LockedSlider {
public:
    explicit LockedSlider(HWND window) : handle_(GetPropA(window, kDataProperty)) {
        if (handle_) data_ = static_cast<SliderData*>(GlobalLock(handle_));
    }
    ~LockedSlider() {
        if (data_) GlobalUnlock(handle_);
    }
    LockedSlider(const LockedSlider&) = delete;
    LockedSlider& operator=(const LockedSlider&) = delete;
    explicit operator bool() const { return data_ != nullptr; }
    SliderData* operator->() const { return data_; }
    SliderData* get() const { return data_; }

private:
    HANDLE handle_;
    SliderData* data_ = nullptr;
};

int ThumbWidth(const SliderData& d) { return int(d.thumbSize & 0xFFFF); }
int ThumbHeight(const SliderData& d) { return int(d.thumbSize >> 16); }
int ThumbAlong(const SliderData& d) { return d.vertical ? ThumbHeight(d) : ThumbWidth(d); }
int ClientAlong(const SliderData& d, const RECT& c) {
    return d.vertical ? c.bottom - c.top : c.right - c.left;
}

RECT ClientOf(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    return r;
}

void InvalidateThumb(HWND window, const SliderData& d, BOOL erase) {
    RECT r = SliderThumbRect(d);
    InvalidateRect(window, &r, erase);
}

void Notify(HWND window, int id, int code, int value) {
    HWND parent = GetParent(window);
    if (!parent || !gSliderMessage) return;
    SendMessageA(parent, UINT(WORD(gSliderMessage)), WPARAM(WORD(id)),
                 LPARAM((DWORD(code) << 16) | (DWORD(value) & 0xFFFF)));
}

// ---- default drawing routines ----

void DrawLineTrack(HWND window, HDC dc, SliderData* d) {
    RECT client = ClientOf(window);
    HBRUSH background = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
    FillRect(dc, &client, background);
    DeleteObject(background);
    if (d->vertical) {
        MoveToEx(dc, 0, ThumbHeight(*d) / 2, nullptr);
        LineTo(dc, 0, client.bottom - ThumbHeight(*d) / 2);
    } else {
        MoveToEx(dc, ThumbWidth(*d) / 2, 0, nullptr);
        LineTo(dc, client.right - ThumbWidth(*d) / 2, 0);
    }
}

void DrawTriangleThumb(HWND, HDC dc, SliderData* d) {
    const int w = ThumbWidth(*d), h = ThumbHeight(*d), p = d->thumbPos, b = d->baseline;
    POINT pts[4];
    if (d->vertical) {
        pts[0] = {b, p};
        pts[1] = {b + w, p - h / 2};
        pts[2] = {b + w, p + h / 2};
    } else {
        pts[0] = {p, b};
        pts[1] = {p + w / 2, b + h};
        pts[2] = {p - w / 2, b + h};
    }
    pts[3] = pts[0];
    Polyline(dc, pts, 4);
}

// ---- message handlers ----

LRESULT Slider_OnCreate(HWND window, WPARAM wParam, LPARAM lParam) {
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(SliderData));
    if (!handle) return -1;
    if (!SetPropA(window, kDataProperty, handle)) {
        GlobalFree(handle);
        return -1;
    }
    LockedSlider d(window);
    d->window = window;
    d->vertical = (GetWindowLongA(window, GWL_STYLE) & kSliderVertical) ? 1 : 0;
    d->minimum = 0;
    d->maximum = kDefaultMaximum;
    d->thumbPos = kDefaultThumbAlong / 2;
    d->value = 0;
    d->baseline = kDefaultBaseline;
    const int width = d->vertical ? kDefaultThumbAcross : kDefaultThumbAlong;
    const int height = d->vertical ? kDefaultThumbAlong : kDefaultThumbAcross;
    d->thumbSize = (uint32_t(height) << 16) | uint32_t(width);
    d->drawThumb = DrawTriangleThumb;
    d->drawTrack = DrawLineTrack;
    return DefWindowProcA(window, WM_CREATE, wParam, lParam);
}

LRESULT Slider_OnDestroy(HWND window, WPARAM wParam, LPARAM lParam) {
    if (HANDLE handle = RemovePropA(window, kDataProperty)) GlobalFree(handle);
    if (gDrag.window == window) gDrag.lost = true;
    return DefWindowProcA(window, WM_DESTROY, wParam, lParam);
}

LRESULT Slider_OnPaint(HWND window, WPARAM wParam, LPARAM lParam) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client = ClientOf(window);
    LockedSlider d(window);
    if (d && client.right > 0 && client.bottom > 0) {
        MemoryDC memory(dc);
        if (memory.Own(CreateCompatibleBitmap(dc, client.right, client.bottom))) {
            if (d->drawTrack) d->drawTrack(window, memory, d.get());
            if (d->drawThumb) d->drawThumb(window, memory, d.get());
            BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        }
    }
    EndPaint(window, &ps);
    return DefWindowProcA(window, WM_PAINT, wParam, lParam);
}

LRESULT Slider_OnEraseBackground(HWND window, WPARAM wParam, LPARAM lParam) {
    // While any slider drags, the double-buffered paint covers everything.
    if (gDrag.window) return 0;
    return DefWindowProcA(window, WM_ERASEBKGND, wParam, lParam);
}

LRESULT Slider_OnCaptureChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    // Another window took the mouse: the drag loop ends at its next sample.
    if (gDrag.window == window && HWND(lParam) != window) gDrag.lost = true;
    return DefWindowProcA(window, WM_CAPTURECHANGED, wParam, lParam);
}

// The pointer's coordinate along the track, pinned to [half, maxPos].
int SamplePointer(HWND window, bool vertical, int half, int maxPos) {
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(window, &pt);
    int c = vertical ? pt.y : pt.x;
    if (c < half) return half;
    if (c > maxPos) return maxPos;
    return c;
}

// Moves the thumb to `pos` and repaints it at once; answers its value.
int MoveThumb(HWND window, int pos) {
    LockedSlider d(window);
    if (!d) return 0;
    RECT client = ClientOf(window);
    InvalidateThumb(window, *d.get(), TRUE);
    d->thumbPos = pos;
    InvalidateThumb(window, *d.get(), TRUE);
    int value = SliderValueFromPosition(*d.get(), client, pos);
    UpdateWindow(window);
    return value;
}

// The button that sends WM_LBUTTONDOWN: the right one when the user has
// swapped them. The key state answers for the physical buttons.
int PrimaryButton() { return GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON; }

// One drag of the thumb, from the press of the button to its release. The
// drag polls the pointer and the button; it dispatches nothing.
// Notifications are sent with the block unlocked, so the parent may call
// any operation, or destroy the slider, while handling them.
struct Drag {
    HWND window;
    int id;
    bool vertical;
    int half, maxPos;  // the pointer's range along the track
    int button;
    int previous;  // where the thumb was last moved to
};

// Takes the mouse; false when the slider has no block.
bool BeginDrag(HWND window, Drag& drag) {
    {
        LockedSlider d(window);
        if (!d) return false;
        drag.vertical = d->vertical != 0;
        drag.half = ThumbWidth(*d.get()) / 2;
        drag.maxPos = ClientAlong(*d.get(), ClientOf(window)) - drag.half;
    }
    drag.window = window;
    drag.id = GetDlgCtrlID(window);
    drag.button = PrimaryButton();
    SetCapture(window);
    gDrag = {window, false};
    return true;
}

// Follows the pointer while the button is down: the thumb moves with it, and
// a pause of the pointer is reported, then reported again every kPauseMs.
// Ends early when the capture is lost or the slider goes.
void PollDrag(Drag& drag) {
    bool first = true, timing = false, reported = false;
    DWORD since = 0;
    do {
        const int pos = SamplePointer(drag.window, drag.vertical, drag.half, drag.maxPos);
        if (!first && pos == drag.previous) {
            const DWORD now = GetTickCount();
            if (!timing) {
                timing = true;
                since = now;
            } else if (now - since > kPauseMs) {
                int value;
                {
                    LockedSlider d(drag.window);
                    if (!d) return;
                    value = SliderValueFromPosition(*d.get(), ClientOf(drag.window), pos);
                }
                Notify(drag.window, drag.id, reported ? SliderHeldRepeat : SliderHeld, value);
                reported = true;
                since = now;
            }
        } else {
            first = timing = reported = false;
            drag.previous = pos;
            Notify(drag.window, drag.id, SliderMoving, MoveThumb(drag.window, pos));
        }
        if (gDrag.lost) return;
        Sleep(1);  // a poll, not a spin: the host's other work keeps its processor
    } while (GetAsyncKeyState(drag.button) & kKeyDown);
}

// Snaps the thumb to its value, gives the mouse back and reports the final
// value; false when the slider went during the drag.
bool EndDrag(const Drag& drag) {
    int final = 0;
    bool alive = false;
    {
        LockedSlider d(drag.window);
        if (d) {
            alive = true;
            RECT client = ClientOf(drag.window);
            final = SliderValueFromPosition(*d.get(), client, drag.previous);
            // Snap: the stored value is the one the thumb's position stands for.
            RECT before = SliderThumbRect(*d.get());
            d->value = SliderValueFromPosition(*d.get(), client, d->thumbPos);
            RECT after = SliderThumbRect(*d.get());
            if (!EqualRect(&before, &after)) {
                InvalidateRect(drag.window, &before, TRUE);
                InvalidateRect(drag.window, &after, TRUE);
                UpdateWindow(drag.window);
            }
        }
    }
    if (GetCapture() == drag.window) ReleaseCapture();
    gDrag = {nullptr, false};
    if (alive) Notify(drag.window, drag.id, SliderReleased, final);
    return alive;
}

LRESULT Slider_OnLButtonDown(HWND window, WPARAM wParam, LPARAM lParam) {
    Drag drag{};
    if (!BeginDrag(window, drag)) return DefWindowProcA(window, WM_LBUTTONDOWN, wParam, lParam);
    PollDrag(drag);
    return EndDrag(drag) ? DefWindowProcA(window, WM_LBUTTONDOWN, wParam, lParam) : 0;
}

LRESULT Slider_OnSetDrawRoutine(HWND window, WPARAM wParam, LPARAM lParam) {
    if (LockedSlider d{window}) {
        auto routine = reinterpret_cast<SliderDrawProc>(lParam);
        (wParam ? d->drawTrack : d->drawThumb) = routine;
    }
    return DefWindowProcA(window, SliderSetDrawRoutine, wParam, lParam);
}

LRESULT Slider_OnSetUserValue(HWND window, WPARAM wParam, LPARAM lParam) {
    if (LockedSlider d{window}) d->userValue = int32_t(lParam);
    return DefWindowProcA(window, SliderSetUserValue, wParam, lParam);
}

LRESULT Slider_OnSetThumbSize(HWND window, WPARAM wParam, LPARAM lParam) {
    if (LockedSlider d{window}) d->thumbSize = uint32_t(lParam);
    return DefWindowProcA(window, SliderSetThumbSize, wParam, lParam);
}

LRESULT Slider_OnSetBaseline(HWND window, WPARAM wParam, LPARAM lParam) {
    if (LockedSlider d{window}) {
        int baseline = int16_t(LOWORD(wParam));
        if (baseline == -1) baseline = ClientOf(window).bottom - ThumbHeight(*d.get()) - 1;
        d->baseline = baseline;
    }
    return DefWindowProcA(window, SliderSetBaseline, wParam, lParam);
}

LRESULT Slider_OnSetValue(HWND window, WPARAM wParam, LPARAM lParam) {
    SliderSetValue(window, int(wParam), true);
    return DefWindowProcA(window, SliderSetValueMsg, wParam, lParam);
}

LRESULT Slider_OnGet(HWND window, WPARAM wParam) {
    return wParam ? SliderGetPosition(window) : SliderGetValue(window);
}

LRESULT Slider_OnSetRange(HWND window, WPARAM wParam, LPARAM lParam) {
    SliderSetRange(window, LOWORD(lParam), HIWORD(lParam));
    return DefWindowProcA(window, SliderSetRangeMsg, wParam, lParam);
}

LRESULT CALLBACK SliderWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return Slider_OnCreate(window, wParam, lParam);
    case WM_DESTROY: return Slider_OnDestroy(window, wParam, lParam);
    case WM_PAINT: return Slider_OnPaint(window, wParam, lParam);
    case WM_ERASEBKGND: return Slider_OnEraseBackground(window, wParam, lParam);
    case WM_LBUTTONDOWN: return Slider_OnLButtonDown(window, wParam, lParam);
    case WM_CAPTURECHANGED: return Slider_OnCaptureChanged(window, wParam, lParam);
    case SliderSetDrawRoutine: return Slider_OnSetDrawRoutine(window, wParam, lParam);
    case SliderSetUserValue: return Slider_OnSetUserValue(window, wParam, lParam);
    case SliderSetThumbSize: return Slider_OnSetThumbSize(window, wParam, lParam);
    case SliderSetBaseline: return Slider_OnSetBaseline(window, wParam, lParam);
    case SliderSetValueMsg: return Slider_OnSetValue(window, wParam, lParam);
    case SliderGet: return Slider_OnGet(window, wParam);
    case SliderGetRangeMsg: return LRESULT(SliderGetRange(window));
    case SliderSetRangeMsg: return Slider_OnSetRange(window, wParam, lParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

// ---- geometry ----

int SliderTrackLength(const SliderData& d, const RECT& client) {
    return ClientAlong(d, client) - ThumbAlong(d);
}

int SliderPositionFromValue(const SliderData& d, const RECT& client, int value) {
    const int span = d.maximum - d.minimum;
    const int length = SliderTrackLength(d, client);
    if (value < d.minimum) value = d.minimum;
    if (value > d.maximum) value = d.maximum;
    // A degenerate range or track has one position: its start.
    if (span <= 0 || length <= 0) return ThumbAlong(d) / 2;
    return ((value - d.minimum) * length + span / 2) / span + ThumbAlong(d) / 2;
}

int SliderValueFromPosition(const SliderData& d, const RECT& client, int position) {
    const int span = d.maximum - d.minimum;
    const int length = SliderTrackLength(d, client);
    if (length <= 0) return d.minimum;
    int p = position - ThumbAlong(d) / 2;
    if (p < 0) p = 0;
    if (p > length) p = length;
    return d.minimum + (p * span + length / 2) / length;
}

RECT SliderThumbRect(const SliderData& d) {
    const int w = ThumbWidth(d), h = ThumbHeight(d);
    RECT r;
    if (d.vertical) {
        r.left = d.baseline;
        r.top = d.thumbPos - h / 2;
        r.right = d.baseline + w + 1;
        r.bottom = r.top + h + 1;
    } else {
        r.left = d.thumbPos - w / 2;
        r.top = d.baseline;
        r.right = r.left + w + 1;
        r.bottom = d.baseline + h + 1;
    }
    return r;
}

// ---- class ----

bool RegisterSliderClass(HINSTANCE module, UINT* message) {
    if (!gSliderMessage) gSliderMessage = RegisterWindowMessageA(kMessageName);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = SliderWndProc;
    wc.hInstance = module;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // the arrow
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    // A class left registered by an earlier dialog of ours (its unregistering
    // failed) is the same class: the dialog can still open.
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    if (message) *message = gSliderMessage;
    return gSliderMessage != 0;
}

void UnregisterSliderClass(HINSTANCE module) { UnregisterClassA(kClassName, module); }

UINT SliderNotifyMessage() { return gSliderMessage; }

// ---- operations ----

void SliderSetRange(HWND slider, int minimum, int maximum) {
    if (LockedSlider d{slider}) {
        d->minimum = minimum;
        d->maximum = maximum;
    }
}

void SliderSetValue(HWND slider, int value, bool redraw) {
    LockedSlider d(slider);
    if (!d) return;
    RECT client = ClientOf(slider);
    if (redraw) InvalidateThumb(slider, *d.get(), TRUE);
    d->thumbPos = SliderPositionFromValue(*d.get(), client, value);
    d->value = SliderValueFromPosition(*d.get(), client, d->thumbPos);
    if (redraw) {
        InvalidateThumb(slider, *d.get(), TRUE);
        UpdateWindow(slider);
    }
}

int SliderGetValue(HWND slider) {
    LockedSlider d(slider);
    return d ? d->value : 0;
}

int SliderGetPosition(HWND slider) {
    LockedSlider d(slider);
    return d ? d->thumbPos : 0;
}

uint32_t SliderGetRange(HWND slider) {
    LockedSlider d(slider);
    if (!d) return 0;
    return (uint32_t(d->maximum) << 16) | (uint32_t(d->minimum) & 0xFFFF);
}
