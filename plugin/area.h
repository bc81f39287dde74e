// Operations on host areas (int16 top, left, bottom, right) and window
// rectangles (int32 left, top, right, bottom).
#pragma once
#include <cstdint>
#include "interface/host_record.h"

struct WindowRect32 {
    int32_t left, top, right, bottom;
};

inline void CopyArea(HostArea& dst, const HostArea& src) { dst = src; }
inline void ClearArea(HostArea& a) { a = HostArea{0, 0, 0, 0}; }
inline void InsetArea(HostArea& a, int dx, int dy) {
    a.left = int16_t(a.left + dx);  a.right = int16_t(a.right - dx);
    a.top = int16_t(a.top + dy);    a.bottom = int16_t(a.bottom - dy);
}
// Every coordinate becomes n * c / d, truncating toward zero.
inline void ScaleArea(HostArea& a, int32_t n, int32_t d) {
    auto s = [&](int16_t c) { return int16_t(int32_t(c) * n / d); };
    a = HostArea{s(a.top), s(a.left), s(a.bottom), s(a.right)};
}
inline int AreaWidth(const HostArea& a) { return a.right - a.left; }
inline int AreaHeight(const HostArea& a) { return a.bottom - a.top; }
inline HostArea WindowRectToArea(const WindowRect32& r) {
    return HostArea{int16_t(r.top), int16_t(r.left), int16_t(r.bottom), int16_t(r.right)};
}
inline WindowRect32 AreaToWindowRect(const HostArea& a) {
    return WindowRect32{a.left, a.top, a.right, a.bottom};
}
inline int32_t ToFixed16(int32_t n) { return int32_t(uint32_t(n) << 16); }
