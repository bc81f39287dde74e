/* The package version, shared by pkcommon.dll's code and its version
   resource. */
#pragma once
#define PKCOMMON_MAJOR 2
#define PKCOMMON_MINOR 0
#define PKCOMMON_VERSION_TEXT "2.0"
