// Operations on host areas (int16 top, left, bottom, right): the protocol's
// requests and the preview's reduced sample.
#pragma once
#include <cstdint>
#include "interface/host_record.h"

inline void CopyArea(HostArea& dst, const HostArea& src) { dst = src; }
inline void ClearArea(HostArea& a) { a = HostArea{0, 0, 0, 0}; }
// Every coordinate becomes n * c / d, truncating toward zero.
inline void ScaleArea(HostArea& a, int32_t n, int32_t d) {
    auto s = [&](int16_t c) { return int16_t(int32_t(c) * n / d); };
    a = HostArea{s(a.top), s(a.left), s(a.bottom), s(a.right)};
}
inline int AreaWidth(const HostArea& a) { return a.right - a.left; }
inline int AreaHeight(const HostArea& a) { return a.bottom - a.top; }
inline int32_t ToFixed16(int32_t n) { return int32_t(uint32_t(n) << 16); }
