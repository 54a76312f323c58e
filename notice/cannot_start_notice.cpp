// The error box shown when the main program failed its checks.
#include "cannot_start_notice.h"

#include "bounded_text.h"
#include "string_table.h"

#include "platform/platform.h"
#include "resources/resource.h"

namespace {

// The three working buffers, released together when the notice is done.
struct NoticeBuffers {
    LPWSTR format = nullptr;
    LPWSTR name = nullptr;
    LPWSTR message = nullptr;

    NoticeBuffers() = default;
    NoticeBuffers(const NoticeBuffers &) = delete;
    NoticeBuffers &operator=(const NoticeBuffers &) = delete;

    ~NoticeBuffers() {
        if (format)
            platform::LocalFree(format);
        if (name)
            platform::LocalFree(name);
        if (message)
            platform::LocalFree(message);
    }
};

LPWSTR AllocateUnits(size_t units) {
    return static_cast<LPWSTR>(platform::LocalAlloc(LPTR, units * sizeof(WCHAR)));
}

} // namespace

bool ShowCannotStartNotice(HINSTANCE instance) {
    const WCHAR *formatEntry = FindStringResource(instance, IDS_CANNOT_START);
    if (!formatEntry)
        return false;
    const WCHAR *nameEntry = FindStringResource(instance, IDS_PRODUCT_NAME);
    if (!nameEntry)
        return false;
    // Entries are counted strings: a length unit, then the text, unterminated.
    const size_t formatLength = formatEntry[0];
    const size_t nameLength = nameEntry[0];

    NoticeBuffers buffers;
    buffers.format = AllocateUnits(formatLength + 1);
    if (!buffers.format)
        return false;
    CopyText(buffers.format, formatLength + 1, formatEntry + 1, formatLength);
    buffers.name = AllocateUnits(nameLength + 1);
    if (!buffers.name)
        return false;
    CopyText(buffers.name, nameLength + 1, nameEntry + 1, nameLength);
    buffers.message = AllocateUnits(formatLength + nameLength + 1);
    if (!buffers.message)
        return false;
    FormatText(buffers.message, formatLength + nameLength + 1, buffers.format, &buffers.name, 1);

    return platform::MessageBoxW(nullptr, buffers.message, buffers.name,
                                 MB_OKCANCEL | MB_ICONERROR) == IDOK;
}
