// The columns of the uninstall list: what each shows of an entry and how each sorts. Every row keeps
// its entry in its tag, and the handlers act on that: the texts are only shown (the "Key Name" column
// is kept out of sight and copied with the row).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controls/ListView.h"
#include "core/DateFormat.h"
#include "platform/SystemInfo.h"
#include "uninstall/UninstallEntry.h"

namespace korvane {

// The columns after the caption ("Display Name"), in their order.
inline constexpr int kUninstallPathColumn = 0;
inline constexpr int kUninstallKeyNameColumn = 1;  // the entry's Key Name ("HKEY_CURRENT_USER\Software\...")
inline constexpr int kPublisherColumn = 2;
inline constexpr int kVersionColumn = 3;
inline constexpr int kInstalledColumn = 4;
inline constexpr int kSizeColumn = 5;
inline constexpr int kSignatureColumn = 6;  // the programs' verified publisher, filled as checks answer

// The list's columns, each sorting by its meaning: versions part by part, dates by date, sizes by size,
// texts with the platform's comparison.
std::vector<ListColumn> UninstallColumns(SystemInfo& system);

// One unchecked row showing the entry, which it keeps in its tag.
ListItem UninstallRow(const UninstallEntry& entry, const DateFormat& format);

// "YYYYMMDD" in the date format; other text as it is stored (some installers write their own).
std::string FormatInstallDate(const std::string& installDate, const DateFormat& format);
// A size in KB as KB, MB or GB; empty when there is none.
std::string FormatEstimatedSize(std::optional<std::uint32_t> kilobytes);
// Versions compared part by part at the dots: numbers as numbers, other parts as texts.
int CompareVersions(const std::string& a, const std::string& b, SystemInfo& system);

}  // namespace korvane
