// Builds the main program's path from the launcher's own location.
#include "target_path.h"

#include "platform/platform.h"

const WCHAR TARGET_RELATIVE_PATH[] = L"WINMODULE\\KVXPortable.exe";

namespace {

// Copies source into destination, cutting it to capacity - 1 units when it
// does not fit; the destination is always terminated.
void CopyCut(WCHAR *destination, size_t capacity, const WCHAR *source) {
    size_t unit = 0;
    for (; unit + 1 < capacity && source[unit] != L'\0'; ++unit)
        destination[unit] = source[unit];
    destination[unit] = L'\0';
}

} // namespace

bool BuildTargetPath(WCHAR (&path)[MAX_PATH]) {
    platform::GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A path that filled the whole buffer carries no terminator on older
    // systems; end it in the last unit, as newer systems do.
    path[MAX_PATH - 1] = L'\0';

    size_t length = 0;
    while (path[length] != L'\0')
        ++length;

    size_t folderLength = length;
    while (folderLength > 0 && path[folderLength - 1] != L'\\')
        --folderLength;
    if (folderLength == 0)
        return false;

    CopyCut(path + folderLength, MAX_PATH - folderLength, TARGET_RELATIVE_PATH);
    return true;
}
