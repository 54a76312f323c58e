#pragma once

#include <windows.h>

// The installer download page; the user's locale is appended to it.
extern const WCHAR UPDATE_PAGE_URL[];
extern const WCHAR LOCALE_QUERY[];

const int LOCALE_TEXT_UNITS = 256;

// The value of locale information `type` from the first locale of the user
// default, system default and neutral locales that has it; empty if none has.
void GetLocaleString(LCTYPE type, WCHAR (&value)[LOCALE_TEXT_UNITS]);

// Opens the download page, with the user's language and country, through the shell.
void OpenUpdatePage();
