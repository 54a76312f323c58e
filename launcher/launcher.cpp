// The launcher's entry: find the main program, verify it, start it.
#include "target_path.h"

#include "notice/cannot_start_notice.h"
#include "notice/update_page.h"
#include "platform/platform.h"
#include "verify/publisher_check.h"
#include "verify/trust_check.h"

#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    WCHAR path[MAX_PATH] = {};
    if (!BuildTargetPath(path))
        return 0;

    if (IsFileTrusted(path) && IsSignedByPublisher(path)) {
        // The launcher does not wait for the program or judge the shell's answer.
        platform::ShellExecuteW(nullptr, nullptr, path, nullptr, nullptr, SW_SHOWNORMAL);
        return 0;
    }

    // Which check failed is not the user's concern: one notice serves both.
    if (ShowCannotStartNotice(instance))
        OpenUpdatePage();
    return 0;
}
