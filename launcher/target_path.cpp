// Builds the main program's path from the launcher's own location.
#include "target_path.h"

#include "notice/bounded_text.h"
#include "platform/platform.h"

const WCHAR TARGET_RELATIVE_PATH[] = L"WINMODULE\\KVXPortable.exe";

bool BuildTargetPath(WCHAR (&path)[MAX_PATH]) {
    platform::GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A path that filled the whole buffer carries no terminator on older
    // systems; end it in the last unit, as newer systems do.
    path[MAX_PATH - 1] = L'\0';

    size_t folderLength = TextLength(path);
    while (folderLength > 0 && path[folderLength - 1] != L'\\')
        --folderLength;
    if (folderLength == 0)
        return false;

    // A folder longer than 234 units leaves too little room: the name is cut.
    CopyText(path + folderLength, MAX_PATH - folderLength, TARGET_RELATIVE_PATH,
             TextLength(TARGET_RELATIVE_PATH));
    return true;
}
