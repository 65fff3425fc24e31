// Restore-point names: the date in "mm/dd/yyyy", the long time format, and the replacements that keep
// the name one folder name.
#include <gtest/gtest.h>

#include "backup/RestorePointName.h"

namespace korvane {
namespace {

TEST(RestorePointNameTest, DateAndLongTimeWithColonsAndSlashesReplaced) {
    const LocalDateTime evening{2026, 12, 6, 20, 10, 32};
    EXPECT_EQ(RestorePointName(evening, "h:mm:ss tt"), "12-06-2026 8_10_32 PM");
    EXPECT_EQ(RestorePointName(evening, "HH:mm:ss"), "12-06-2026 20_10_32");
    // Month and day keep two digits; a one-letter picture does not pad.
    const LocalDateTime morning{2025, 3, 4, 7, 5, 9};
    EXPECT_EQ(RestorePointName(morning, "hh:mm:ss tt"), "03-04-2025 07_05_09 AM");
    EXPECT_EQ(RestorePointName(morning, "H.m.s"), "03-04-2025 7.5.9");
}

TEST(RestorePointNameTest, TwelveHourClockAroundMidnightAndNoon) {
    EXPECT_EQ(FormatLongTime({2026, 1, 1, 0, 0, 1}, "h:mm:ss tt"), "12:00:01 AM");
    EXPECT_EQ(FormatLongTime({2026, 1, 1, 12, 30, 0}, "h:mm:ss tt"), "12:30:00 PM");
    EXPECT_EQ(FormatLongTime({2026, 1, 1, 23, 59, 59}, "h:mm:ss t"), "11:59:59 P");
    EXPECT_EQ(FormatLongTime({2026, 1, 1, 9, 0, 0}, "tt h:mm"), "AM 9:00");
}

TEST(RestorePointNameTest, QuotedLiteralsAndUnsafeCharacters) {
    EXPECT_EQ(FormatLongTime({2026, 1, 1, 14, 5, 0}, "H'h'mm 'o''clock'"), "14h05 o'clock");
    // Whatever a time format holds, the name stays one folder below Backup.
    const std::string name = RestorePointName({2026, 1, 1, 14, 5, 0}, "HH'\\'mm'?*|'");
    EXPECT_EQ(name, "01-01-2026 14_05___");
    EXPECT_EQ(name.find('\\'), std::string::npos);
}

TEST(RestorePointNameTest, MissingTimeFormatStillGivesTheTimeOfDay) {
    // A name without the time would end in a blank, which Windows drops from folder names.
    EXPECT_EQ(RestorePointName({2026, 12, 6, 20, 10, 32}, ""), "12-06-2026 20_10_32");
    EXPECT_EQ(RestorePointName({2026, 12, 6, 20, 10, 32}, "H:mm '.'"), "12-06-2026 20_10");
}

}  // namespace
}  // namespace korvane
