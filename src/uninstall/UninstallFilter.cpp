// Matching entries against the filter text (see UninstallFilter.h).
#include "uninstall/UninstallFilter.h"

#include "registry/KeyName.h"

namespace korvane {

bool MatchesUninstallFilter(const UninstallEntry& entry, const std::string& filter) {
    if (filter.empty()) return true;
    const std::string wanted = FoldCase(filter);
    return FoldCase(entry.displayName).find(wanted) != std::string::npos ||
           FoldCase(entry.publisher).find(wanted) != std::string::npos;
}

}  // namespace korvane
