// Both checks against real signed files, on the real trust provider and
// certificate services.
#include "verify/publisher_check.h"
#include "verify/trust_check.h"

#include "support/test_files.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const wchar_t *file;
    bool trusted;
    bool maker;
};

TEST(VerifyOnRealFiles, JudgesEachFixture) {
    const std::wstring fixtures = testing_files::WindowsPathFromEnvironment(L"RURA_FIXTURES");
    ASSERT_FALSE(fixtures.empty()) << "RURA_FIXTURES is not set";
    const Case cases[] = {
        {L"maker.exe", true, true},
        {L"maker_sha1.exe", true, true},
        {L"maker_timestamped.exe", true, true},
        {L"suffix.exe", true, true},
        // Without a common name the simple display name is the organisation.
        {L"orgonly.exe", true, true},
        {L"orgother.exe", true, false},
        {L"othercase.exe", true, false},
        {L"blank.exe", true, false},
        {L"prefix.exe", true, false},
        {L"foreign.exe", true, false},
        {L"issueronly.exe", true, false},
        {L"nested_maker_first.exe", true, true},
        {L"nested_foreign_first.exe", true, false},
        {L"unsigned.exe", false, false},
        // The name check verifies nothing: only the trust check refuses this one.
        {L"tampered.exe", false, true},
        {L"missing.exe", false, false},
    };
    for (const Case &c : cases) {
        std::wstring path = fixtures + L"\\" + c.file;
        SCOPED_TRACE(std::string(path.begin(), path.end()));
        EXPECT_EQ(IsFileTrusted(path.c_str()), c.trusted);
        EXPECT_EQ(IsSignedByPublisher(path.c_str()), c.maker);
    }
}

} // namespace
