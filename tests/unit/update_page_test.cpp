#include "notice/update_page.h"

#include "fake/fake_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

const std::string PAGE = "http://support.quorvel.com/download/RURA/RURA_Installer01/?OS=win";
const LCTYPE LANGUAGE_NAME = LOCALE_SISO639LANGNAME;
const LCTYPE COUNTRY_NAME = LOCALE_SISO3166CTRYNAME;

class UpdatePageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Reset();
    }
};

TEST_F(UpdatePageTest, OpensThePageWithTheUsersLocaleAndReleasesTheAddress) {
    fake::script().localeInfo = {{{0x0400, LANGUAGE_NAME}, L"ja"}, {{0x0400, COUNTRY_NAME}, L"JP"}};
    OpenUpdatePage();
    const std::string address = PAGE + "&LOCALE=ja_JP";
    EXPECT_EQ(
        fake::calls(),
        (Log{"GetLocaleInfoW(0x400, 0x59, 256)", "GetLocaleInfoW(0x400, 0x5a, 256)",
             // The address and its terminator, exactly.
             "LocalAlloc(0x40, " + std::to_string(2 * (address.size() + 1)) + ")",
             "ShellExecuteW(null, open, " + address + ", null, null, 1)", "LocalFree(local1)"}));
}

TEST_F(UpdatePageTest, EachCodeTakesTheFirstLocaleThatHasIt) {
    const struct {
        const char *name;
        std::map<std::pair<LCID, LCTYPE>, std::wstring> info;
        std::string locale;
        size_t lookups;
    } cases[] = {
        {"user default",
         {{{0x0400, LANGUAGE_NAME}, L"en"},
          {{0x0400, COUNTRY_NAME}, L"US"},
          {{0x0800, LANGUAGE_NAME}, L"de"},
          {{0x0800, COUNTRY_NAME}, L"DE"}},
         "en_US",
         2},
        {"system default when the user's has none",
         {{{0x0800, LANGUAGE_NAME}, L"de"}, {{0x0800, COUNTRY_NAME}, L"DE"}},
         "de_DE",
         4},
        {"neutral last",
         {{{0x0000, LANGUAGE_NAME}, L"fr"}, {{0x0000, COUNTRY_NAME}, L"FR"}},
         "fr_FR",
         6},
        {"codes from different locales",
         {{{0x0400, LANGUAGE_NAME}, L"pt"}, {{0x0000, COUNTRY_NAME}, L"BR"}},
         "pt_BR",
         4},
        {"no country", {{{0x0400, LANGUAGE_NAME}, L"sv"}}, "sv_", 4},
        {"neither code", {}, "_", 6},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fake::Reset();
        fake::script().localeInfo = c.info;
        OpenUpdatePage();
        EXPECT_EQ(fake::CallsTo({"GetLocaleInfoW"}).size(), c.lookups);
        EXPECT_EQ(
            fake::CallsTo({"ShellExecuteW"}),
            Log{"ShellExecuteW(null, open, " + PAGE + "&LOCALE=" + c.locale + ", null, null, 1)"});
    }
}

TEST_F(UpdatePageTest, CandidatesAreAskedInOrderAndTheSearchStopsAtTheFirstAnswer) {
    fake::script().localeInfo = {{{0x0800, LANGUAGE_NAME}, L"ko"}};
    WCHAR value[LOCALE_TEXT_UNITS];
    GetLocaleString(LANGUAGE_NAME, value);
    EXPECT_STREQ(value, L"ko");
    EXPECT_EQ(fake::calls(),
              (Log{"GetLocaleInfoW(0x400, 0x59, 256)", "GetLocaleInfoW(0x800, 0x59, 256)"}));
}

TEST_F(UpdatePageTest, WithoutAnAddressBufferTheShellIsNotCalled) {
    fake::script().failing = {"LocalAlloc"};
    OpenUpdatePage();
    EXPECT_TRUE(fake::CallsTo({"ShellExecuteW"}).empty());
}

} // namespace
