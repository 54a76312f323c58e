#pragma once

#include <windows.h>

// Finds `function` in the copy of `library` that the system folder holds;
// null when the library or the function is not there. A DLL of the same name
// beside the program or on the search path is never used.
FARPROC FindSystemFunction(LPCWSTR library, LPCSTR function);

// The same for a library the loader has already mapped (kernel32).
FARPROC FindLoadedFunction(LPCWSTR library, LPCSTR function);

// Casts a found function to its real type.
template <typename Function> Function AsFunction(FARPROC found) {
    // Through the generic function pointer type: a direct cast between unrelated
    // function types is not portable and compilers warn about it.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}
