// Text comparison of the in-memory system: letters compared without case, other bytes as they are.
#include "platform/memory/MemorySystemInfo.h"

#include <algorithm>

namespace korvane {

namespace {
// Lower-case folding, so that "_" sorts before the letters as it does in the user's locale.
unsigned char FoldLower(char c) {
    auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}
}  // namespace

int MemorySystemInfo::compareText(const std::string& a, const std::string& b) {
    std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        unsigned char x = FoldLower(a[i]);
        unsigned char y = FoldLower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace korvane
