// The production side of the seam: each operation forwards to Windows. The
// trust provider and the certificate services are bound at run time from the
// system folder; when they cannot be bound, each call answers with failure,
// so a missing check can never pass.
#include "platform.h"

#include "system_library.h"

#include <shellapi.h>

namespace {

const WCHAR WINTRUST[] = L"wintrust.dll";
const WCHAR CRYPT32[] = L"crypt32.dll";

template <typename Function> Function Bind(LPCWSTR library, LPCSTR name) {
    return AsFunction<Function>(FindSystemFunction(library, name));
}

} // namespace

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

BOOL SetDefaultDllDirectories(DWORD directoryFlags) {
    // Not on every system this program supports: absent means nothing restricted.
    using Function = BOOL(WINAPI *)(DWORD);
    static const auto restrict =
        AsFunction<Function>(FindLoadedFunction(L"kernel32.dll", "SetDefaultDllDirectories"));
    return restrict ? restrict(directoryFlags) : FALSE;
}

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flags, HANDLE templateFile) {
    return ::CreateFileW(name, access, shareMode, security, disposition, flags, templateFile);
}

BOOL CloseHandle(HANDLE object) {
    return ::CloseHandle(object);
}

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
    return ::LocalAlloc(flags, bytes);
}

HLOCAL LocalFree(HLOCAL memory) {
    return ::LocalFree(memory);
}

LONG WinVerifyTrust(HWND window, GUID *action, LPVOID data) {
    static const auto verify = Bind<decltype(&::WinVerifyTrust)>(WINTRUST, "WinVerifyTrust");
    return verify ? verify(window, action, data) : TRUST_E_PROVIDER_UNKNOWN;
}

BOOL CryptQueryObject(DWORD objectType, const void *object, DWORD expectedContentTypeFlags,
                      DWORD expectedFormatTypeFlags, DWORD flags, DWORD *encodingType,
                      DWORD *contentType, DWORD *formatType, HCERTSTORE *store, HCRYPTMSG *message,
                      const void **context) {
    static const auto query = Bind<decltype(&::CryptQueryObject)>(CRYPT32, "CryptQueryObject");
    return query ? query(objectType, object, expectedContentTypeFlags, expectedFormatTypeFlags,
                         flags, encodingType, contentType, formatType, store, message, context)
                 : FALSE;
}

BOOL CryptMsgGetParam(HCRYPTMSG message, DWORD paramType, DWORD index, void *data,
                      DWORD *dataSize) {
    static const auto get = Bind<decltype(&::CryptMsgGetParam)>(CRYPT32, "CryptMsgGetParam");
    return get ? get(message, paramType, index, data, dataSize) : FALSE;
}

PCCERT_CONTEXT CertFindCertificateInStore(HCERTSTORE store, DWORD encodingType, DWORD findFlags,
                                          DWORD findType, const void *findPara,
                                          PCCERT_CONTEXT previous) {
    static const auto find =
        Bind<decltype(&::CertFindCertificateInStore)>(CRYPT32, "CertFindCertificateInStore");
    return find ? find(store, encodingType, findFlags, findType, findPara, previous) : nullptr;
}

DWORD CertGetNameStringW(PCCERT_CONTEXT certificate, DWORD type, DWORD flags, void *typePara,
                         LPWSTR name, DWORD capacity) {
    static const auto get = Bind<decltype(&::CertGetNameStringW)>(CRYPT32, "CertGetNameStringW");
    return get ? get(certificate, type, flags, typePara, name, capacity) : 0;
}

BOOL CertFreeCertificateContext(PCCERT_CONTEXT certificate) {
    static const auto release =
        Bind<decltype(&::CertFreeCertificateContext)>(CRYPT32, "CertFreeCertificateContext");
    return release ? release(certificate) : FALSE;
}

BOOL CertCloseStore(HCERTSTORE store, DWORD flags) {
    static const auto close = Bind<decltype(&::CertCloseStore)>(CRYPT32, "CertCloseStore");
    return close ? close(store, flags) : FALSE;
}

BOOL CryptMsgClose(HCRYPTMSG message) {
    static const auto close = Bind<decltype(&::CryptMsgClose)>(CRYPT32, "CryptMsgClose");
    return close ? close(message) : FALSE;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return ::MessageBoxW(owner, text, caption, type);
}

HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, INT showCommand) {
    return ::ShellExecuteW(owner, verb, file, parameters, directory, showCommand);
}

} // namespace platform
