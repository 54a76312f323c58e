// The built launcher's resources as the platform's own resource API sees
// them, and the string lookup on its real string table in every language.
#include "notice/string_table.h"

#include "support/expected_texts.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using Entry = std::tuple<ULONG_PTR, ULONG_PTR, WORD, DWORD>; // type, name, language, bytes

class LauncherResources : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::wstring launcher = testing_files::WindowsPathFromEnvironment(L"RURA_LAUNCHER");
        module_ = LoadLibraryExW(launcher.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() {
        if (module_)
            FreeLibrary(module_);
    }
    void SetUp() override {
        ASSERT_NE(module_, nullptr) << "cannot load RURA_LAUNCHER as data";
        original_ = GetThreadLocale();
    }
    void TearDown() override {
        SetThreadLocale(original_);
    }

    static std::wstring Text(const WCHAR *entry) {
        return entry ? std::wstring(entry + 1, entry[0]) : L"(null)";
    }

    static HMODULE module_;
    LCID original_ = 0;
};

HMODULE LauncherResources::module_ = nullptr;

BOOL CALLBACK AddLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language,
                          LONG_PTR found) {
    HRSRC resource = FindResourceExW(module, type, name, language);
    reinterpret_cast<std::vector<Entry> *>(found)->emplace_back(
        reinterpret_cast<ULONG_PTR>(type), reinterpret_cast<ULONG_PTR>(name), language,
        SizeofResource(module, resource));
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR found) {
    return EnumResourceLanguagesW(module, type, name, AddLanguage, found);
}

BOOL CALLBACK AddType(HMODULE module, LPWSTR type, LONG_PTR found) {
    return EnumResourceNamesW(module, type, AddName, found);
}

TEST_F(LauncherResources, HoldsExactlyTheThirtyThreeEntriesInOrder) {
    std::vector<Entry> found;
    EnumResourceTypesW(module_, AddType, reinterpret_cast<LONG_PTR>(&found));

    const DWORD ICON_BYTES[] = {744, 296, 3752, 2216, 1384, 9640, 4264, 1128};
    std::vector<Entry> expected;
    for (ULONG_PTR id = 1; id <= 16; ++id)
        expected.emplace_back(3, id, 1033, ICON_BYTES[(id - 1) % 8]);
    for (const auto &language : expected_texts::LANGUAGES)
        expected.emplace_back(6, 7, language.id,
                              static_cast<DWORD>(32 + 2 * (12 + wcslen(language.format))));
    expected.emplace_back(14, 107, 1033, 118);
    expected.emplace_back(14, 108, 1033, 118);
    // The version block's size depends on its copyright line: take what is there.
    DWORD versionBytes = 0;
    for (const Entry &entry : found)
        if (std::get<0>(entry) == 16)
            versionBytes = std::get<3>(entry);
    EXPECT_GT(versionBytes, 0u);
    expected.emplace_back(16, 1, 0, versionBytes);
    expected.emplace_back(24, 1, 1033, 346);
    EXPECT_EQ(found, expected);
}

TEST_F(LauncherResources, FindsEachLanguagesTextsOnItsThread) {
    for (const auto &language : expected_texts::LANGUAGES) {
        SCOPED_TRACE(language.id);
        ASSERT_TRUE(SetThreadLocale(MAKELCID(language.id, SORT_DEFAULT)));
        EXPECT_EQ(Text(FindStringResource(module_, 103)), expected_texts::PRODUCT_NAME);
        EXPECT_EQ(Text(FindStringResource(module_, 111)), language.format);
        for (UINT id = 96; id <= 110; ++id) {
            if (id != 103) {
                EXPECT_EQ(FindStringResource(module_, id), nullptr) << id;
            }
        }
        for (UINT id : {0u, 1u, 95u, 112u, 127u, 4096u, 65535u})
            EXPECT_EQ(FindStringResource(module_, id), nullptr) << id;
    }
}

TEST_F(LauncherResources, ALanguageWithoutABlockGetsTheEnglishTexts) {
    for (LANGID other : {LANGID{0x0415}, LANGID{0x0809}, LANGID{0x0C04}}) { // pl-PL, en-GB, zh-HK
        SCOPED_TRACE(other);
        ASSERT_TRUE(SetThreadLocale(MAKELCID(other, SORT_DEFAULT)));
        EXPECT_EQ(Text(FindStringResource(module_, 111)),
                  L"Cannot start %s. Use the KVX Portable Installer to update the program.");
        EXPECT_EQ(Text(FindStringResource(module_, 103)), L"KVX Portable");
    }
}

TEST_F(LauncherResources, VersionBlockReadsBackThroughTheVersionApi) {
    std::wstring launcher = testing_files::WindowsPathFromEnvironment(L"RURA_LAUNCHER");
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(launcher.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(launcher.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwStrucVersion, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010003u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00001FFEu);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00050000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00001FFEu);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x17u);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, 0x4u);
    EXPECT_EQ(fixed->dwFileType, 0x1u);
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    EXPECT_EQ(fixed->dwFileDateMS, 0u);
    EXPECT_EQ(fixed->dwFileDateLS, 0u);

    WORD *translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void **>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0000);
    EXPECT_EQ(translation[1], 0x04B0);

    const struct {
        const wchar_t *key;
        const wchar_t *value;
    } strings[] = {
        {L"CompanyName", L"Quorvel Corporation"}, {L"FileDescription", L"KVX Portable"},
        {L"FileVersion", L"1.3.00.08190"},        {L"InternalName", L"RURA_Win.exe"},
        {L"OriginalFilename", L"RURA_Win.exe"},   {L"ProductName", L"KVX Portable"},
        {L"ProductVersion", L"5.0.00.08190"},
    };
    for (const auto &s : strings) {
        std::wstring key = std::wstring(L"\\StringFileInfo\\000004b0\\") + s.key;
        wchar_t *value = nullptr;
        ASSERT_TRUE(
            VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void **>(&value), &length))
            << testing_files::Narrow(key);
        EXPECT_STREQ(value, s.value);
    }
}

} // namespace
