#include "notice/cannot_start_notice.h"

#include "fake/fake_platform.h"
#include "fake/string_blocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

const std::wstring FORMAT =
    L"Cannot start %s. Use the KVX Portable Installer to update the program.";
const std::string MESSAGE =
    "Cannot start KVX Portable. Use the KVX Portable Installer to update the program.";
const std::string BOX = "MessageBoxW(null, " + MESSAGE + ", KVX Portable, 0x11)";

HINSTANCE Instance() {
    return reinterpret_cast<HINSTANCE>(fake::MODULE);
}

class CannotStartNoticeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Reset();
        fake::script().blocks[{7, 1033}] = fake::NoticeBlock(L"KVX Portable", FORMAT);
    }
};

TEST_F(CannotStartNoticeTest, ShowsTheComposedMessageUnderTheProductName) {
    EXPECT_TRUE(ShowCannotStartNotice(Instance()));
    // Format first, then the name; three buffers of F + 1, N + 1 and F + N + 1 units.
    EXPECT_EQ(fake::calls(),
              (Log{"GetThreadLocale()", "FindResourceExW(module, 6, 7, 1033)",
                   "LoadResource(module, 1)", "LockResource(1)", "SizeofResource(module, 1)",
                   "GetThreadLocale()", "FindResourceExW(module, 6, 7, 1033)",
                   "LoadResource(module, 2)", "LockResource(2)", "SizeofResource(module, 2)",
                   "LocalAlloc(0x40, 142)", "LocalAlloc(0x40, 26)", "LocalAlloc(0x40, 166)", BOX,
                   "LocalFree(local1)", "LocalFree(local2)", "LocalFree(local3)"}));
}

TEST_F(CannotStartNoticeTest, OnlyOkCountsAsYes) {
    const struct {
        int answer;
        bool accepted;
    } cases[] = {{IDOK, true},     {IDCANCEL, false}, {0, false},
                 {IDABORT, false}, {IDYES, false},    {-1, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.answer);
        fake::script().messageBoxAnswer = c.answer;
        EXPECT_EQ(ShowCannotStartNotice(Instance()), c.accepted);
    }
}

TEST_F(CannotStartNoticeTest, AMissingStringOrBufferShowsNothing) {
    const struct {
        const char *name;
        std::vector<unsigned char> block;
        int failingAllocation;
        size_t lookups;
    } cases[] = {
        {"format missing", fake::NoticeBlock(L"KVX Portable", L""), 0, 1},
        {"name missing", fake::NoticeBlock(L"", FORMAT), 0, 2},
        {"format buffer", fake::NoticeBlock(L"KVX Portable", FORMAT), 1, 2},
        {"name buffer", fake::NoticeBlock(L"KVX Portable", FORMAT), 2, 2},
        {"message buffer", fake::NoticeBlock(L"KVX Portable", FORMAT), 3, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fake::Reset();
        fake::script().blocks[{7, 1033}] = c.block;
        fake::script().failingAllocation = c.failingAllocation;
        EXPECT_FALSE(ShowCannotStartNotice(Instance()));
        EXPECT_TRUE(fake::CallsTo({"MessageBoxW"}).empty());
        // The name is not looked up when the format is missing.
        EXPECT_EQ(fake::CallsTo({"FindResourceExW"}).size(), c.lookups);
        // Whatever was allocated went back.
        EXPECT_EQ(fake::CallsTo({"LocalFree"}).size(),
                  fake::CallsTo({"LocalAlloc"}).size() - (c.failingAllocation ? 1 : 0));
    }
}

TEST_F(CannotStartNoticeTest, TextIsComposedWithinItsBuffers) {
    const struct {
        const char *name;
        std::wstring format;
        std::wstring product;
        std::string message;
        std::string caption;
    } cases[] = {
        {"no directive", L"Cannot start.", L"KVX Portable", "Cannot start.", "KVX Portable"},
        {"directive first", L"%s kann nicht gestartet werden.", L"KVX Portable",
         "KVX Portable kann nicht gestartet werden.", "KVX Portable"},
        {"NUL inside the format entry", std::wstring(L"Stop %s\0hidden", 14), L"KVX", "Stop KVX",
         "KVX"},
        {"a second directive has no argument", L"%s %s", L"KVX", "KVX %s", "KVX"},
        {"a directive in the name is not expanded", L"Start %s.", L"100%s", "Start 100%s.",
         "100%s"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fake::Reset();
        fake::script().blocks[{7, 1033}] = fake::NoticeBlock(c.product, c.format);
        ShowCannotStartNotice(Instance());
        EXPECT_EQ(fake::CallsTo({"MessageBoxW"}),
                  Log{"MessageBoxW(null, " + c.message + ", " + c.caption + ", 0x11)"});
    }
}

TEST_F(CannotStartNoticeTest, UsesTheThreadLanguagesBlock) {
    fake::script().threadLocale = 0x0411;
    fake::script().blocks[{7, 0x0411}] = fake::NoticeBlock(
        L"KVX Portable", L"%s \u3092\u8d77\u52d5\u3067\u304d\u307e\u305b\u3093\u3002");
    ShowCannotStartNotice(Instance());
    EXPECT_EQ(fake::CallsTo({"MessageBoxW"}),
              Log{"MessageBoxW(null, KVX Portable \\u3092\\u8d77\\u52d5\\u3067\\u304d\\u307e"
                  "\\u305b\\u3093\\u3002, KVX Portable, 0x11)"});
}

} // namespace
