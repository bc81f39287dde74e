// Small pieces of the plug-in protocol the host needs in words: selector
// names, result codes with their meaning, host areas as plain rectangles.
#pragma once
#include <cstdint>
#include <string>

#include "host/buffers.h"
#include "interface/host_record.h"

// Exit statuses of lumora.exe.
constexpr int kExitDone = 0;
constexpr int kExitCancelled = 1;  // by the user, or the plug-in stopped
constexpr int kExitFailed = 2;     // bad usage or input, a plug-in error

// Answers of the advance-state callback.
constexpr int16_t kAdvanceDone = 0;
constexpr int16_t kAdvanceRefused = -1;

const char* SelectorName(int16_t selector);

// "-108 (out of memory)", "-30100 (bad selector)", "7 (unknown error)".
std::string DescribeResult(int16_t code);

// Exit status for a selector's result: 0 success, 1 the user cancelled or
// the plug-in stopped, 2 any error code.
int ExitStatusForResult(int16_t code);

Area ToArea(const HostArea& a);
HostArea ToHostArea(const Area& a);
