// Copy and format without ever passing the destination's end. The formatter
// is ours rather than the C library's: a directive without an argument must
// not make it read past what it was given.
#include "bounded_text.h"

void CopyText(WCHAR *destination, size_t capacity, const WCHAR *source, size_t count) {
    size_t unit = 0;
    for (; unit + 1 < capacity && unit < count && source[unit] != L'\0'; ++unit)
        destination[unit] = source[unit];
    destination[unit] = L'\0';
}

void FormatText(WCHAR *destination, size_t capacity, const WCHAR *format,
                const WCHAR *const *arguments, size_t argumentCount) {
    size_t written = 0;
    size_t nextArgument = 0;
    auto put = [&](WCHAR unit) {
        if (written + 1 < capacity)
            destination[written++] = unit;
    };
    for (const WCHAR *at = format; *at != L'\0'; ++at) {
        if (at[0] == L'%' && at[1] == L's' && nextArgument < argumentCount) {
            for (const WCHAR *inserted = arguments[nextArgument++]; *inserted != L'\0'; ++inserted)
                put(*inserted);
            ++at;
        } else if (at[0] == L'%' && at[1] == L'%') {
            put(L'%');
            ++at;
        } else {
            put(*at);
        }
    }
    destination[written] = L'\0';
}

size_t TextLength(const WCHAR *text) {
    size_t length = 0;
    while (text[length] != L'\0')
        ++length;
    return length;
}
