// Sends the user to the installer download page.
#include "update_page.h"

#include "bounded_text.h"

#include "platform/platform.h"

#include <shellapi.h>

const WCHAR UPDATE_PAGE_URL[] =
    L"http://support.quorvel.com/download/RURA/RURA_Installer01/?OS=win";
const WCHAR LOCALE_QUERY[] = L"&LOCALE=";

namespace {

const WCHAR URL_FORMAT[] = L"%s%s%s_%s";
const LCID LOCALE_CANDIDATES[] = {LOCALE_USER_DEFAULT, LOCALE_SYSTEM_DEFAULT, LOCALE_NEUTRAL};

} // namespace

void GetLocaleString(LCTYPE type, WCHAR (&value)[LOCALE_TEXT_UNITS]) {
    WCHAR lookup[LOCALE_TEXT_UNITS] = {};
    for (LCID locale : LOCALE_CANDIDATES) {
        if (platform::GetLocaleInfoW(locale, type, lookup, LOCALE_TEXT_UNITS) != 0)
            break;
        // A failed call may leave part of an answer behind.
        lookup[0] = L'\0';
    }
    CopyText(value, LOCALE_TEXT_UNITS, lookup, LOCALE_TEXT_UNITS);
}

void OpenUpdatePage() {
    WCHAR language[LOCALE_TEXT_UNITS] = {};
    WCHAR country[LOCALE_TEXT_UNITS] = {};
    GetLocaleString(LOCALE_SISO639LANGNAME, language);
    GetLocaleString(LOCALE_SISO3166CTRYNAME, country);

    // The underscore and the terminator.
    const size_t units = TextLength(UPDATE_PAGE_URL) + TextLength(LOCALE_QUERY) +
                         TextLength(language) + TextLength(country) + 2;
    auto address = static_cast<LPWSTR>(platform::LocalAlloc(LPTR, units * sizeof(WCHAR)));
    if (!address)
        return;
    const WCHAR *const parts[] = {UPDATE_PAGE_URL, LOCALE_QUERY, language, country};
    FormatText(address, units, URL_FORMAT, parts, 4);

    platform::ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
    platform::LocalFree(address);
}
