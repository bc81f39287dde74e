// Device contexts and selected objects that clean up after themselves, on
// every path out of the drawing that made them.
#pragma once
#include <windows.h>

// A memory device context compatible with `dc` (with the screen when null),
// deleted at the end of its scope.  It may own one bitmap made for it, its
// off-screen surface: selected from the start and deleted with the context.
// Check it with `if (!mem)` before drawing: creation can fail.
class MemoryDC {
public:
    explicit MemoryDC(HDC dc) : dc_(CreateCompatibleDC(dc)) {}
    ~MemoryDC() {
        if (surface_) {
            SelectObject(dc_, first_);
            DeleteObject(surface_);
        }
        if (dc_) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    // Takes `bitmap`, made for this context, as its surface.  False when
    // either is missing; a bitmap given is then deleted at once.
    bool Own(HBITMAP bitmap) {
        if (!dc_ || !bitmap) {
            if (bitmap) DeleteObject(bitmap);
            return false;
        }
        first_ = SelectObject(dc_, bitmap);
        surface_ = bitmap;
        return true;
    }

    operator HDC() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
    HBITMAP surface_ = nullptr;
    HGDIOBJ first_ = nullptr;
};

// `object` selected into `dc` for the scope; Select swaps in another one.
// The object that was selected before is put back at the end (the objects
// themselves belong to the caller).
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (old_) SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

    void Select(HGDIOBJ object) {
        HGDIOBJ previous = SelectObject(dc_, object);
        if (!old_) old_ = previous;
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};
