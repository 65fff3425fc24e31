// The uninstall list's columns: texts shown and sort orders (see UninstallColumns.h).
#include "uninstall/UninstallColumns.h"

#include <any>
#include <cstdio>

namespace korvane {

namespace {

const UninstallEntry* EntryOf(const ListItem& row) {
    return std::any_cast<UninstallEntry>(&row.tag);
}

bool AllDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::optional<LocalDateTime> ParseInstallDate(const std::string& text) {
    if (text.size() != 8 || !AllDigits(text)) return std::nullopt;
    LocalDateTime date;
    date.year = std::stoi(text.substr(0, 4));
    date.month = std::stoi(text.substr(4, 2));
    date.day = std::stoi(text.substr(6, 2));
    if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) return std::nullopt;
    return date;
}

// Numbers of any length, compared without converting them.
int CompareNumbers(std::string a, std::string b) {
    a.erase(0, std::min(a.find_first_not_of('0'), a.size()));
    b.erase(0, std::min(b.find_first_not_of('0'), b.size()));
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int result = a.compare(b);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

template <class T>
int CompareOptional(const std::optional<T>& a, const std::optional<T>& b) {
    if (a == b) return 0;
    return a < b ? -1 : 1;  // an absent one sorts first
}

// Orders rows by what their entries hold; rows without an entry (none are listed so) by their text.
ListColumn Sorted(ListColumn column, std::function<int(const UninstallEntry&, const UninstallEntry&)> byEntry,
                  int subItem, SystemInfo& system) {
    column.compare = [byEntry = std::move(byEntry), subItem, &system](const ListItem& a, const ListItem& b) {
        const UninstallEntry* x = EntryOf(a);
        const UninstallEntry* y = EntryOf(b);
        if (x && y) return byEntry(*x, *y);
        auto text = [subItem](const ListItem& row) {
            return static_cast<std::size_t>(subItem) < row.subItems.size() ? row.subItems[subItem]
                                                                           : std::string();
        };
        return system.compareText(text(a), text(b));
    };
    return column;
}

}  // namespace

std::vector<ListColumn> UninstallColumns(SystemInfo& system) {
    ListColumn keyName{"Key Name", 1};
    keyName.fixedWidth = true;  // kept out of sight
    auto version = [&system](const UninstallEntry& a, const UninstallEntry& b) {
        return CompareVersions(a.displayVersion, b.displayVersion, system);
    };
    auto installed = [](const UninstallEntry& a, const UninstallEntry& b) {
        const auto x = ParseInstallDate(a.installDate);
        const auto y = ParseInstallDate(b.installDate);
        auto key = [](const std::optional<LocalDateTime>& d) {
            return d ? std::optional<int>(d->year * 10000 + d->month * 100 + d->day) : std::nullopt;
        };
        const int byDate = CompareOptional(key(x), key(y));
        return byDate != 0 ? byDate : a.installDate.compare(b.installDate);
    };
    auto size = [](const UninstallEntry& a, const UninstallEntry& b) {
        return CompareOptional(a.estimatedSize, b.estimatedSize);
    };
    return {
        {"Display Name", ListColumn::kRestWidth},
        {"Uninstall Path", ListColumn::kRestWidth},
        keyName,
        {"Publisher", 100},
        Sorted({"Version", 64}, version, kVersionColumn, system),
        Sorted({"Installed", 70}, installed, kInstalledColumn, system),
        Sorted({"Size", 62}, size, kSizeColumn, system),
        {"Verified Publisher", 140},
    };
}

ListItem UninstallRow(const UninstallEntry& entry, const DateFormat& format) {
    ListItem row{entry.displayName,
                 {entry.uninstallString, entry.key.Text(), entry.publisher, entry.displayVersion,
                  FormatInstallDate(entry.installDate, format), FormatEstimatedSize(entry.estimatedSize)}};
    row.tag = entry;
    return row;
}

std::string FormatInstallDate(const std::string& installDate, const DateFormat& format) {
    const auto date = ParseInstallDate(installDate);
    return date ? format.FormatShortDate(*date) : installDate;
}

std::string FormatEstimatedSize(std::optional<std::uint32_t> kilobytes) {
    if (!kilobytes) return {};
    constexpr double kPerStep = 1024.0;
    char text[32];
    if (*kilobytes < 1024)
        std::snprintf(text, sizeof text, "%u KB", static_cast<unsigned>(*kilobytes));
    else if (*kilobytes < 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f MB", *kilobytes / kPerStep);
    else
        std::snprintf(text, sizeof text, "%.1f GB", *kilobytes / kPerStep / kPerStep);
    return text;
}

int CompareVersions(const std::string& a, const std::string& b, SystemInfo& system) {
    std::size_t i = 0, j = 0;
    while (i <= a.size() && j <= b.size()) {
        const std::size_t endA = std::min(a.find('.', i), a.size());
        const std::size_t endB = std::min(b.find('.', j), b.size());
        const std::string x = a.substr(i, endA - i);
        const std::string y = b.substr(j, endB - j);
        const int result = AllDigits(x) && AllDigits(y) ? CompareNumbers(x, y) : system.compareText(x, y);
        if (result != 0) return result;
        i = endA + 1;
        j = endB + 1;
        const bool aDone = i > a.size();
        const bool bDone = j > b.size();
        if (aDone || bDone) return aDone == bDone ? 0 : (aDone ? -1 : 1);  // "1.2" before "1.2.1"
    }
    return 0;
}

}  // namespace korvane
