// A scripted stand-in for the operating system, linked into the unit tests in
// place of the production platform binding. Every call is logged, with its
// arguments, in order; results come from the script below.
#pragma once

#include "platform/platform.h"

#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fake {

// Thrown by an operation that the script names in `throwing`.
struct PlatformFault {};

struct Script {
    // GetModuleFileNameW writes this, cut to the buffer and terminated if it fits.
    std::wstring ownPath = L"C:\\Start.exe";

    // WinVerifyTrust
    LONG trustStatus = 0;
    std::function<void(HWND, GUID *, WINTRUST_DATA *)> onVerifyTrust;

    // The signer's subject name and the certificate that carries it.
    std::wstring subjectName = L"Quorvel Corporation";
    std::function<void(const CERT_INFO *key, const CMSG_SIGNER_INFO *signer)> onFindCertificate;

    // String-table blocks by (block number, language); LockResource hands
    // out the bytes, SizeofResource their count unless sizeOverride is set.
    std::map<std::pair<WORD, WORD>, std::vector<unsigned char>> blocks;
    LCID threadLocale = 0x0409;
    // When set, every block lookup finds these bytes instead (placed by the test).
    const void *placedBlock = nullptr;
    DWORD placedSize = 0;
    long sizeOverride = -1;

    // GetLocaleInfoW answers per (locale, type); missing pairs fail.
    std::map<std::pair<LCID, LCTYPE>, std::wstring> localeInfo;

    int messageBoxAnswer = IDOK;

    // Operations named here return their failure value (0 or null).
    std::set<std::string> failing;
    // The n-th LocalAlloc (1-based) returns null; 0 for none.
    int failingAllocation = 0;
    // The operation named here throws PlatformFault instead of answering.
    std::string throwing;
};

// The fake's handles, as the log names them.
extern const HCERTSTORE STORE;
extern const HCRYPTMSG MESSAGE;
extern const HMODULE MODULE;
extern const HANDLE TARGET_FILE;

Script &script();
std::vector<std::string> &calls();
// The logged calls to any of the named operations, in order.
std::vector<std::string> CallsTo(std::initializer_list<const char *> names);
// Clears the log and restores the default script.
void Reset();
// ASCII as it stands, every other unit as \uXXXX: how the log shows text.
std::string Narrow(const std::wstring &text);

} // namespace fake
