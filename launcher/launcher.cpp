// The launcher's entry: find the main program, verify it, start it.
#include "target_path.h"

#include "notice/cannot_start_notice.h"
#include "notice/update_page.h"
#include "platform/platform.h"
#include "verify/publisher_check.h"
#include "verify/trust_check.h"

#include <shellapi.h>

namespace {

// The main program, held open from before its checks until the shell has
// started it, so that nobody can replace, rename or delete it in between.
struct HeldTarget {
    HANDLE file = INVALID_HANDLE_VALUE;

    HeldTarget() = default;
    HeldTarget(const HeldTarget &) = delete;
    HeldTarget &operator=(const HeldTarget &) = delete;

    ~HeldTarget() {
        if (file != INVALID_HANDLE_VALUE)
            platform::CloseHandle(file);
    }
};

// Starts the main program when it passes both checks; false when it does not
// or cannot be held.
bool LaunchIfVerified(LPCWSTR path) {
    HeldTarget target;
    target.file = platform::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target.file == INVALID_HANDLE_VALUE)
        return false;
    if (!IsFileTrusted(path) || !IsSignedByPublisher(path))
        return false;
    // The launcher does not wait for the program or judge the shell's answer.
    platform::ShellExecuteW(nullptr, nullptr, path, nullptr, nullptr, SW_SHOWNORMAL);
    return true;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    // DLLs loaded from here on (the shell's among them) come from the system folder only.
    platform::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    WCHAR path[MAX_PATH] = {};
    if (!BuildTargetPath(path))
        return 0;
    if (LaunchIfVerified(path))
        return 0;

    // Which check failed is not the user's concern: one notice serves both.
    if (ShowCannotStartNotice(instance))
        OpenUpdatePage();
    return 0;
}
