// Loads the trust provider and certificate services from the system folder
// only: these DLLs are not on the loader's list of libraries always taken
// from there, so a copy dropped beside the launcher would win otherwise.
#include "system_library.h"

namespace {

bool LoaderHasSearchFlags() {
    // SetDefaultDllDirectories arrived together with the LOAD_LIBRARY_SEARCH_* flags.
    return FindLoadedFunction(L"kernel32.dll", "SetDefaultDllDirectories") != nullptr;
}

HMODULE LoadSystemLibrary(LPCWSTR library) {
    if (LoaderHasSearchFlags())
        return LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);

    // Older loaders: name the file by its full path, and let its own
    // dependencies be searched from that folder first.
    WCHAR path[MAX_PATH] = {};
    UINT folderLength = GetSystemDirectoryW(path, MAX_PATH);
    size_t libraryLength = static_cast<size_t>(lstrlenW(library));
    if (folderLength == 0 || folderLength + 1 + libraryLength >= MAX_PATH)
        return nullptr;
    path[folderLength] = L'\\';
    for (size_t unit = 0; unit <= libraryLength; ++unit)
        path[folderLength + 1 + unit] = library[unit];
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace

FARPROC FindSystemFunction(LPCWSTR library, LPCSTR function) {
    // The library stays loaded for the rest of the run: its functions are
    // called until the launcher ends.
    HMODULE module = LoadSystemLibrary(library);
    return module ? GetProcAddress(module, function) : nullptr;
}

FARPROC FindLoadedFunction(LPCWSTR library, LPCSTR function) {
    HMODULE module = GetModuleHandleW(library);
    return module ? GetProcAddress(module, function) : nullptr;
}
