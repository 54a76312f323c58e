// Binding the trust provider and certificate services at run time: only the
// system folder's copies count, and what cannot be bound is reported as null.
#include "platform/system_library.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring FolderOf(FARPROC function) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(reinterpret_cast<void *>(function)), &module);
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\'));
}

TEST(SystemLibrary, BindsFunctionsFromTheSystemFolderOnly) {
    WCHAR system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    for (auto [library, function] : {std::pair<LPCWSTR, LPCSTR>{L"wintrust.dll", "WinVerifyTrust"},
                                     {L"crypt32.dll", "CryptQueryObject"},
                                     {L"crypt32.dll", "CertGetNameStringW"}}) {
        FARPROC found = FindSystemFunction(library, function);
        ASSERT_NE(found, nullptr) << function;
        EXPECT_EQ(lstrcmpiW(FolderOf(found).c_str(), system), 0) << function;
    }
}

TEST(SystemLibrary, WhatIsNotThereIsNull) {
    EXPECT_EQ(FindSystemFunction(L"no-such-library.dll", "WinVerifyTrust"), nullptr);
    EXPECT_EQ(FindSystemFunction(L"wintrust.dll", "NoSuchFunction"), nullptr);
    EXPECT_EQ(FindLoadedFunction(L"no-such-library.dll", "Anything"), nullptr);
    EXPECT_NE(FindLoadedFunction(L"kernel32.dll", "GetProcAddress"), nullptr);
}

} // namespace
