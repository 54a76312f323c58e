// The built launcher itself, in a folder of its own with a WINMODULE beside
// it, started as a user would start it.
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_files;

namespace {

const DWORD LAUNCHER_TIMEOUT_MS = 60000;
const DWORD START_TIMEOUT_MS = 15000;
// How long a refused target gets to show up anyway before we call it absent.
const DWORD ABSENCE_WAIT_MS = 1500;

std::wstring Fixture(const std::wstring &name) {
    return WindowsPathFromEnvironment(L"RURA_FIXTURES") + L"\\" + name;
}

struct Outcome {
    DWORD exitCode = 0xFFFFFFFF;
    bool started = false;
    bool noticeShown = false;
    std::wstring marker;
};

struct BoxSearch {
    DWORD processId;
    HWND box;
};

BOOL CALLBACK FindNoticeOfProcess(HWND window, LPARAM search) {
    auto *wanted = reinterpret_cast<BoxSearch *>(search);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    WCHAR className[16] = {};
    GetClassNameW(window, className, 16);
    if (owner == wanted->processId && wcscmp(className, L"#32770") == 0) {
        wanted->box = window;
        return FALSE;
    }
    return TRUE;
}

// Waits for the launcher to end; a notice it shows on the way is answered
// with Cancel, which opens nothing.
bool WaitAnsweringNotice(const PROCESS_INFORMATION &process) {
    bool shown = false;
    for (DWORD waited = 0; waited < LAUNCHER_TIMEOUT_MS; waited += 100) {
        if (WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0)
            return shown;
        BoxSearch search = {process.dwProcessId, nullptr};
        EnumWindows(FindNoticeOfProcess, reinterpret_cast<LPARAM>(&search));
        if (search.box && IsWindowVisible(search.box)) {
            shown = true;
            SendMessageW(GetDlgItem(search.box, IDCANCEL), BM_CLICK, 0, 0);
        }
    }
    ADD_FAILURE() << "the launcher did not end";
    return shown;
}

class LauncherSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        launcher_ = WindowsPathFromEnvironment(L"RURA_LAUNCHER");
        ASSERT_TRUE(Exists(launcher_)) << "RURA_LAUNCHER is not set or missing";
        ASSERT_TRUE(Exists(Fixture(L"maker.exe"))) << "RURA_FIXTURES is not set or empty";
    }

    // Lays out `folder` with the launcher as `launcherName` and, unless
    // `target` is empty, the fixture `target` at WINMODULE\`targetName`.
    void Lay(const std::wstring &folder, const std::wstring &launcherName,
             const std::wstring &target, const std::wstring &targetName = L"KVXPortable.exe") {
        ASSERT_TRUE(CopyTo(launcher_, folder + L"\\" + launcherName));
        CreateDirectoryW((folder + L"\\WINMODULE").c_str(), nullptr);
        if (!target.empty()) {
            ASSERT_TRUE(CopyTo(Fixture(target), folder + L"\\WINMODULE\\" + targetName));
        }
    }

    Outcome Run(const std::wstring &folder, const std::wstring &launcherName, bool expectStart,
                const std::wstring &arguments = L"") {
        Outcome outcome;
        std::wstring marker = folder + L"\\marker.txt";
        DeleteFileW(marker.c_str());
        SetEnvironmentVariableW(L"RURA_MARKER", marker.c_str());

        std::wstring commandLine = L"\"" + folder + L"\\" + launcherName + L"\"";
        if (!arguments.empty())
            commandLine += L" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWMINIMIZED;
        PROCESS_INFORMATION process = {};
        std::wstring mutableLine = commandLine;
        EXPECT_TRUE(CreateProcessW(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.c_str(), &startup, &process))
            << "cannot start the launcher: " << GetLastError();
        if (process.hProcess) {
            outcome.noticeShown = WaitAnsweringNotice(process);
            GetExitCodeProcess(process.hProcess, &outcome.exitCode);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }

        DWORD waited = 0;
        DWORD limit = expectStart ? START_TIMEOUT_MS : ABSENCE_WAIT_MS;
        while (!Exists(marker) && waited < limit) {
            Sleep(50);
            waited += 50;
        }
        if (Exists(marker)) {
            Sleep(100); // let the target finish writing
            outcome.started = true;
            outcome.marker = ReadText(marker);
        }
        return outcome;
    }

    std::wstring launcher_;
};

TEST_F(LauncherSystemTest, StartsTheMakersProgramWithoutPassingArguments) {
    std::wstring folder = MakeTemporaryFolder(L"signed");
    Lay(folder, L"RURA_Win.exe", L"maker.exe");
    Outcome outcome = Run(folder, L"RURA_Win.exe", true, L"--update \"C:\\other.exe\" /s");
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(outcome.started);
    EXPECT_EQ(outcome.marker, L"started\n");
    EXPECT_FALSE(outcome.noticeShown);
}

TEST_F(LauncherSystemTest, RefusesEveryOtherFileAndStillExitsWithZero) {
    const wchar_t *refused[] = {L"unsigned.exe",
                                L"tampered.exe",
                                L"foreign.exe",
                                L"othercase.exe",
                                L"blank.exe",
                                L"prefix.exe",
                                L"issueronly.exe",
                                L"nested_foreign_first.exe",
                                L""};
    for (const wchar_t *target : refused) {
        std::string name(target, target + wcslen(target));
        SCOPED_TRACE(name);
        std::wstring folder = MakeTemporaryFolder(L"refused");
        Lay(folder, L"RURA_Win.exe", target);
        Outcome outcome = Run(folder, L"RURA_Win.exe", false);
        EXPECT_EQ(outcome.exitCode, 0u);
        EXPECT_FALSE(outcome.started);
        EXPECT_TRUE(outcome.noticeShown);
    }
}

TEST_F(LauncherSystemTest, WorksRenamedAndInAFolderWithSpacesAndNonAsciiNames) {
    // Latin-1, CJK, and U+1F680 (outside the Basic Multilingual Plane).
    std::wstring folder =
        MakeTemporaryFolder(L"Program Files \u00fcn\u00efc\u00f6de \u65e5\u672c \U0001F680");
    ASSERT_TRUE(Exists(folder));
    Lay(folder, L"Start KVX \u00e9.exe", L"maker.exe");
    Outcome outcome = Run(folder, L"Start KVX \u00e9.exe", true);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(outcome.started);
}

// A folder whose full path, with its final backslash, is `units` long.
std::wstring MakeFolderOfLength(size_t units) {
    std::wstring folder = MakeTemporaryFolder(L"long");
    while (folder.size() + 1 < units) {
        size_t room = units - folder.size() - 2; // this backslash and the final one
        folder += L"\\" + std::wstring(room > 120 ? 120 : room, L'f');
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    return folder;
}

TEST_F(LauncherSystemTest, FolderOf234UnitsStartsTheFullName) {
    std::wstring folder = MakeFolderOfLength(234);
    ASSERT_EQ(folder.size() + 1, 234u);
    Lay(folder, L"R.exe", L"maker.exe");
    Outcome outcome = Run(folder, L"R.exe", true);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(outcome.started);
}

TEST_F(LauncherSystemTest, LongerFolderVerifiesAndStartsTheCutName) {
    std::wstring folder = MakeFolderOfLength(240);
    ASSERT_EQ(folder.size() + 1, 240u);
    // Only the cut name holds the maker's file; the full name holds nothing.
    Lay(folder, L"R.exe", L"maker.exe", L"KVXPortab");
    Outcome outcome = Run(folder, L"R.exe", true);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(outcome.started);

    // And a foreign file at the cut name is refused.
    std::wstring refusedFolder = MakeFolderOfLength(240);
    Lay(refusedFolder, L"R.exe", L"foreign.exe", L"KVXPortab");
    outcome = Run(refusedFolder, L"R.exe", false);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_FALSE(outcome.started);
}

TEST_F(LauncherSystemTest, IgnoresATrustProviderPlantedBesideIt) {
    // An altered file with the maker's signature, and beside the launcher a
    // wintrust.dll that calls everything trusted. This program runs with
    // WINEDLLOVERRIDES=wintrust=n,b, which its children inherit: Wine then
    // prefers a DLL in the program's folder, as Windows' search order does.
    std::wstring folder = MakeTemporaryFolder(L"planted");
    Lay(folder, L"RURA_Win.exe", L"tampered.exe");
    ASSERT_TRUE(
        CopyTo(WindowsPathFromEnvironment(L"RURA_PLANTED_WINTRUST"), folder + L"\\wintrust.dll"));
    Outcome outcome = Run(folder, L"RURA_Win.exe", false);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_FALSE(outcome.started);
    EXPECT_TRUE(outcome.noticeShown);
}

TEST_F(LauncherSystemTest, ATargetHeldOpenForWritingIsNotStarted) {
    std::wstring folder = MakeTemporaryFolder(L"held");
    Lay(folder, L"RURA_Win.exe", L"maker.exe");
    std::wstring target = folder + L"\\WINMODULE\\KVXPortable.exe";
    HANDLE writer = CreateFileW(target.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    Outcome outcome = Run(folder, L"RURA_Win.exe", false);
    CloseHandle(writer);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_FALSE(outcome.started);
    EXPECT_TRUE(outcome.noticeShown);
}

TEST_F(LauncherSystemTest, TheTargetCanBeReplacedAgainAfterTheLaunch) {
    std::wstring folder = MakeTemporaryFolder(L"replace");
    Lay(folder, L"RURA_Win.exe", L"maker.exe");
    ASSERT_TRUE(Run(folder, L"RURA_Win.exe", true).started);
    std::wstring target = folder + L"\\WINMODULE\\KVXPortable.exe";
    // The started program may still be ending; the launcher holds nothing.
    bool replaced = false;
    for (int tries = 0; tries < 50 && !replaced; ++tries) {
        replaced = CopyFileW(Fixture(L"unsigned.exe").c_str(), target.c_str(), FALSE) != 0;
        if (!replaced)
            Sleep(100);
    }
    EXPECT_TRUE(replaced) << GetLastError();
}

} // namespace
