// The production side of the seam: each operation forwards to Windows.
#include "platform.h"

#include <shellapi.h>

namespace platform {

DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    return ::GetModuleFileNameW(module, fileName, size);
}

LCID GetThreadLocale() {
    return ::GetThreadLocale();
}

HRSRC FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language) {
    return ::FindResourceExW(module, type, name, language);
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    return ::LoadResource(module, resource);
}

LPVOID LockResource(HGLOBAL data) {
    return ::LockResource(data);
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    return ::SizeofResource(module, resource);
}

int GetLocaleInfoW(LCID locale, LCTYPE type, LPWSTR data, int capacity) {
    return ::GetLocaleInfoW(locale, type, data, capacity);
}

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
    return ::LocalAlloc(flags, bytes);
}

HLOCAL LocalFree(HLOCAL memory) {
    return ::LocalFree(memory);
}

LONG WinVerifyTrust(HWND window, GUID *action, LPVOID data) {
    return ::WinVerifyTrust(window, action, data);
}

BOOL CryptQueryObject(DWORD objectType, const void *object, DWORD expectedContentTypeFlags,
                      DWORD expectedFormatTypeFlags, DWORD flags, DWORD *encodingType,
                      DWORD *contentType, DWORD *formatType, HCERTSTORE *store, HCRYPTMSG *message,
                      const void **context) {
    return ::CryptQueryObject(objectType, object, expectedContentTypeFlags, expectedFormatTypeFlags,
                              flags, encodingType, contentType, formatType, store, message,
                              context);
}

BOOL CryptMsgGetParam(HCRYPTMSG message, DWORD paramType, DWORD index, void *data,
                      DWORD *dataSize) {
    return ::CryptMsgGetParam(message, paramType, index, data, dataSize);
}

PCCERT_CONTEXT CertFindCertificateInStore(HCERTSTORE store, DWORD encodingType, DWORD findFlags,
                                          DWORD findType, const void *findPara,
                                          PCCERT_CONTEXT previous) {
    return ::CertFindCertificateInStore(store, encodingType, findFlags, findType, findPara,
                                        previous);
}

DWORD CertGetNameStringW(PCCERT_CONTEXT certificate, DWORD type, DWORD flags, void *typePara,
                         LPWSTR name, DWORD capacity) {
    return ::CertGetNameStringW(certificate, type, flags, typePara, name, capacity);
}

BOOL CertFreeCertificateContext(PCCERT_CONTEXT certificate) {
    return ::CertFreeCertificateContext(certificate);
}

BOOL CertCloseStore(HCERTSTORE store, DWORD flags) {
    return ::CertCloseStore(store, flags);
}

BOOL CryptMsgClose(HCRYPTMSG message) {
    return ::CryptMsgClose(message);
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return ::MessageBoxW(owner, text, caption, type);
}

HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, INT showCommand) {
    return ::ShellExecuteW(owner, verb, file, parameters, directory, showCommand);
}

} // namespace platform
