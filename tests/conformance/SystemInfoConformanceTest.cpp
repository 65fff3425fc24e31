// System facts as the program reads them, checked against whichever implementation the build provides:
// the shapes of the folders (trailing backslash or not), that they exist, and the text comparison.
#include <gtest/gtest.h>

#include <cstdlib>

#include "conformance/ConformanceTarget.h"

namespace korvane::conformance {
namespace {

class SystemInfoConformance : public ::testing::Test {
protected:
    void SetUp() override {
        target_ = MakeConformanceTarget();
        ASSERT_NE(target_.system, nullptr);
        ASSERT_NE(target_.files, nullptr);
    }
    SystemInfo& sys() { return *target_.system; }
    ConformanceTarget target_;
};

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
    if (text.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        char a = text[text.size() - tail.size() + i];
        char b = tail[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

TEST_F(SystemInfoConformance, FoldersHaveTheirDocumentedShape) {
    const std::string exe = sys().executablePath();
    EXPECT_TRUE(EndsWithNoCase(exe, ".exe")) << exe;
    EXPECT_TRUE(target_.files->fileExists(exe)) << exe;

    const std::string system = sys().systemDirectory();
    ASSERT_FALSE(system.empty());
    EXPECT_NE(system.back(), '\\') << system;
    EXPECT_TRUE(EndsWithNoCase(system, "\\system32")) << system;
    EXPECT_TRUE(target_.files->directoryExists(system)) << system;

    const std::string temp = sys().tempDirectory();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\') << temp;
    EXPECT_TRUE(target_.files->directoryExists(temp)) << temp;
}

TEST_F(SystemInfoConformance, TheFoldersOf32BitProgramsExistExactlyOn64BitWindows) {
    const std::string wow = sys().systemWow64Directory();
    const std::string x86 = sys().programFilesX86Directory();
    if (!sys().is64BitWindows()) {
        EXPECT_EQ(wow, "");
        EXPECT_EQ(x86, "");
        return;
    }
    ASSERT_FALSE(wow.empty());
    EXPECT_NE(wow.back(), '\\') << wow;
    EXPECT_TRUE(EndsWithNoCase(wow, "\\SysWOW64")) << wow;
    EXPECT_TRUE(target_.files->directoryExists(wow)) << wow;
    ASSERT_FALSE(x86.empty());
    EXPECT_NE(x86.back(), '\\') << x86;
    EXPECT_TRUE(EndsWithNoCase(x86, " (x86)")) << x86;
}

TEST_F(SystemInfoConformance, VersionClockAndTimeFormatAreReadable) {
    auto version = sys().windowsVersion();
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->platformId, 2u);  // every system this runs on is of the NT family
    EXPECT_GE(version->major, 5u);

    LocalDateTime now = sys().localTime();
    EXPECT_GE(now.year, 2000);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12);
    EXPECT_TRUE(now.day >= 1 && now.day <= 31);
    EXPECT_TRUE(now.hour >= 0 && now.hour <= 23);
    EXPECT_TRUE(now.minute >= 0 && now.minute <= 59);
    EXPECT_FALSE(sys().longTimeFormat().empty());
}

// Days from 1601-01-01 to a date of the Gregorian calendar.
long DaysSince1601(int year, int month, int day) {
    const int y = month <= 2 ? year - 1 : year;
    const int era = y / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<long>(era) * 146097 + dayOfEra - 584694;  // 584694: 1601-01-01 counted from 0000-03-01
}

TEST_F(SystemInfoConformance, UtcFileTimeIsTheDayOfTheLocalClock) {
    EXPECT_EQ(DaysSince1601(1601, 1, 1), 0);
    EXPECT_EQ(DaysSince1601(1970, 1, 1), 134774);
    const std::uint64_t fileTime = sys().systemTimeAsFileTime();
    const LocalDateTime local = sys().localTime();
    const auto utcDay = static_cast<long>(fileTime / 10'000'000 / 86'400);
    // A time zone moves the local date by at most a day either way.
    EXPECT_LE(std::abs(utcDay - DaysSince1601(local.year, local.month, local.day)), 1) << fileTime;
}

TEST_F(SystemInfoConformance, CompareTextIgnoresCase) {
    EXPECT_EQ(sys().compareText("Internet Explorer", "INTERNET explorer"), 0);
    EXPECT_LT(sys().compareText("apple", "Banana"), 0);
    EXPECT_GT(sys().compareText("banana", "Apple"), 0);
    EXPECT_LT(sys().compareText("abc", "abcd"), 0);
    EXPECT_LT(sys().compareText("", "a"), 0);
}

}  // namespace
}  // namespace korvane::conformance
