// CngSha256: the hash-object functions of bcrypt.dll (BCryptCreateHash, BCryptHashData,
// BCryptFinishHash), which every Windows since Vista has; the handles are owned by small owners that
// close them through the same loaded library.
#include "win32/platform/CngSha256.h"

// clang-format off
#include <windows.h>
#include <bcrypt.h>  // needs windows.h first
// clang-format on

#include <algorithm>
#include <limits>
#include <utility>

#include "win32/platform/SystemLibrary.h"

namespace korvane::win32 {
namespace {

struct Bcrypt {
    SystemLibrary library{L"bcrypt.dll"};
    decltype(::BCryptOpenAlgorithmProvider)* openAlgorithm =
        library.Find<decltype(::BCryptOpenAlgorithmProvider)>("BCryptOpenAlgorithmProvider");
    decltype(::BCryptCloseAlgorithmProvider)* closeAlgorithm =
        library.Find<decltype(::BCryptCloseAlgorithmProvider)>("BCryptCloseAlgorithmProvider");
    decltype(::BCryptCreateHash)* createHash = library.Find<decltype(::BCryptCreateHash)>("BCryptCreateHash");
    decltype(::BCryptHashData)* hashData = library.Find<decltype(::BCryptHashData)>("BCryptHashData");
    decltype(::BCryptFinishHash)* finishHash = library.Find<decltype(::BCryptFinishHash)>("BCryptFinishHash");
    decltype(::BCryptDestroyHash)* destroyHash =
        library.Find<decltype(::BCryptDestroyHash)>("BCryptDestroyHash");

    bool Usable() const {
        return openAlgorithm && closeAlgorithm && createHash && hashData && finishHash && destroyHash;
    }
};

// Loaded on first use and kept for the process, like the system keeps its own copy.
const Bcrypt& Functions() {
    static const Bcrypt functions;
    return functions;
}

bool Succeeded(NTSTATUS status) {
    return status >= 0;
}

}  // namespace

// Declared in this order so that the hash goes before the provider it was made from.
struct CngSha256::Handles {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;

    ~Handles() {
        if (hash) Functions().destroyHash(hash);
        if (algorithm) Functions().closeAlgorithm(algorithm, 0);
    }
};

CngSha256::CngSha256() {
    const Bcrypt& cng = Functions();
    if (!cng.Usable()) return;
    auto handles = std::make_unique<Handles>();
    if (!Succeeded(cng.openAlgorithm(&handles->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) return;
    // No object buffer: CNG allocates the hash object itself (Windows 7 and later).
    if (!Succeeded(cng.createHash(handles->algorithm, &handles->hash, nullptr, 0, nullptr, 0, 0))) return;
    handles_ = std::move(handles);
}

CngSha256::~CngSha256() = default;

bool CngSha256::Update(const void* bytes, std::size_t size) {
    auto* next = static_cast<UCHAR*>(const_cast<void*>(bytes));  // CNG only reads it
    while (handles_ && size > 0) {
        const ULONG part = static_cast<ULONG>(std::min<std::size_t>(size, std::numeric_limits<ULONG>::max()));
        if (!Succeeded(Functions().hashData(handles_->hash, next, part, 0))) handles_.reset();
        next += part;
        size -= part;
    }
    return handles_ != nullptr;
}

std::optional<Sha256Digest> CngSha256::Finish() {
    if (!handles_) return std::nullopt;
    Sha256Digest digest{};
    const bool done = Succeeded(
        Functions().finishHash(handles_->hash, digest.data(), static_cast<ULONG>(digest.size()), 0));
    handles_.reset();
    if (!done) return std::nullopt;
    return digest;
}

}  // namespace korvane::win32
