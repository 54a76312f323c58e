#include "verify/publisher_check.h"

#include "fake/fake_platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

const std::string SIGNER_BYTES = std::to_string(sizeof(CMSG_SIGNER_INFO) + 7);
// "Quorvel Corporation" is 19 units, 20 with its terminator.
const std::string QUERY = "CryptQueryObject(1, C:\\t.exe, 0x400, 0x2, 0x0, types, null)";
const std::string SIZE_QUERY = "CryptMsgGetParam(message, 6, 0, null, 0)";
const std::string SIGNER_ALLOC = "LocalAlloc(0x40, " + SIGNER_BYTES + ")";
const std::string SIGNER_FETCH = "CryptMsgGetParam(message, 6, 0, local1, " + SIGNER_BYTES + ")";
const std::string FIND = "CertFindCertificateInStore(store, 0x10001, 0x0, 0xb0000, key, null)";
const std::string LENGTH_QUERY = "CertGetNameStringW(certificate, 4, 0x0, null, null, 0)";
const std::string NAME_ALLOC = "LocalAlloc(0x40, 40)";
const std::string NAME_FETCH = "CertGetNameStringW(certificate, 4, 0x0, null, local2, 20)";
const std::string FREE_SIGNER = "LocalFree(local1)";
const std::string FREE_CERTIFICATE = "CertFreeCertificateContext(certificate)";
const std::string FREE_NAME = "LocalFree(local2)";
const std::string CLOSE_STORE = "CertCloseStore(store, 0x0)";
const std::string CLOSE_MESSAGE = "CryptMsgClose(message)";

Log Join(Log first, const Log &second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

class PublisherCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Reset();
    }
};

TEST_F(PublisherCheckTest, AcceptsTheMakerAndReleasesEverythingInOrder) {
    EXPECT_TRUE(IsSignedByPublisher(L"C:\\t.exe"));
    EXPECT_EQ(fake::calls(), (Log{QUERY, SIZE_QUERY, SIGNER_ALLOC, SIGNER_FETCH, FIND, LENGTH_QUERY,
                                  NAME_ALLOC, NAME_FETCH, FREE_SIGNER, FREE_CERTIFICATE, FREE_NAME,
                                  CLOSE_STORE, CLOSE_MESSAGE}));
}

TEST_F(PublisherCheckTest, SearchesBySignerIssuerAndSerialOnly) {
    bool seen = false;
    fake::script().onFindCertificate = [&](const CERT_INFO *key, const CMSG_SIGNER_INFO *signer) {
        seen = true;
        // The blob descriptors are copies that point into the signer block.
        EXPECT_EQ(key->Issuer.cbData, signer->Issuer.cbData);
        EXPECT_EQ(key->Issuer.pbData, signer->Issuer.pbData);
        EXPECT_EQ(key->SerialNumber.cbData, signer->SerialNumber.cbData);
        EXPECT_EQ(key->SerialNumber.pbData, signer->SerialNumber.pbData);
        CERT_INFO rest = *key;
        rest.Issuer = {};
        rest.SerialNumber = {};
        const CERT_INFO zero = {};
        EXPECT_EQ(std::memcmp(&rest, &zero, sizeof zero), 0);
    };
    IsSignedByPublisher(L"C:\\t.exe");
    EXPECT_TRUE(seen);
}

TEST_F(PublisherCheckTest, EachFailingStepReleasesExactlyWhatWasObtained) {
    const struct {
        const char *failing;
        int failingAllocation;
        Log calls;
        Log released;
    } cases[] = {
        {"CryptQueryObject", 0, {QUERY}, {}},
        {"CryptMsgGetParam(size)", 0, {QUERY, SIZE_QUERY}, {CLOSE_STORE, CLOSE_MESSAGE}},
        {"", 1, {QUERY, SIZE_QUERY, SIGNER_ALLOC}, {CLOSE_STORE, CLOSE_MESSAGE}},
        {"CryptMsgGetParam(fetch)",
         0,
         {QUERY, SIZE_QUERY, SIGNER_ALLOC, SIGNER_FETCH},
         {FREE_SIGNER, CLOSE_STORE, CLOSE_MESSAGE}},
        {"CertFindCertificateInStore",
         0,
         {QUERY, SIZE_QUERY, SIGNER_ALLOC, SIGNER_FETCH, FIND},
         {FREE_SIGNER, CLOSE_STORE, CLOSE_MESSAGE}},
        {"CertGetNameStringW(length)",
         0,
         {QUERY, SIZE_QUERY, SIGNER_ALLOC, SIGNER_FETCH, FIND, LENGTH_QUERY},
         {FREE_SIGNER, FREE_CERTIFICATE, CLOSE_STORE, CLOSE_MESSAGE}},
        {"",
         2,
         {QUERY, SIZE_QUERY, SIGNER_ALLOC, SIGNER_FETCH, FIND, LENGTH_QUERY, NAME_ALLOC},
         {FREE_SIGNER, FREE_CERTIFICATE, CLOSE_STORE, CLOSE_MESSAGE}},
        {"CertGetNameStringW(fetch)",
         0,
         {QUERY, SIZE_QUERY, SIGNER_ALLOC, SIGNER_FETCH, FIND, LENGTH_QUERY, NAME_ALLOC,
          NAME_FETCH},
         {FREE_SIGNER, FREE_CERTIFICATE, FREE_NAME, CLOSE_STORE, CLOSE_MESSAGE}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.failing) + " / allocation " +
                     std::to_string(c.failingAllocation));
        fake::Reset();
        if (*c.failing)
            fake::script().failing = {c.failing};
        fake::script().failingAllocation = c.failingAllocation;
        EXPECT_FALSE(IsSignedByPublisher(L"C:\\t.exe"));
        EXPECT_EQ(fake::calls(), Join(c.calls, c.released));
    }
}

TEST_F(PublisherCheckTest, ReleasesWhatIsHeldWhenAPlatformCallThrows) {
    const struct {
        const char *throwing;
        Log calls;
        Log released;
    } cases[] = {
        {"CryptMsgGetParam(size)", {QUERY, SIZE_QUERY}, {CLOSE_STORE, CLOSE_MESSAGE}},
        {"CertFindCertificateInStore",
         {QUERY, SIZE_QUERY, SIGNER_ALLOC, SIGNER_FETCH, FIND},
         {FREE_SIGNER, CLOSE_STORE, CLOSE_MESSAGE}},
        {"CertGetNameStringW(fetch)",
         {QUERY, SIZE_QUERY, SIGNER_ALLOC, SIGNER_FETCH, FIND, LENGTH_QUERY, NAME_ALLOC,
          NAME_FETCH},
         {FREE_SIGNER, FREE_CERTIFICATE, FREE_NAME, CLOSE_STORE, CLOSE_MESSAGE}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.throwing);
        fake::Reset();
        fake::script().throwing = c.throwing;
        EXPECT_THROW(IsSignedByPublisher(L"C:\\t.exe"), fake::PlatformFault);
        EXPECT_EQ(fake::calls(), Join(c.calls, c.released));
    }
}

TEST_F(PublisherCheckTest, NameMustBeginWithTheMakerExactly) {
    const struct {
        const wchar_t *name;
        bool accepted;
    } cases[] = {
        {L"Quorvel Corporation", true},
        {L"Quorvel Corporation Ltd.", true},
        {L"Quorvel Corporation2", true},
        {L"quorvel corporation", false},
        {L"QUORVEL CORPORATION", false},
        {L" Quorvel Corporation", false},
        {L"Quorvel Corp", false},
        {L"Quorvel Corporatio", false},
        {L"", false},
        {L"Other Company", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(fake::Narrow(c.name));
        fake::Reset();
        fake::script().subjectName = c.name;
        EXPECT_EQ(IsSignedByPublisher(L"C:\\t.exe"), c.accepted);
        // Accepted or not, all five objects go back.
        Log tail(fake::calls().end() - 5, fake::calls().end());
        EXPECT_EQ(tail,
                  (Log{FREE_SIGNER, FREE_CERTIFICATE, FREE_NAME, CLOSE_STORE, CLOSE_MESSAGE}));
    }
}

} // namespace
