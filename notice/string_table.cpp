// Reads one entry of the module's string table in place.
#include "string_table.h"

#include "platform/platform.h"

const WORD FALLBACK_LANGUAGE = 1033;

namespace {

const UINT ENTRIES_PER_BLOCK = 16;

} // namespace

const WCHAR *FindStringResource(HMODULE module, UINT id) {
    WORD language = LANGIDFROMLCID(platform::GetThreadLocale());
    WORD blockNumber = static_cast<WORD>((id >> 4) + 1);
    LPCWSTR blockName = MAKEINTRESOURCEW(blockNumber);

    // The language is chosen per block: once a block is found in the thread's
    // language, its entries are final, empty or not.
    HRSRC block = platform::FindResourceExW(module, RT_STRING, blockName, language);
    if (!block)
        block = platform::FindResourceExW(module, RT_STRING, blockName, FALLBACK_LANGUAGE);
    if (!block)
        return nullptr;
    HGLOBAL loaded = platform::LoadResource(module, block);
    if (!loaded)
        return nullptr;
    const WCHAR *units = static_cast<const WCHAR *>(platform::LockResource(loaded));
    if (!units)
        return nullptr;
    // A length unit must lie wholly inside the block; a trailing odd byte does not count.
    const size_t unitCount = platform::SizeofResource(module, block) / sizeof(WCHAR);

    // Each entry is its length unit followed by that many units of text.
    size_t at = 0;
    for (UINT index = id % ENTRIES_PER_BLOCK; index > 0 && at < unitCount; --index)
        at += 1 + static_cast<size_t>(units[at]);
    if (at >= unitCount)
        return nullptr;
    const size_t length = units[at];
    if (length == 0)
        return nullptr;
    // Text that would run past the block's end is not handed out.
    if (length > unitCount - at - 1)
        return nullptr;
    return units + at;
}
