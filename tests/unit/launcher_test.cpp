#include "fake/fake_platform.h"
#include "fake/string_blocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

const std::string TARGET = "C:\\WINMODULE\\KVXPortable.exe";
const std::string LAUNCH = "ShellExecuteW(null, null, " + TARGET + ", null, null, 1)";

class LauncherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Reset();
    }

    int Run(LPWSTR commandLine = const_cast<LPWSTR>(L""), int show = SW_SHOWDEFAULT) {
        return wWinMain(reinterpret_cast<HINSTANCE>(fake::MODULE), nullptr, commandLine, show);
    }
};

TEST_F(LauncherTest, HoldsTheTargetFromBeforeTheChecksUntilItIsLaunched) {
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(fake::CallsTo({"SetDefaultDllDirectories", "GetModuleFileNameW", "CreateFileW",
                             "WinVerifyTrust", "CryptQueryObject", "ShellExecuteW", "CloseHandle"}),
              (Log{"SetDefaultDllDirectories(0x800)", "GetModuleFileNameW(null, 260)",
                   // Read access; others may read it too, but not write, rename or delete it.
                   "CreateFileW(" + TARGET + ", 0x80000000, 0x1, null, 3, 0x80, null)",
                   "WinVerifyTrust(null, " + TARGET + ")",
                   "CryptQueryObject(1, " + TARGET + ", 0x400, 0x2, 0x0, types, null)", LAUNCH,
                   "CloseHandle(target)"}));
    // Restricting the DLL search is the very first thing; closing the target the last.
    EXPECT_EQ(fake::calls().front(), "SetDefaultDllDirectories(0x800)");
    EXPECT_EQ(fake::calls().back(), "CloseHandle(target)");
}

TEST_F(LauncherTest, ATargetThatCannotBeHeldIsRefusedWithoutChecks) {
    fake::script().failing = {"CreateFileW"};
    fake::script().blocks[{7, 1033}] = fake::NoticeBlock(L"KVX Portable", L"Cannot start %s.");
    fake::script().messageBoxAnswer = IDCANCEL;
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(
        fake::CallsTo({"WinVerifyTrust", "CryptQueryObject", "ShellExecuteW", "CloseHandle"})
            .empty());
    EXPECT_EQ(fake::CallsTo({"MessageBoxW"}).size(), 1u);
}

TEST_F(LauncherTest, ARefusedTargetIsReleasedBeforeTheNotice) {
    fake::script().trustStatus = 1;
    fake::script().blocks[{7, 1033}] = fake::NoticeBlock(L"KVX Portable", L"Cannot start %s.");
    fake::script().messageBoxAnswer = IDCANCEL;
    EXPECT_EQ(Run(), 0);
    Log seen;
    for (const std::string &call : fake::CallsTo({"CreateFileW", "CloseHandle", "MessageBoxW"}))
        seen.push_back(call.substr(0, call.find('(')));
    EXPECT_EQ(seen, (Log{"CreateFileW", "CloseHandle", "MessageBoxW"}));
}

TEST_F(LauncherTest, CommandLineAndShowStateAreNotPassedOn) {
    EXPECT_EQ(Run(const_cast<LPWSTR>(L"--evil \"C:\\x.exe\""), SW_SHOWMINIMIZED), 0);
    EXPECT_EQ(fake::CallsTo({"ShellExecuteW"}), Log{LAUNCH});
}

TEST_F(LauncherTest, AFailedShellCallStillEndsWithZero) {
    fake::script().failing = {"ShellExecuteW"};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(fake::CallsTo({"ShellExecuteW", "MessageBoxW"}), Log{LAUNCH});
}

TEST_F(LauncherTest, GateRunsTheChecksInOrderAndStopsAtTheFirstRefusal) {
    const struct {
        const char *name;
        LONG trustStatus;
        const wchar_t *subject;
        Log checks;
    } cases[] = {
        {"trust refused",
         static_cast<LONG>(0x800B0100),
         L"Quorvel Corporation",
         {"WinVerifyTrust"}},
        {"publisher refused", 0, L"Other Company", {"WinVerifyTrust", "CryptQueryObject"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fake::Reset();
        fake::script().trustStatus = c.trustStatus;
        fake::script().subjectName = c.subject;
        EXPECT_EQ(Run(), 0);
        Log seen;
        for (const std::string &call : fake::CallsTo({"WinVerifyTrust", "CryptQueryObject"}))
            seen.push_back(call.substr(0, call.find('(')));
        EXPECT_EQ(seen, c.checks);
        EXPECT_TRUE(fake::CallsTo({"ShellExecuteW"}).empty());
    }
}

TEST_F(LauncherTest, OwnPathWithoutFolderEndsBeforeAnyCheck) {
    for (const wchar_t *ownPath : {L"Start.exe", L"", L"C:/Apps/Start.exe"}) {
        SCOPED_TRACE(fake::Narrow(ownPath));
        fake::Reset();
        fake::script().ownPath = ownPath;
        EXPECT_EQ(Run(), 0);
        EXPECT_EQ(fake::calls(),
                  (Log{"SetDefaultDllDirectories(0x800)", "GetModuleFileNameW(null, 260)"}));
    }
}

TEST_F(LauncherTest, ChecksAndLaunchUseTheCutPath) {
    std::wstring folder = L"C:\\" + std::wstring(231, L'd') + L"\\";
    fake::script().ownPath = folder + L"Start.exe";
    EXPECT_EQ(Run(), 0);
    std::string cut = fake::Narrow(folder) + "WINMODULE\\KVXPortable.ex";
    EXPECT_EQ(fake::CallsTo({"WinVerifyTrust", "ShellExecuteW"}),
              (Log{"WinVerifyTrust(null, " + cut + ")",
                   "ShellExecuteW(null, null, " + cut + ", null, null, 1)"}));
}

TEST_F(LauncherTest, AFailedCheckShowsTheNoticeAndOkOpensTheUpdatePage) {
    const struct {
        const char *name;
        int answer;
        bool pageOpened;
    } cases[] = {
        {"OK", IDOK, true},
        {"Cancel", IDCANCEL, false},
        {"box not shown", 0, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fake::Reset();
        fake::script().trustStatus = static_cast<LONG>(0x800B0100);
        fake::script().blocks[{7, 1033}] = fake::NoticeBlock(L"KVX Portable", L"Cannot start %s.");
        fake::script().localeInfo = {{{0x0400, LOCALE_SISO639LANGNAME}, L"en"},
                                     {{0x0400, LOCALE_SISO3166CTRYNAME}, L"US"}};
        fake::script().messageBoxAnswer = c.answer;
        EXPECT_EQ(Run(), 0);
        EXPECT_EQ(fake::CallsTo({"MessageBoxW"}).size(), 1u);
        Log page;
        if (c.pageOpened)
            page.push_back("ShellExecuteW(null, open, http://support.quorvel.com/download/RURA/"
                           "RURA_Installer01/?OS=win&LOCALE=en_US, null, null, 1)");
        EXPECT_EQ(fake::CallsTo({"ShellExecuteW"}), page);
        // Without OK not even the locale is read.
        EXPECT_EQ(fake::CallsTo({"GetLocaleInfoW"}).empty(), !c.pageOpened);
    }
}

TEST_F(LauncherTest, ANoticeThatCannotBeComposedEndsSilently) {
    fake::script().trustStatus = 1;
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(fake::CallsTo({"MessageBoxW", "ShellExecuteW", "GetLocaleInfoW"}).empty());
}

} // namespace
