// The operating-system calls the launcher makes, one declaration each, with
// the Win32 signatures. The product links win32_platform.cpp, which forwards
// each one to Windows; the unit tests link a scripted fake in its place.
#pragma once

#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>

namespace platform {

// Kernel
BOOL SetDefaultDllDirectories(DWORD directoryFlags);
HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
BOOL CloseHandle(HANDLE object);
DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);
LCID GetThreadLocale();
HRSRC FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
int GetLocaleInfoW(LCID locale, LCTYPE type, LPWSTR data, int capacity);
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL LocalFree(HLOCAL memory);

// Authenticode trust provider
LONG WinVerifyTrust(HWND window, GUID *action, LPVOID data);

// Certificate and message services
BOOL CryptQueryObject(DWORD objectType, const void *object, DWORD expectedContentTypeFlags,
                      DWORD expectedFormatTypeFlags, DWORD flags, DWORD *encodingType,
                      DWORD *contentType, DWORD *formatType, HCERTSTORE *store, HCRYPTMSG *message,
                      const void **context);
BOOL CryptMsgGetParam(HCRYPTMSG message, DWORD paramType, DWORD index, void *data, DWORD *dataSize);
PCCERT_CONTEXT CertFindCertificateInStore(HCERTSTORE store, DWORD encodingType, DWORD findFlags,
                                          DWORD findType, const void *findPara,
                                          PCCERT_CONTEXT previous);
DWORD CertGetNameStringW(PCCERT_CONTEXT certificate, DWORD type, DWORD flags, void *typePara,
                         LPWSTR name, DWORD capacity);
BOOL CertFreeCertificateContext(PCCERT_CONTEXT certificate);
BOOL CertCloseStore(HCERTSTORE store, DWORD flags);
BOOL CryptMsgClose(HCRYPTMSG message);

// User interface and shell
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, INT showCommand);

} // namespace platform
