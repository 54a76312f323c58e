#include "test_files.h"

#include <vector>

namespace testing_files {

std::wstring WindowsPathFromEnvironment(const wchar_t *name) {
    WCHAR value[4096] = {};
    DWORD length = GetEnvironmentVariableW(name, value, 4096);
    if (length == 0 || length >= 4096)
        return L"";
    std::wstring path = value;
    if (!path.empty() && path[0] == L'/') {
        for (WCHAR &unit : path)
            if (unit == L'/')
                unit = L'\\';
        path = L"Z:" + path;
    }
    return path;
}

std::wstring MakeTemporaryFolder(const std::wstring &hint) {
    static unsigned counter = 0;
    WCHAR temporary[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temporary);
    std::wstring folder = std::wstring(temporary) + L"rura-" +
                          std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(++counter) + L"-" + hint;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

bool CopyTo(const std::wstring &from, const std::wstring &to) {
    return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0;
}

bool Exists(const std::wstring &path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring ReadText(const std::wstring &path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return L"";
    std::vector<WCHAR> text(65536);
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(WCHAR)), &read, nullptr);
    CloseHandle(file);
    return std::wstring(text.data(), read / sizeof(WCHAR));
}

std::string Narrow(const std::wstring &text) {
    std::string narrow;
    for (wchar_t unit : text)
        narrow += unit < 0x80 ? static_cast<char>(unit) : '?';
    return narrow;
}

} // namespace testing_files
