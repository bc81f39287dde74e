// Two owners for off-screen drawing, so that every path frees what it made:
// a memory device context, and an object made for one drawing and selected
// into a device context. Declare the selection after the context it goes
// into: it is then put back before the context is deleted.
#pragma once
#include <windows.h>

class MemoryDC {
public:
    explicit MemoryDC(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
    ~MemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    explicit operator bool() const { return dc_ != nullptr; }
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// Takes `object` (a bitmap, pen, brush or font, or null when making it
// failed) and selects it into `dc`; at the end of the scope the object it
// replaced goes back and `object` is deleted.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), object_(object), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (old_) SelectObject(dc_, old_);
        if (object_) DeleteObject(object_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    explicit operator bool() const { return old_ != nullptr; }  // selected

private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ old_;
};
