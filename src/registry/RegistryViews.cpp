// Where Windows keeps the 32-bit view of a key (see RegistryViews.h).
#include "registry/RegistryViews.h"

#include <array>

#include "registry/KeyName.h"
#include "registry/SharedKeys.h"

namespace korvane {

namespace {

constexpr std::string_view kWowNode = "Wow6432Node";

// The class keys Windows 7 and later keep per view; the rest of the classes is shared.
constexpr std::array<std::string_view, 5> kRedirectedClassKeys = {"clsid", "directshow", "interface",
                                                                  "media type", "mediafoundation"};

bool StartsWithPart(std::string_view folded, std::string_view prefix) {
    return folded.starts_with(prefix) && (folded.size() == prefix.size() || folded[prefix.size()] == '\\');
}

// "<classes>\<key>\…" → "<classes>\Wow6432Node\<key>\…" for the redirected class keys.
std::optional<std::string> ClassesPath(std::string_view path, std::size_t classesLength) {
    std::string_view rest = path.substr(classesLength);
    if (!rest.empty() && rest.front() == '\\') rest.remove_prefix(1);
    const std::string folded = FoldCase(rest);
    for (std::string_view key : kRedirectedClassKeys) {
        if (StartsWithPart(folded, key)) {
            std::string out(path.substr(0, classesLength));
            if (!out.empty()) out += '\\';
            return out + std::string(kWowNode) + "\\" + std::string(rest);
        }
    }
    return std::nullopt;
}

}  // namespace

bool IsWow64Path(std::string_view keyPath) {
    const std::string folded = "\\" + FoldCase(keyPath) + "\\";
    return folded.find("\\wow6432node\\") != std::string::npos;
}

std::optional<std::string> Wow64PathOf(HKey root, std::string_view keyPath) {
    const std::string path = BackendPath(keyPath);
    if (IsWow64Path(path)) return std::nullopt;
    const std::string folded = FoldCase(path);
    if (root == roots::ClassesRoot) return ClassesPath(path, 0);
    if (root == roots::CurrentUser && StartsWithPart(folded, "software\\classes"))
        return ClassesPath(path, std::string_view("software\\classes").size());
    if (root != roots::LocalMachine || !StartsWithPart(folded, "software")) return std::nullopt;
    if (StartsWithPart(folded, "software\\classes"))
        return ClassesPath(path, std::string_view("software\\classes").size());
    const std::string_view rest = folded.size() > 8 ? std::string_view(folded).substr(9) : std::string_view();
    if (IsSharedSoftwareKey(rest)) return std::nullopt;
    std::string out = path.substr(0, 8) + "\\" + std::string(kWowNode);
    if (path.size() > 8) out += path.substr(8);
    return out;
}

}  // namespace korvane
