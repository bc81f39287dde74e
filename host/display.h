// The display-pixels callback: draws a plug-in's pixel map into a device
// context (the plug-in's preview).
#pragma once
#include "interface/host_record.h"

// 0 on success, -1 when the map or the arguments are unusable or GDI fails.
int16_t __cdecl DisplayPixels(const HostPixelMap* source, const HostRect32* srcRect, int32_t dstRow,
                              int32_t dstCol, void* dc);
