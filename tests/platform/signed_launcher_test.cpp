// A launcher built with signing on carries the maker's signature: the
// platform trusts it and names the maker as its first signer.
#include "verify/publisher_check.h"
#include "verify/trust_check.h"

#include "support/test_files.h"

#include <gtest/gtest.h>

#include <wincrypt.h>

#include <string>
#include <vector>

namespace {

// The simple display name of the first signer's subject, read directly.
std::wstring FirstSignerName(const std::wstring &path) {
    HCERTSTORE store = nullptr;
    HCRYPTMSG message = nullptr;
    std::wstring name;
    if (!CryptQueryObject(CERT_QUERY_OBJECT_FILE, path.c_str(),
                          CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED, CERT_QUERY_FORMAT_FLAG_BINARY,
                          0, nullptr, nullptr, nullptr, &store, &message, nullptr))
        return name;
    DWORD size = 0;
    CryptMsgGetParam(message, CMSG_SIGNER_INFO_PARAM, 0, nullptr, &size);
    std::vector<BYTE> signerBytes(size);
    if (CryptMsgGetParam(message, CMSG_SIGNER_INFO_PARAM, 0, signerBytes.data(), &size)) {
        auto *signer = reinterpret_cast<CMSG_SIGNER_INFO *>(signerBytes.data());
        CERT_INFO key = {};
        key.Issuer = signer->Issuer;
        key.SerialNumber = signer->SerialNumber;
        PCCERT_CONTEXT certificate =
            CertFindCertificateInStore(store, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                       CERT_FIND_SUBJECT_CERT, &key, nullptr);
        if (certificate) {
            WCHAR text[256] = {};
            CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, text, 256);
            name = text;
            CertFreeCertificateContext(certificate);
        }
    }
    CertCloseStore(store, 0);
    CryptMsgClose(message);
    return name;
}

TEST(SignedLauncher, IsTrustedAndSignedByTheGivenSubject) {
    std::wstring launcher = testing_files::WindowsPathFromEnvironment(L"RURA_SIGNED_LAUNCHER");
    ASSERT_TRUE(testing_files::Exists(launcher)) << "RURA_SIGNED_LAUNCHER is not set or missing";
    EXPECT_TRUE(IsFileTrusted(launcher.c_str()));
    EXPECT_TRUE(IsSignedByPublisher(launcher.c_str()));
    EXPECT_EQ(FirstSignerName(launcher), L"Quorvel Corporation");
}

} // namespace
