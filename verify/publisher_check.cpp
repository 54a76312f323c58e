// Finds the first signer of a file's embedded signature and checks its name.
#include "publisher_check.h"

#include "platform/platform.h"

#include <cwchar>

const WCHAR EXPECTED_PUBLISHER[] = L"Quorvel Corporation";

namespace {

const DWORD ENCODING = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;
const DWORD FIRST_SIGNER = 0;

// Everything the check acquires. Released in one fixed order by the
// destructor, which also runs when a platform call throws: the signer block
// first, the certificate before the store it came from, the message last.
struct SignerObjects {
    HCERTSTORE store = nullptr;
    HCRYPTMSG message = nullptr;
    PCMSG_SIGNER_INFO signer = nullptr;
    PCCERT_CONTEXT certificate = nullptr;
    LPWSTR name = nullptr;

    SignerObjects() = default;
    SignerObjects(const SignerObjects &) = delete;
    SignerObjects &operator=(const SignerObjects &) = delete;

    ~SignerObjects() {
        if (signer)
            platform::LocalFree(signer);
        if (certificate)
            platform::CertFreeCertificateContext(certificate);
        if (name)
            platform::LocalFree(name);
        if (store)
            platform::CertCloseStore(store, 0);
        if (message)
            platform::CryptMsgClose(message);
    }
};

} // namespace

bool NameBeginsWithPublisher(LPCWSTR name) {
    // wcsncmp stops at the name's terminator, so a shorter name fails there.
    return std::wcsncmp(name, EXPECTED_PUBLISHER, std::wcslen(EXPECTED_PUBLISHER)) == 0;
}

bool IsSignedByPublisher(LPCWSTR path) {
    SignerObjects held;

    DWORD encodingType = 0;
    DWORD contentType = 0;
    DWORD formatType = 0;
    if (!platform::CryptQueryObject(CERT_QUERY_OBJECT_FILE, path,
                                    CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED,
                                    CERT_QUERY_FORMAT_FLAG_BINARY, 0, &encodingType, &contentType,
                                    &formatType, &held.store, &held.message, nullptr))
        return false;

    DWORD signerSize = 0;
    if (!platform::CryptMsgGetParam(held.message, CMSG_SIGNER_INFO_PARAM, FIRST_SIGNER, nullptr,
                                    &signerSize))
        return false;
    held.signer = static_cast<PCMSG_SIGNER_INFO>(platform::LocalAlloc(LPTR, signerSize));
    if (!held.signer)
        return false;
    if (!platform::CryptMsgGetParam(held.message, CMSG_SIGNER_INFO_PARAM, FIRST_SIGNER, held.signer,
                                    &signerSize))
        return false;

    // The key points into the signer block, which therefore stays allocated
    // until the search has returned.
    CERT_INFO key = {};
    key.Issuer = held.signer->Issuer;
    key.SerialNumber = held.signer->SerialNumber;
    held.certificate = platform::CertFindCertificateInStore(held.store, ENCODING, 0,
                                                            CERT_FIND_SUBJECT_CERT, &key, nullptr);
    if (!held.certificate)
        return false;

    DWORD nameLength = platform::CertGetNameStringW(held.certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE,
                                                    0, nullptr, nullptr, 0);
    if (nameLength == 0)
        return false;
    held.name = static_cast<LPWSTR>(platform::LocalAlloc(LPTR, nameLength * sizeof(WCHAR)));
    if (!held.name)
        return false;
    if (platform::CertGetNameStringW(held.certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr,
                                     held.name, nameLength) == 0)
        return false;
    // The platform terminates the name; pin it so the comparison cannot run on.
    held.name[nameLength - 1] = L'\0';

    return NameBeginsWithPublisher(held.name);
}
