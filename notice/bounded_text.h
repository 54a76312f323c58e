#pragma once

#include <windows.h>

#include <cstddef>

// Copies at most `count` units of `source`, stopping early at a NUL, into
// `destination` and terminates it; cuts to capacity - 1 units. Needs capacity >= 1.
void CopyText(WCHAR *destination, size_t capacity, const WCHAR *source, size_t count);

// printf-style formatting for the one directive the launcher uses: each "%s"
// takes the next argument, "%%" writes one percent sign, and anything else
// (a directive with no argument left included) is copied as it stands.
// Cuts to capacity - 1 units and terminates. Needs capacity >= 1.
void FormatText(WCHAR *destination, size_t capacity, const WCHAR *format,
                const WCHAR *const *arguments, size_t argumentCount);

// Units before the terminator.
size_t TextLength(const WCHAR *text);
