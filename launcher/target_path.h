#pragma once

#include <windows.h>

// The main program, relative to the launcher's own folder.
extern const WCHAR TARGET_RELATIVE_PATH[];

// Rewrites the launcher's own path in the buffer into the main program's
// path. False when the path holds no backslash: there is no folder to use.
bool BuildTargetPath(WCHAR (&path)[MAX_PATH]);
