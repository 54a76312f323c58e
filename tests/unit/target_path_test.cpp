#include "launcher/target_path.h"

#include "fake/fake_platform.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char *name;
    std::wstring ownPath;
    bool built;
    std::wstring target;
};

std::wstring Folder(size_t units) {
    // "C:\" then filler, ending in a backslash: exactly `units` units.
    return L"C:\\" + std::wstring(units - 4, L'd') + L"\\";
}

class TargetPathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Reset();
    }
};

TEST_F(TargetPathTest, BuildsTheMainProgramPathFromTheOwnFolder) {
    const Case cases[] = {
        {"drive root", L"C:\\Start.exe", true, L"C:\\WINMODULE\\KVXPortable.exe"},
        {"nested", L"D:\\Apps\\Viewer\\Start.exe", true,
         L"D:\\Apps\\Viewer\\WINMODULE\\KVXPortable.exe"},
        {"folder of 234 units", Folder(234) + L"Start.exe", true,
         Folder(234) + L"WINMODULE\\KVXPortable.exe"},
        {"folder of 235 units", Folder(235) + L"S.exe", true,
         Folder(235) + L"WINMODULE\\KVXPortable.ex"},
        {"folder of 240 units", Folder(240) + L"S.exe", true,
         Folder(240) + L"WINMODULE\\KVXPortab"},
        {"folder of 258 units", Folder(258) + L"S", true, Folder(258) + L"W"},
        {"no backslash", L"Start.exe", false, L""},
        {"only forward slashes", L"C:/Apps/Start.exe", false, L""},
        {"empty", L"", false, L""},
        // A name that fills the buffer without a terminator: the last unit
        // becomes the end, and the folder before it still counts.
        {"unterminated", Folder(240) + std::wstring(30, L'n'), true,
         Folder(240) + L"WINMODULE\\KVXPortab"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fake::Reset();
        fake::script().ownPath = c.ownPath;
        WCHAR guarded[MAX_PATH + 2];
        for (WCHAR &unit : guarded)
            unit = 0xBEEF;
        WCHAR(&path)[MAX_PATH] = *reinterpret_cast<WCHAR(*)[MAX_PATH]>(guarded + 1);
        for (WCHAR &unit : path)
            unit = L'\0';

        EXPECT_EQ(BuildTargetPath(path), c.built);
        if (c.built) {
            EXPECT_EQ(std::wstring(path), c.target);
            EXPECT_LE(c.target.size(), size_t{MAX_PATH - 1});
        }
        // Nothing written outside the 260 units.
        EXPECT_EQ(guarded[0], 0xBEEF);
        EXPECT_EQ(guarded[MAX_PATH + 1], 0xBEEF);
        EXPECT_EQ(fake::calls(), std::vector<std::string>{"GetModuleFileNameW(null, 260)"});
    }
}

TEST_F(TargetPathTest, FailedOwnPathQueryBuildsNothing) {
    fake::script().failing = {"GetModuleFileNameW"};
    WCHAR path[MAX_PATH] = {};
    EXPECT_FALSE(BuildTargetPath(path));
}

} // namespace
