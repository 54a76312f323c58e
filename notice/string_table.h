#pragma once

#include <windows.h>

// The language whose strings stand in when the thread's language has none.
extern const WORD FALLBACK_LANGUAGE;

// Finds string `id` of the module's string table in the calling thread's
// language, or in FALLBACK_LANGUAGE when the module has no block in that
// language. Returns the entry in place, a counted string (a length unit, then
// that many units of text, no terminator), or null when the block is missing
// or too short or the entry is empty.
const WCHAR *FindStringResource(HMODULE module, UINT id);
