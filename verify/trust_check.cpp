// Asks the Authenticode trust provider whether a file carries a valid signature.
#include "trust_check.h"

#include "platform/platform.h"

#include <softpub.h>

#include <cstddef>

// The trust record in its twelve-field form, ending with dwUIContext: newer
// headers add fields that older trust providers do not know.
static const DWORD TRUST_RECORD_SIZE = offsetof(WINTRUST_DATA, dwUIContext) + sizeof(DWORD);

bool IsFileTrusted(LPCWSTR path) {
    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof(WINTRUST_FILE_INFO);
    file.pcwszFilePath = path;
    file.hFile = nullptr;
    file.pgKnownSubject = nullptr;

    WINTRUST_DATA trust = {};
    trust.cbStruct = TRUST_RECORD_SIZE;
    trust.pPolicyCallbackData = nullptr;
    trust.pSIPClientData = nullptr;
    trust.dwUIChoice = WTD_UI_NONE;
    trust.fdwRevocationChecks = WTD_REVOKE_NONE;
    trust.dwUnionChoice = WTD_CHOICE_FILE;
    trust.pFile = &file;
    trust.dwStateAction = WTD_STATEACTION_IGNORE;
    trust.hWVTStateData = nullptr;
    trust.pwszURLReference = nullptr;
    trust.dwProvFlags = WTD_SAFER_FLAG;
    trust.dwUIContext = WTD_UICONTEXT_EXECUTE;

    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    // Any status but ERROR_SUCCESS is a refusal, whatever its sign.
    return platform::WinVerifyTrust(nullptr, &action, &trust) == ERROR_SUCCESS;
}
