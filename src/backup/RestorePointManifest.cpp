// Writing, reading and checking a restore point's checksums (see RestorePointManifest.h).
#include "backup/RestorePointManifest.h"

#include <algorithm>
#include <set>

#include "backup/RestorePoints.h"
#include "registry/RootKeys.h"

namespace korvane {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr size_t kHexLength = 2 * std::tuple_size_v<Sha256Digest>;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<Sha256Digest> ParseDigest(const std::string& hex) {
    if (hex.size() != kHexLength) return std::nullopt;
    Sha256Digest digest{};
    for (size_t i = 0; i < digest.size(); ++i) {
        const int high = HexValue(hex[2 * i]);
        const int low = HexValue(hex[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        digest[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return digest;
}

// A name the registry editor would open inside the restore point's folder, and nowhere else.
bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:") == std::string::npos;
}

std::optional<ManifestEntry> ParseLine(const std::string& line) {
    // "<hex>  <name>" as written, or "<hex> *<name>" as sha256sum writes for binary files.
    if (line.size() < kHexLength + 3 || line[kHexLength] != ' ' ||
        (line[kHexLength + 1] != ' ' && line[kHexLength + 1] != '*'))
        return std::nullopt;
    const auto digest = ParseDigest(line.substr(0, kHexLength));
    std::string name = line.substr(kHexLength + 2);
    if (!digest || !IsPlainFileName(name)) return std::nullopt;
    return ManifestEntry{std::move(name), *digest};
}

RestorePointCheck Refused(std::string reason) {
    return {PointCheck::Refused, std::move(reason)};
}

}  // namespace

std::string FormatManifest(const std::vector<ManifestEntry>& entries) {
    std::string text;
    for (const ManifestEntry& entry : entries) {
        for (std::uint8_t byte : entry.digest) {
            text += kHexDigits[byte >> 4];
            text += kHexDigits[byte & 0x0F];
        }
        text += "  " + entry.fileName + "\r\n";
    }
    return text;
}

std::optional<std::vector<ManifestEntry>> ParseManifest(const std::string& text) {
    std::vector<ManifestEntry> entries;
    std::set<std::string> names;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        auto entry = ParseLine(line);
        if (!entry || !names.insert(entry->fileName).second) return std::nullopt;
        entries.push_back(std::move(*entry));
    }
    return entries;
}

std::vector<ManifestEntry> DigestRestorePoint(FileSystem& files, const std::string& folder,
                                              std::vector<std::string>& unreadable) {
    std::vector<ManifestEntry> entries;
    for (const char* root : RootKeyNames) {
        const std::string name = RootFileName(root);
        const std::string path = JoinPath(folder, name);
        if (!files.fileExists(path)) continue;
        if (const auto digest = files.sha256(path))
            entries.push_back({name, *digest});
        else
            unreadable.push_back(name);
    }
    return entries;
}

RestorePointCheck CheckRestorePoint(FileSystem& files, const std::string& folder) {
    const std::string manifestPath = JoinPath(folder, kManifestFileName);
    if (!files.fileExists(manifestPath)) return {PointCheck::NoChecksums, "it has no checksums"};
    const auto text = files.readFile(manifestPath);
    const auto entries = text ? ParseManifest(*text) : std::nullopt;
    if (!entries) return Refused(std::string("its checksum file ") + kManifestFileName + " is damaged");
    for (const ManifestEntry& entry : *entries) {
        const std::string path = JoinPath(folder, entry.fileName);
        if (!files.fileExists(path)) return Refused(entry.fileName + " is missing");
        const auto digest = files.sha256(path);
        if (!digest) return Refused(entry.fileName + " cannot be read");
        if (*digest != entry.digest) return Refused(entry.fileName + " has changed since the backup");
    }
    // A root's file that the backup did not write (its export failed) must not be imported either.
    for (const char* root : RootKeyNames) {
        const std::string name = RootFileName(root);
        const bool listed =
            std::any_of(entries->begin(), entries->end(),
                        [&name](const ManifestEntry& entry) { return entry.fileName == name; });
        if (!listed && files.fileExists(JoinPath(folder, name)))
            return Refused(name + " was not part of the backup");
    }
    return {PointCheck::Verified, ""};
}

}  // namespace korvane
