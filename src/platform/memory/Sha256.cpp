// Sha256Of through the EVP interface, the one OpenSSL 3 keeps without deprecation. The native build
// defines KORVANE_OPENSSL_SHA256 when it links libcrypto.
#include "platform/memory/Sha256.h"

#ifdef KORVANE_OPENSSL_SHA256
#include <openssl/evp.h>
#endif

namespace korvane {

std::optional<Sha256Digest> Sha256Of(std::string_view bytes) {
#ifdef KORVANE_OPENSSL_SHA256
    Sha256Digest digest{};
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr) != 1 ||
        length != digest.size())
        return std::nullopt;
    return digest;
#else
    static_cast<void>(bytes);
    return std::nullopt;
#endif
}

}  // namespace korvane
