// Authenticode checks through WinVerifyTrust and the catalog admin functions
// (Win32SignatureVerifier.h).
#include "win32/platform/Win32SignatureVerifier.h"

// clang-format off
#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>
#include <mscat.h>
// clang-format on

#include <cstdio>
#include <mutex>
#include <utility>
#include <vector>

#include "win32/platform/SystemLibrary.h"
#include "win32/platform/Text.h"
#include "win32/platform/UniqueHandle.h"

namespace korvane::win32 {

struct TrustFunctions {
    SystemLibrary wintrust{L"wintrust.dll"};
    SystemLibrary crypt32{L"crypt32.dll"};
    decltype(::WinVerifyTrust)* verifyTrust = wintrust.Find<decltype(::WinVerifyTrust)>("WinVerifyTrust");
    decltype(::WTHelperProvDataFromStateData)* provData =
        wintrust.Find<decltype(::WTHelperProvDataFromStateData)>("WTHelperProvDataFromStateData");
    decltype(::WTHelperGetProvSignerFromChain)* provSigner =
        wintrust.Find<decltype(::WTHelperGetProvSignerFromChain)>("WTHelperGetProvSignerFromChain");
    decltype(::CryptCATAdminAcquireContext)* acquire =
        wintrust.Find<decltype(::CryptCATAdminAcquireContext)>("CryptCATAdminAcquireContext");
    decltype(::CryptCATAdminAcquireContext2)* acquire2 =
        wintrust.Find<decltype(::CryptCATAdminAcquireContext2)>("CryptCATAdminAcquireContext2");
    decltype(::CryptCATAdminCalcHashFromFileHandle)* hash =
        wintrust.Find<decltype(::CryptCATAdminCalcHashFromFileHandle)>("CryptCATAdminCalcHashFromFileHandle");
    decltype(::CryptCATAdminCalcHashFromFileHandle2)* hash2 =
        wintrust.Find<decltype(::CryptCATAdminCalcHashFromFileHandle2)>(
            "CryptCATAdminCalcHashFromFileHandle2");
    decltype(::CryptCATAdminEnumCatalogFromHash)* enumCatalog =
        wintrust.Find<decltype(::CryptCATAdminEnumCatalogFromHash)>("CryptCATAdminEnumCatalogFromHash");
    decltype(::CryptCATCatalogInfoFromContext)* catalogInfo =
        wintrust.Find<decltype(::CryptCATCatalogInfoFromContext)>("CryptCATCatalogInfoFromContext");
    decltype(::CryptCATAdminReleaseCatalogContext)* releaseCatalog =
        wintrust.Find<decltype(::CryptCATAdminReleaseCatalogContext)>("CryptCATAdminReleaseCatalogContext");
    decltype(::CryptCATAdminReleaseContext)* releaseAdmin =
        wintrust.Find<decltype(::CryptCATAdminReleaseContext)>("CryptCATAdminReleaseContext");
    decltype(::CertGetNameStringW)* certName =
        crypt32.Find<decltype(::CertGetNameStringW)>("CertGetNameStringW");

    bool CanVerify() const { return verifyTrust && provData && provSigner; }
    bool HasCatalogs() const {
        return (acquire || acquire2) && (hash || hash2) && enumCatalog && catalogInfo && releaseCatalog &&
               releaseAdmin;
    }
};

namespace {

GUID GenericVerifyV2() {
    return WINTRUST_ACTION_GENERIC_VERIFY_V2;
}

std::string ReasonOf(LONG status) {
    switch (static_cast<HRESULT>(status)) {
        case TRUST_E_BAD_DIGEST:
            return "the file was changed after it was signed";
        case CERT_E_EXPIRED:
            return "the certificate has expired";
        case CERT_E_REVOKED:
            return "the certificate was revoked";
        case CERT_E_UNTRUSTEDROOT:
        case CERT_E_UNTRUSTEDTESTROOT:
            return "the certificate is not issued by a trusted authority";
        case CERT_E_CHAINING:
            return "the certificate's chain cannot be built";
        case TRUST_E_EXPLICIT_DISTRUST:
            return "the signer is marked as not trusted";
        case CERT_E_WRONG_USAGE:
            return "the certificate is not meant for signing programs";
        case TRUST_E_CERT_SIGNATURE:
        case TRUST_E_SYSTEM_ERROR:
        case CRYPT_E_SECURITY_SETTINGS:
            break;
        default:
            break;
    }
    char text[48];
    std::snprintf(text, sizeof text, "error 0x%08lX", static_cast<unsigned long>(status));
    return text;
}

bool MeansUnsigned(LONG status) {
    return status == TRUST_E_NOSIGNATURE || status == TRUST_E_SUBJECT_FORM_UNKNOWN ||
           status == TRUST_E_PROVIDER_UNKNOWN;
}

// One WinVerifyTrust call with its state: the state is closed when this goes.
class TrustCheck {
public:
    TrustCheck(const TrustFunctions& functions, WINTRUST_DATA& data) : functions_(functions), data_(data) {
        GUID action = GenericVerifyV2();
        data_.dwStateAction = WTD_STATEACTION_VERIFY;
        status_ = functions_.verifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data_);
    }
    ~TrustCheck() {
        GUID action = GenericVerifyV2();
        data_.dwStateAction = WTD_STATEACTION_CLOSE;
        functions_.verifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data_);
    }
    TrustCheck(const TrustCheck&) = delete;
    TrustCheck& operator=(const TrustCheck&) = delete;

    LONG Status() const { return status_; }

    // The leaf certificate's name (its common name, else its organisation).
    std::string Subject() const {
        CRYPT_PROVIDER_DATA* provider = functions_.provData(data_.hWVTStateData);
        CRYPT_PROVIDER_SGNR* signer = provider ? functions_.provSigner(provider, 0, FALSE, 0) : nullptr;
        if (!signer || signer->csCertChain == 0 || !signer->pasCertChain || !functions_.certName) return {};
        PCCERT_CONTEXT certificate = signer->pasCertChain[0].pCert;
        if (!certificate) return {};
        const DWORD size =
            functions_.certName(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
        if (size <= 1) return {};
        std::wstring name(size, L'\0');
        functions_.certName(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), size);
        name.resize(size - 1);
        return Narrow(name);
    }

private:
    const TrustFunctions& functions_;
    WINTRUST_DATA& data_;
    LONG status_ = 0;
};

WINTRUST_DATA OfflineTrustData() {
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL | WTD_REVOCATION_CHECK_NONE;
    return data;
}

SignatureAnswer AnswerOf(const TrustCheck& check) {
    if (check.Status() == ERROR_SUCCESS) return {SignatureState::Verified, check.Subject(), {}};
    if (MeansUnsigned(check.Status())) return {SignatureState::Unsigned, {}, {}};
    return {SignatureState::NotVerified, {}, ReasonOf(check.Status())};
}

// Runs `release` when it goes: the catalog handles are released by functions found at run time, which
// a handle owner's template argument cannot name.
template <typename Release>
class Releasing {
public:
    explicit Releasing(Release release) : release_(std::move(release)) {}
    ~Releasing() { release_(); }
    Releasing(const Releasing&) = delete;
    Releasing& operator=(const Releasing&) = delete;

private:
    Release release_;
};

std::string HexOf(const std::vector<BYTE>& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (BYTE byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

}  // namespace

Win32SignatureVerifier::Win32SignatureVerifier(FileSystem& files) : files_(files) {}
Win32SignatureVerifier::~Win32SignatureVerifier() = default;

const TrustFunctions& Win32SignatureVerifier::Loaded() {
    // Loaded with the first check, not at start-up: a session that never shows a publisher never
    // loads the libraries.
    static std::mutex lock;
    std::lock_guard guard(lock);
    if (!functions_) functions_ = std::make_unique<TrustFunctions>();
    return *functions_;
}

std::optional<FileStamp> Win32SignatureVerifier::stamp(const std::string& path) {
    const auto native = files_.nativePathsOnThisThread();
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    FileStamp stamp;
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.lastWrite = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                      data.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

SignatureAnswer Win32SignatureVerifier::verify(const std::string& path) {
    const auto native = files_.nativePathsOnThisThread();
    const std::wstring wide = Widen(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
            error == ERROR_BAD_PATHNAME || error == ERROR_INVALID_DRIVE)
            return {SignatureState::FileNotFound, {}, {}};
        return {
            SignatureState::NotVerified, {}, "the file cannot be read (error " + std::to_string(error) + ")"};
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return {SignatureState::FileNotFound, {}, {}};

    const TrustFunctions& functions = Loaded();
    if (!functions.CanVerify())
        return {SignatureState::NotVerified, {}, "this Windows cannot check signatures"};

    // The embedded signature first.
    {
        WINTRUST_FILE_INFO file{};
        file.cbStruct = sizeof file;
        file.pcwszFilePath = wide.c_str();
        WINTRUST_DATA data = OfflineTrustData();
        data.dwUnionChoice = WTD_CHOICE_FILE;
        data.pFile = &file;
        const TrustCheck check(functions, data);
        if (!MeansUnsigned(check.Status())) return AnswerOf(check);
    }
    if (!functions.HasCatalogs()) return {SignatureState::Unsigned, {}, {}};

    // Then a catalog of the system's that lists the file's hash (SHA-256 where Windows has it).
    const UniqueFile file(::CreateFileW(wide.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {SignatureState::NotVerified, {}, "the file cannot be read"};
    HCATADMIN admin = nullptr;
    const bool sha256 =
        functions.acquire2 && functions.hash2 && functions.acquire2(&admin, nullptr, L"SHA256", nullptr, 0);
    if (!sha256 && !(functions.acquire && functions.acquire(&admin, nullptr, 0)))
        return {SignatureState::Unsigned, {}, {}};
    const Releasing adminGoes([&] { functions.releaseAdmin(admin, 0); });
    std::vector<BYTE> hash(64);
    DWORD size = static_cast<DWORD>(hash.size());
    const BOOL hashed = sha256 ? functions.hash2(admin, file.get(), &size, hash.data(), 0)
                               : (functions.hash ? functions.hash(file.get(), &size, hash.data(), 0) : FALSE);
    if (!hashed) return {SignatureState::Unsigned, {}, {}};
    hash.resize(size);
    HCATINFO catalog = functions.enumCatalog(admin, hash.data(), size, 0, nullptr);
    if (!catalog) return {SignatureState::Unsigned, {}, {}};
    const Releasing catalogGoes([&] { functions.releaseCatalog(admin, catalog, 0); });
    CATALOG_INFO info{};
    info.cbStruct = sizeof info;
    if (!functions.catalogInfo(catalog, &info, 0)) return {SignatureState::Unsigned, {}, {}};
    const std::wstring tag = Widen(HexOf(hash));
    WINTRUST_CATALOG_INFO member{};
    member.cbStruct = sizeof member;
    member.pcwszCatalogFilePath = info.wszCatalogFile;
    member.pcwszMemberTag = tag.c_str();
    member.pcwszMemberFilePath = wide.c_str();
    member.hMemberFile = file.get();
    member.pbCalculatedFileHash = hash.data();
    member.cbCalculatedFileHash = size;
    WINTRUST_DATA data = OfflineTrustData();
    data.dwUnionChoice = WTD_CHOICE_CATALOG;
    data.pCatalog = &member;
    const TrustCheck check(functions, data);
    return AnswerOf(check);
}

}  // namespace korvane::win32
