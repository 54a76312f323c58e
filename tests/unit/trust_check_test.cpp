#include "verify/trust_check.h"

#include "fake/fake_platform.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class TrustCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Reset();
    }
};

TEST_F(TrustCheckTest, FillsTheTrustRecordsForOneSilentFileVerification) {
    const BYTE GENERIC_VERIFY_V2[16] = {0x6B, 0xC5, 0xAA, 0x00, 0x44, 0xCD, 0xD0, 0x11,
                                        0x8C, 0xC2, 0x00, 0xC0, 0x4F, 0xC2, 0x95, 0xEE};
    // 48 and 16 bytes in the 32-bit layout of the product; the test programs
    // may also run as 64-bit builds, where pointers widen both records.
    const bool is32Bit = sizeof(void *) == 4;
    bool seen = false;
    fake::script().onVerifyTrust = [&](HWND window, GUID *action, WINTRUST_DATA *trust) {
        seen = true;
        EXPECT_EQ(window, nullptr);
        EXPECT_EQ(std::memcmp(action, GENERIC_VERIFY_V2, 16), 0);
        EXPECT_EQ(trust->cbStruct, is32Bit ? 48u : 80u);
        EXPECT_EQ(trust->pPolicyCallbackData, nullptr);
        EXPECT_EQ(trust->pSIPClientData, nullptr);
        EXPECT_EQ(trust->dwUIChoice, 2u);
        EXPECT_EQ(trust->fdwRevocationChecks, 0u);
        EXPECT_EQ(trust->dwUnionChoice, 1u);
        EXPECT_EQ(trust->dwStateAction, 0u);
        EXPECT_EQ(trust->hWVTStateData, nullptr);
        EXPECT_EQ(trust->pwszURLReference, nullptr);
        EXPECT_EQ(trust->dwProvFlags, 0x100u);
        EXPECT_EQ(trust->dwUIContext, 0u);
        ASSERT_NE(trust->pFile, nullptr);
        EXPECT_EQ(trust->pFile->cbStruct, is32Bit ? 16u : 32u);
        EXPECT_STREQ(trust->pFile->pcwszFilePath, L"C:\\WINMODULE\\KVXPortable.exe");
        EXPECT_EQ(trust->pFile->hFile, nullptr);
        EXPECT_EQ(trust->pFile->pgKnownSubject, nullptr);
    };
    IsFileTrusted(L"C:\\WINMODULE\\KVXPortable.exe");
    EXPECT_TRUE(seen);
    EXPECT_EQ(fake::calls(),
              std::vector<std::string>{"WinVerifyTrust(null, C:\\WINMODULE\\KVXPortable.exe)"});
}

TEST_F(TrustCheckTest, OnlyStatusZeroIsTrusted) {
    const struct {
        LONG status;
        bool trusted;
    } cases[] = {
        {0, true},
        {1, false},
        {2, false},                             // file not found
        {static_cast<LONG>(0x800B0100), false}, // no signature
        {static_cast<LONG>(0x80096010), false}, // bad digest
        {static_cast<LONG>(0x80000000), false},
        {-1, false},
        {0x7FFFFFFF, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.status);
        fake::Reset();
        fake::script().trustStatus = c.status;
        EXPECT_EQ(IsFileTrusted(L"C:\\x.exe"), c.trusted);
    }
}

TEST_F(TrustCheckTest, EveryCallIsAFullVerification) {
    IsFileTrusted(L"C:\\x.exe");
    IsFileTrusted(L"C:\\x.exe");
    EXPECT_EQ(fake::calls().size(), 2u);
}

} // namespace
