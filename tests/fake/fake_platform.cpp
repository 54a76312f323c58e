#include "fake_platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace fake {

const HCERTSTORE STORE = reinterpret_cast<HCERTSTORE>(0x5701);
const HCRYPTMSG MESSAGE = reinterpret_cast<HCRYPTMSG>(0x5702);
const HMODULE MODULE = reinterpret_cast<HMODULE>(0x400000);
const HANDLE TARGET_FILE = reinterpret_cast<HANDLE>(0x5703);

namespace {

Script current;
std::vector<std::string> log;

// Blocks handed out by LocalAlloc, in order; freed ones stay listed so
// the log keeps naming them.
std::vector<std::unique_ptr<unsigned char[]>> allocations;
int allocationCalls = 0;

// The certificate the store "holds": its issuer and serial number must
// match the signer's for the search to find it.
CERT_CONTEXT certificate = {};
const BYTE ISSUER[] = {0x30, 0x03, 0x31, 0x01, 0x00};
const BYTE SERIAL[] = {0x42, 0x17};

// A string-table block found by FindResourceExW, handed out as 1-based index.
std::vector<const std::vector<unsigned char> *> foundBlocks;

std::string Hex(unsigned long long value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", value);
    return text;
}

std::string Describe(const void *handle) {
    if (!handle)
        return "null";
    if (handle == STORE)
        return "store";
    if (handle == MESSAGE)
        return "message";
    if (handle == &certificate)
        return "certificate";
    if (handle == MODULE)
        return "module";
    if (handle == TARGET_FILE)
        return "target";
    for (size_t i = 0; i < allocations.size(); ++i)
        if (handle == allocations[i].get())
            return "local" + std::to_string(i + 1);
    return Hex(reinterpret_cast<ULONG_PTR>(handle));
}

void Record(const std::string &call) {
    log.push_back(call);
}

bool Fails(const char *operation) {
    if (current.throwing == operation)
        throw PlatformFault{};
    return current.failing.count(operation) != 0;
}

// Fills a CMSG_SIGNER_INFO the way the message service does: the blobs
// point into the same block, behind the record.
DWORD SignerSize() {
    return sizeof(CMSG_SIGNER_INFO) + sizeof ISSUER + sizeof SERIAL;
}

void FillSigner(void *block) {
    auto *signer = static_cast<CMSG_SIGNER_INFO *>(block);
    BYTE *tail = static_cast<BYTE *>(block) + sizeof(CMSG_SIGNER_INFO);
    std::memcpy(tail, ISSUER, sizeof ISSUER);
    std::memcpy(tail + sizeof ISSUER, SERIAL, sizeof SERIAL);
    signer->dwVersion = 1;
    signer->Issuer.cbData = sizeof ISSUER;
    signer->Issuer.pbData = tail;
    signer->SerialNumber.cbData = sizeof SERIAL;
    signer->SerialNumber.pbData = tail + sizeof ISSUER;
}

bool BlobEquals(const CRYPT_INTEGER_BLOB &blob, const BYTE *bytes, DWORD size) {
    return blob.cbData == size && std::memcmp(blob.pbData, bytes, size) == 0;
}

} // namespace

std::string Narrow(const std::wstring &text) {
    std::string narrow;
    for (wchar_t unit : text) {
        if (unit >= 0x20 && unit < 0x7f) {
            narrow += static_cast<char>(unit);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
            narrow += escape;
        }
    }
    return narrow;
}

Script &script() {
    return current;
}

std::vector<std::string> &calls() {
    return log;
}

std::vector<std::string> CallsTo(std::initializer_list<const char *> names) {
    std::vector<std::string> kept;
    for (const std::string &call : log)
        for (const char *name : names)
            if (call.compare(0, std::strlen(name), name) == 0 && call[std::strlen(name)] == '(')
                kept.push_back(call);
    return kept;
}

void Reset() {
    current = Script{};
    log.clear();
    allocations.clear();
    allocationCalls = 0;
    foundBlocks.clear();
}

} // namespace fake

using namespace fake;

namespace platform {

BOOL SetDefaultDllDirectories(DWORD directoryFlags) {
    Record("SetDefaultDllDirectories(" + Hex(directoryFlags) + ")");
    return !Fails("SetDefaultDllDirectories");
}

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flags, HANDLE templateFile) {
    Record("CreateFileW(" + Narrow(name) + ", " + Hex(access) + ", " + Hex(shareMode) + ", " +
           Describe(security) + ", " + std::to_string(disposition) + ", " + Hex(flags) + ", " +
           Describe(templateFile) + ")");
    if (Fails("CreateFileW"))
        return INVALID_HANDLE_VALUE;
    return TARGET_FILE;
}

BOOL CloseHandle(HANDLE object) {
    Record("CloseHandle(" + Describe(object) + ")");
    return TRUE;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    Record("GetModuleFileNameW(" + Describe(module) + ", " + std::to_string(size) + ")");
    if (Fails("GetModuleFileNameW"))
        return 0;
    // Like Windows XP: a path that does not fit is cut and left unterminated.
    DWORD written = 0;
    for (; written < size && written < current.ownPath.size(); ++written)
        fileName[written] = current.ownPath[written];
    if (written < size)
        fileName[written] = L'\0';
    return written;
}

LCID GetThreadLocale() {
    Record("GetThreadLocale()");
    return current.threadLocale;
}

HRSRC FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language) {
    WORD number = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    Record("FindResourceExW(" + Describe(module) + ", " +
           std::to_string(reinterpret_cast<ULONG_PTR>(type)) + ", " + std::to_string(number) +
           ", " + std::to_string(language) + ")");
    if (Fails("FindResourceExW"))
        return nullptr;
    if (current.placedBlock)
        return reinterpret_cast<HRSRC>(1);
    auto found = current.blocks.find({number, language});
    if (found == current.blocks.end())
        return nullptr;
    foundBlocks.push_back(&found->second);
    return reinterpret_cast<HRSRC>(foundBlocks.size());
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    Record("LoadResource(" + Describe(module) + ", " +
           std::to_string(reinterpret_cast<ULONG_PTR>(resource)) + ")");
    if (Fails("LoadResource"))
        return nullptr;
    return reinterpret_cast<HGLOBAL>(resource);
}

LPVOID LockResource(HGLOBAL data) {
    Record("LockResource(" + std::to_string(reinterpret_cast<ULONG_PTR>(data)) + ")");
    if (Fails("LockResource"))
        return nullptr;
    if (current.placedBlock)
        return const_cast<void *>(current.placedBlock);
    auto *block = foundBlocks.at(reinterpret_cast<ULONG_PTR>(data) - 1);
    return const_cast<unsigned char *>(block->data());
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    Record("SizeofResource(" + Describe(module) + ", " +
           std::to_string(reinterpret_cast<ULONG_PTR>(resource)) + ")");
    if (Fails("SizeofResource"))
        return 0;
    if (current.sizeOverride >= 0)
        return static_cast<DWORD>(current.sizeOverride);
    if (current.placedBlock)
        return current.placedSize;
    return static_cast<DWORD>(foundBlocks.at(reinterpret_cast<ULONG_PTR>(resource) - 1)->size());
}

int GetLocaleInfoW(LCID locale, LCTYPE type, LPWSTR data, int capacity) {
    Record("GetLocaleInfoW(" + Hex(locale) + ", " + Hex(type) + ", " + std::to_string(capacity) +
           ")");
    auto found = current.localeInfo.find({locale, type});
    if (Fails("GetLocaleInfoW") || found == current.localeInfo.end())
        return 0;
    int units = static_cast<int>(found->second.size()) + 1;
    if (units > capacity)
        return 0;
    std::memcpy(data, found->second.c_str(), units * sizeof(WCHAR));
    return units;
}

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
    Record("LocalAlloc(" + Hex(flags) + ", " + std::to_string(bytes) + ")");
    ++allocationCalls;
    if (Fails("LocalAlloc") || allocationCalls == current.failingAllocation)
        return nullptr;
    // Zero-filled, as LPTR asks; one spare byte so a zero-size block is distinct.
    allocations.emplace_back(new unsigned char[bytes + 1]());
    return allocations.back().get();
}

HLOCAL LocalFree(HLOCAL memory) {
    Record("LocalFree(" + Describe(memory) + ")");
    return nullptr;
}

LONG WinVerifyTrust(HWND window, GUID *action, LPVOID data) {
    auto *trust = static_cast<WINTRUST_DATA *>(data);
    Record("WinVerifyTrust(" + Describe(window) + ", " + Narrow(trust->pFile->pcwszFilePath) + ")");
    if (current.onVerifyTrust)
        current.onVerifyTrust(window, action, trust);
    if (current.throwing == "WinVerifyTrust")
        throw PlatformFault{};
    return current.trustStatus;
}

BOOL CryptQueryObject(DWORD objectType, const void *object, DWORD expectedContentTypeFlags,
                      DWORD expectedFormatTypeFlags, DWORD flags, DWORD *encodingType,
                      DWORD *contentType, DWORD *formatType, HCERTSTORE *store, HCRYPTMSG *message,
                      const void **context) {
    Record("CryptQueryObject(" + std::to_string(objectType) + ", " +
           Narrow(static_cast<LPCWSTR>(object)) + ", " + Hex(expectedContentTypeFlags) + ", " +
           Hex(expectedFormatTypeFlags) + ", " + Hex(flags) + ", " +
           (encodingType && contentType && formatType ? "types" : "no types") + ", " +
           Describe(context) + ")");
    if (Fails("CryptQueryObject"))
        return FALSE;
    *encodingType = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;
    *contentType = CERT_QUERY_CONTENT_PKCS7_SIGNED_EMBED;
    *formatType = CERT_QUERY_FORMAT_BINARY;
    *store = STORE;
    *message = MESSAGE;
    return TRUE;
}

BOOL CryptMsgGetParam(HCRYPTMSG message, DWORD paramType, DWORD index, void *data,
                      DWORD *dataSize) {
    Record("CryptMsgGetParam(" + Describe(message) + ", " + std::to_string(paramType) + ", " +
           std::to_string(index) + ", " + Describe(data) + ", " + std::to_string(*dataSize) + ")");
    if (data == nullptr) {
        if (Fails("CryptMsgGetParam(size)"))
            return FALSE;
        *dataSize = SignerSize();
        return TRUE;
    }
    if (Fails("CryptMsgGetParam(fetch)") || *dataSize < SignerSize())
        return FALSE;
    FillSigner(data);
    return TRUE;
}

PCCERT_CONTEXT CertFindCertificateInStore(HCERTSTORE store, DWORD encodingType, DWORD findFlags,
                                          DWORD findType, const void *findPara,
                                          PCCERT_CONTEXT previous) {
    Record("CertFindCertificateInStore(" + Describe(store) + ", " + Hex(encodingType) + ", " +
           Hex(findFlags) + ", " + Hex(findType) + ", key, " + Describe(previous) + ")");
    if (Fails("CertFindCertificateInStore"))
        return nullptr;
    const auto *key = static_cast<const CERT_INFO *>(findPara);
    if (current.onFindCertificate)
        current.onFindCertificate(key, static_cast<const CMSG_SIGNER_INFO *>(
                                           static_cast<const void *>(allocations.front().get())));
    if (!BlobEquals(key->Issuer, ISSUER, sizeof ISSUER) ||
        !BlobEquals(key->SerialNumber, SERIAL, sizeof SERIAL))
        return nullptr;
    return &certificate;
}

DWORD CertGetNameStringW(PCCERT_CONTEXT certificateContext, DWORD type, DWORD flags, void *typePara,
                         LPWSTR name, DWORD capacity) {
    Record("CertGetNameStringW(" + Describe(certificateContext) + ", " + std::to_string(type) +
           ", " + Hex(flags) + ", " + Describe(typePara) + ", " + Describe(name) + ", " +
           std::to_string(capacity) + ")");
    DWORD needed = static_cast<DWORD>(current.subjectName.size()) + 1;
    if (name == nullptr) {
        if (Fails("CertGetNameStringW(length)"))
            return 0;
        return needed;
    }
    if (Fails("CertGetNameStringW(fetch)") || capacity == 0)
        return 0;
    DWORD written = needed < capacity ? needed : capacity;
    std::memcpy(name, current.subjectName.c_str(), (written - 1) * sizeof(WCHAR));
    name[written - 1] = L'\0';
    return written;
}

BOOL CertFreeCertificateContext(PCCERT_CONTEXT certificateContext) {
    Record("CertFreeCertificateContext(" + Describe(certificateContext) + ")");
    return TRUE;
}

BOOL CertCloseStore(HCERTSTORE store, DWORD flags) {
    Record("CertCloseStore(" + Describe(store) + ", " + Hex(flags) + ")");
    return TRUE;
}

BOOL CryptMsgClose(HCRYPTMSG message) {
    Record("CryptMsgClose(" + Describe(message) + ")");
    return TRUE;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    Record("MessageBoxW(" + Describe(owner) + ", " + Narrow(text) + ", " + Narrow(caption) + ", " +
           Hex(type) + ")");
    if (Fails("MessageBoxW"))
        return 0;
    return current.messageBoxAnswer;
}

HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, INT showCommand) {
    Record("ShellExecuteW(" + Describe(owner) + ", " + (verb ? Narrow(verb) : "null") + ", " +
           Narrow(file) + ", " + (parameters ? Narrow(parameters) : "null") + ", " +
           (directory ? Narrow(directory) : "null") + ", " + std::to_string(showCommand) + ")");
    // The shell's "file not found"; the launcher must not care.
    return reinterpret_cast<HINSTANCE>(Fails("ShellExecuteW") ? 2 : 42);
}

} // namespace platform
