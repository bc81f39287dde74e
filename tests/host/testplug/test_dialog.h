// The test plug-in's dialog: what the editor asks of the host, in small.
#pragma once
#include "interface/host_record.h"

// One line per observation into the file LUMORA_TEST_LOG names.
void Log(const char* format, ...);

// Runs dialog 100 owned by the host's main window; true on OK.
bool RunTestDialog(HostRecord* r, bool badRate);
