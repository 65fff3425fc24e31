// The name of a restore point: the moment its making starts, as the date "mm/dd/yyyy" and the
// user's long time format, made safe as a folder name. Also the long-time formatter it needs.
#pragma once

#include <string>

#include "platform/SystemInfo.h"

namespace korvane {

// `when` in a Windows time picture: h/hh (12-hour), H/HH (24-hour), m/mm, s/ss, t/tt (A/AM, P/PM),
// 'quoted' literals ('' for a quote); anything else is copied.
std::string FormatLongTime(const LocalDateTime& when, const std::string& format);

// "12-06-2026 8_10_32 PM" for 6 December 2026, 20:10:32 with "h:mm:ss tt": the date, a blank and the
// time, with ":" turned into "_" and "/" into "-".
std::string RestorePointName(const LocalDateTime& when, const std::string& longTimeFormat);

}  // namespace korvane
