#include "notice/bounded_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const WCHAR GUARD = 0xBEEF;

// Runs `write` on a buffer of `capacity` units fenced by guard units and
// checks that nothing outside the buffer changed.
template <typename Write> std::wstring Written(size_t capacity, Write write) {
    std::vector<WCHAR> fenced(capacity + 2, GUARD);
    write(fenced.data() + 1, capacity);
    EXPECT_EQ(fenced.front(), GUARD);
    EXPECT_EQ(fenced.back(), GUARD);
    return std::wstring(fenced.data() + 1);
}

TEST(BoundedText, CopyStopsAtCountNulOrCapacity) {
    const struct {
        const char *name;
        const wchar_t *source;
        size_t count;
        size_t capacity;
        std::wstring expected;
    } cases[] = {
        {"whole", L"KVX Portable", 12, 13, L"KVX Portable"},
        {"count before the end", L"KVX Portable", 3, 13, L"KVX"},
        {"NUL inside the entry", L"KVX\0Portable", 12, 13, L"KVX"},
        {"cut by capacity", L"KVX Portable", 12, 4, L"KVX"},
        {"capacity 1", L"KVX", 3, 1, L""},
        {"nothing to copy", L"", 0, 5, L""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(
            Written(c.capacity,
                    [&](WCHAR *to, size_t capacity) { CopyText(to, capacity, c.source, c.count); }),
            c.expected);
    }
}

TEST(BoundedText, FormatFillsDirectivesAndCutsAtCapacity) {
    const WCHAR *one[] = {L"KVX Portable"};
    const WCHAR *four[] = {L"http://h/?OS=win", L"&LOCALE=", L"ja", L"JP"};
    const WCHAR *noCodes[] = {L"u", L"&L=", L"", L""};
    const struct {
        const char *name;
        const wchar_t *format;
        const WCHAR *const *arguments;
        size_t argumentCount;
        size_t capacity;
        std::wstring expected;
    } cases[] = {
        {"directive inside", L"Cannot start %s. Use it.", one, 1, 64,
         L"Cannot start KVX Portable. Use it."},
        {"directive first", L"%s を起動", one, 1, 64, L"KVX Portable を起動"},
        {"no directive", L"Nothing to fill.", one, 1, 64, L"Nothing to fill."},
        {"percent sign", L"100%% %s", one, 1, 64, L"100% KVX Portable"},
        {"directive without an argument stays", L"%s and %s", one, 1, 64, L"KVX Portable and %s"},
        {"other directives stay", L"%d %n %x %s", one, 1, 64, L"%d %n %x KVX Portable"},
        {"lone percent at the end", L"50%", one, 1, 64, L"50%"},
        {"address", L"%s%s%s_%s", four, 4, 64, L"http://h/?OS=win&LOCALE=ja_JP"},
        {"empty codes", L"%s%s%s_%s", noCodes, 4, 64, L"u&L=_"},
        {"cut inside the argument", L"Start %s now", one, 1, 10, L"Start KVX"},
        {"cut in the format", L"Cannot start %s.", one, 1, 7, L"Cannot"},
        {"exactly fits", L"<%s>", one, 1, 15, L"<KVX Portable>"},
        {"one unit short", L"<%s>", one, 1, 14, L"<KVX Portable"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Written(c.capacity,
                          [&](WCHAR *to, size_t capacity) {
                              FormatText(to, capacity, c.format, c.arguments, c.argumentCount);
                          }),
                  c.expected);
    }
}

} // namespace
