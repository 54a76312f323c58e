#include "notice/string_table.h"

#include "fake/fake_platform.h"
#include "fake/string_blocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Block = std::vector<unsigned char>;
using Log = std::vector<std::string>;

using fake::MakeBlock;

// Sixteen entries "E0" to "E15".
Block FullBlock(const std::wstring &prefix = L"E") {
    std::vector<std::wstring> entries;
    for (int i = 0; i < 16; ++i)
        entries.push_back(prefix + std::to_wstring(i));
    return MakeBlock(entries);
}

std::wstring Text(const WCHAR *entry) {
    return entry ? std::wstring(entry + 1, entry[0]) : L"(null)";
}

class StringTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Reset();
    }
};

TEST_F(StringTableTest, FindsBlockAndEntryOfAnIdentifier) {
    const struct {
        UINT id;
        WORD block;
        std::wstring text;
    } cases[] = {
        {0, 1, L"E0"},    {15, 1, L"E15"}, {96, 7, L"E0"},        {103, 7, L"E7"},
        {111, 7, L"E15"}, {112, 8, L"E0"}, {65535, 4096, L"E15"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.id);
        fake::Reset();
        fake::script().blocks[{c.block, 1033}] = FullBlock();
        EXPECT_EQ(Text(FindStringResource(fake::MODULE, c.id)), c.text);
        EXPECT_EQ(fake::calls(),
                  (Log{"GetThreadLocale()",
                       "FindResourceExW(module, 6, " + std::to_string(c.block) + ", 1033)",
                       "LoadResource(module, 1)", "LockResource(1)", "SizeofResource(module, 1)"}));
    }
}

TEST_F(StringTableTest, ResultPointsIntoTheBlockItself) {
    fake::script().blocks[{7, 1033}] = FullBlock();
    const WCHAR *entry = FindStringResource(fake::MODULE, 103);
    const auto *first = fake::script().blocks[{7, 1033}].data();
    // E0..E6 take 3 units each before entry 7.
    EXPECT_EQ(reinterpret_cast<const unsigned char *>(entry), first + 7 * 3 * 2);
}

TEST_F(StringTableTest, ChoosesTheLanguagePerBlock) {
    const struct {
        const char *name;
        bool threadBlock;
        bool fallbackBlock;
        std::wstring thread103;
        std::wstring expected;
        Log finds;
    } cases[] = {
        {"thread language has the block",
         true,
         true,
         L"J7",
         L"J7",
         {"FindResourceExW(module, 6, 7, 1041)"}},
        {"no block in the thread language",
         false,
         true,
         L"",
         L"E7",
         {"FindResourceExW(module, 6, 7, 1041)", "FindResourceExW(module, 6, 7, 1033)"}},
        {"an empty entry in the thread's block does not fall back",
         true,
         true,
         L"",
         L"(null)",
         {"FindResourceExW(module, 6, 7, 1041)"}},
        {"no block in either language",
         false,
         false,
         L"",
         L"(null)",
         {"FindResourceExW(module, 6, 7, 1041)", "FindResourceExW(module, 6, 7, 1033)"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fake::Reset();
        // The sort order in the high bits of the locale plays no part.
        fake::script().threadLocale = MAKELCID(0x0411, SORT_JAPANESE_UNICODE);
        std::vector<std::wstring> japanese(16, L"J");
        japanese[7] = c.thread103;
        if (c.threadBlock)
            fake::script().blocks[{7, 0x0411}] = MakeBlock(japanese);
        if (c.fallbackBlock)
            fake::script().blocks[{7, 1033}] = FullBlock();
        EXPECT_EQ(Text(FindStringResource(fake::MODULE, 103)), c.expected);
        EXPECT_EQ(fake::CallsTo({"FindResourceExW"}), c.finds);
    }
}

TEST_F(StringTableTest, StaysInsideBlocksThatAreShortOrMalformed) {
    Block full = FullBlock();
    Block withText = MakeBlock({L"", L"", L"", L"", L"", L"", L"", L"KVX Portable"});
    const struct {
        const char *name;
        Block block;
        long reportedSize;
        UINT id;
        std::wstring expected;
    } cases[] = {
        {"size 0, index 0", full, 0, 96, L"(null)"},
        {"size 0, index 15", full, 0, 111, L"(null)"},
        {"ends before the index", withText, -1, 111, L"(null)"},
        {"ends right after the entry", withText, -1, 103, L"KVX Portable"},
        {"text runs past the end", withText, static_cast<long>(withText.size()) - 2, 103,
         L"(null)"},
        {"length unit cut in half", withText, 15, 103, L"(null)"},
        {"empty entries take one unit each", withText, -1, 103, L"KVX Portable"},
        {"empty entry", withText, -1, 100, L"(null)"},
        {"reported size is smaller than the data", full, 8, 111, L"(null)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fake::Reset();
        fake::script().blocks[{7, 1033}] = c.block;
        fake::script().sizeOverride = c.reportedSize;
        EXPECT_EQ(Text(FindStringResource(fake::MODULE, c.id)), c.expected);
    }
}

TEST_F(StringTableTest, ANullFromThePlatformGivesNull) {
    for (const char *failing : {"FindResourceExW", "LoadResource", "LockResource"}) {
        SCOPED_TRACE(failing);
        fake::Reset();
        fake::script().blocks[{7, 1033}] = FullBlock();
        fake::script().failing = {failing};
        EXPECT_EQ(FindStringResource(fake::MODULE, 103), nullptr);
    }
}

} // namespace
