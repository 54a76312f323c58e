// Files and folders for the tests that run on the real platform under Wine.
#pragma once

#include <windows.h>

#include <string>

namespace testing_files {

// A Linux path from the environment variable `name`, as Wine sees it (Z:).
std::wstring WindowsPathFromEnvironment(const wchar_t *name);

// A fresh, empty folder under the temporary folder, named after `hint`.
std::wstring MakeTemporaryFolder(const std::wstring &hint);

bool CopyTo(const std::wstring &from, const std::wstring &to);
bool Exists(const std::wstring &path);

// The whole file as UTF-16 text (the fixture target writes UTF-16).
std::wstring ReadText(const std::wstring &path);

// ASCII for test messages; other units as '?'.
std::string Narrow(const std::wstring &text);

} // namespace testing_files
