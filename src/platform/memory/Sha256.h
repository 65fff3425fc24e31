// SHA-256 of bytes in memory, from OpenSSL's libcrypto: what the in-memory file system answers
// FileSystem::sha256 with, so that its digests are the ones Windows' CNG gives for the same bytes.
#pragma once

#include <optional>
#include <string_view>

#include "platform/FileSystem.h"

namespace korvane {

// Nothing in the Windows builds, which carry the in-memory platform only for the window tests and the
// Wine benchmark and have no libcrypto (their own file system hashes with CNG).
std::optional<Sha256Digest> Sha256Of(std::string_view bytes);

}  // namespace korvane
