#pragma once

#include <windows.h>

// True when the platform's Authenticode trust provider accepts the file.
bool IsFileTrusted(LPCWSTR path);
