// Operations on host areas (int16 top, left, bottom, right).
#pragma once
#include "interface/host_record.h"

inline void CopyArea(HostArea& dst, const HostArea& src) {
    dst = src;
}
inline void ClearArea(HostArea& a) {
    a = HostArea{0, 0, 0, 0};
}
