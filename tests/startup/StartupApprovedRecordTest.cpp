// The StartupApproved record: what each first byte means, the time stamp, the bytes Apply writes,
// which Windows keeps such records, and which record belongs to which Run key.
#include <gtest/gtest.h>

#include "startup/StartupApproved.h"

namespace korvane {
namespace {

// 2024-03-15 13:05:09 UTC as a FILETIME, and its bytes in the record's order (little-endian).
constexpr std::uint64_t kTime = 133549815090000000;
const std::vector<std::uint8_t> kTimeBytes = {0x80, 0x30, 0x42, 0x68, 0xD9, 0x76, 0xDA, 0x01};

RegValue Record(std::uint8_t first, const std::vector<std::uint8_t>& time = {0, 0, 0, 0, 0, 0, 0, 0}) {
    RegValue value{regtype::Binary, {first, 0, 0, 0}};
    value.data.insert(value.data.end(), time.begin(), time.end());
    return value;
}

TEST(StartupApprovedRecord, FirstByteTellsEnabledOrDisabled) {
    struct Case {
        std::uint8_t first;
        bool disabled;
    };
    for (const Case& c : {Case{2, false}, Case{3, true}, Case{6, false}, Case{7, true}, Case{0, false},
                          Case{1, false}, Case{4, false}, Case{0x13, false}}) {
        const auto state = ParseApprovedRecord(Record(c.first));
        ASSERT_TRUE(state) << int(c.first);
        EXPECT_EQ(state->disabled, c.disabled) << int(c.first);
    }
}

TEST(StartupApprovedRecord, TimeStampIsReadFromBytesFourToEleven) {
    auto state = ParseApprovedRecord(Record(3, kTimeBytes));
    ASSERT_TRUE(state);
    EXPECT_TRUE(state->disabled);
    EXPECT_EQ(state->disabledAt, kTime);

    state = ParseApprovedRecord(Record(7, {1, 0, 0, 0, 0, 0, 0, 0x80}));
    ASSERT_TRUE(state);
    EXPECT_EQ(state->disabledAt, 0x8000000000000001ull);

    // A record cut short still tells its state, without a time.
    state = ParseApprovedRecord(RegValue{regtype::Binary, {3, 0, 0, 0, 0x80, 0x30}});
    ASSERT_TRUE(state);
    EXPECT_TRUE(state->disabled);
    EXPECT_EQ(state->disabledAt, 0u);
}

TEST(StartupApprovedRecord, DataThatIsNoRecordSaysNothing) {
    EXPECT_FALSE(ParseApprovedRecord(RegValue{regtype::Binary, {}}));
    EXPECT_FALSE(ParseApprovedRecord(RegValue{regtype::Dword, {3, 0, 0, 0}}));
    EXPECT_FALSE(ParseApprovedRecord(RegValue{regtype::Sz, {'3', 0}}));
}

TEST(StartupApprovedRecord, WrittenRecordsAreTwelveBytesAsTaskManagerWritesThem) {
    EXPECT_EQ(ApprovedRecord(true, kTime),
              std::vector<std::uint8_t>({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));  // the time is dropped
    std::vector<std::uint8_t> disabled = {3, 0, 0, 0};
    disabled.insert(disabled.end(), kTimeBytes.begin(), kTimeBytes.end());
    EXPECT_EQ(ApprovedRecord(false, kTime), disabled);
    const auto back = ParseApprovedRecord(RegValue{regtype::Binary, ApprovedRecord(false, kTime)});
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->disabled);
    EXPECT_EQ(back->disabledAt, kTime);
}

TEST(StartupApprovedRecord, WindowsEightAndLaterKeepRecords) {
    EXPECT_FALSE(KeepsStartupApproved(std::nullopt));
    EXPECT_FALSE(KeepsStartupApproved(VersionRecord{2, 5, 1, 2600}));
    EXPECT_FALSE(KeepsStartupApproved(VersionRecord{2, 6, 0, 6002}));
    EXPECT_FALSE(KeepsStartupApproved(VersionRecord{2, 6, 1, 7601}));
    EXPECT_TRUE(KeepsStartupApproved(VersionRecord{2, 6, 2, 9200}));
    EXPECT_TRUE(KeepsStartupApproved(VersionRecord{2, 6, 3, 9600}));
    EXPECT_TRUE(KeepsStartupApproved(VersionRecord{2, 10, 0, 22631}));
    EXPECT_FALSE(KeepsStartupApproved(VersionRecord{1, 6, 2, 0}));  // not the NT family
}

TEST(StartupApprovedRecord, EachRunKeyHasItsOwnRecordKey) {
    const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::string run32 = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
    EXPECT_EQ(ApprovedPlaceOfRunValue(roots::LocalMachine, run, "A"),
              (ApprovedPlace{roots::LocalMachine, "Run", "A"}));
    EXPECT_EQ(ApprovedPlaceOfRunValue(roots::LocalMachine, run32, "A"),
              (ApprovedPlace{roots::LocalMachine, "Run32", "A"}));
    EXPECT_EQ(ApprovedPlaceOfRunValue(roots::CurrentUser,
                                      "\\SOFTWARE\\microsoft\\Windows\\CurrentVersion\\RUN\\", "b"),
              (ApprovedPlace{roots::CurrentUser, "Run", "b"}));
    EXPECT_EQ(ApprovedPlaceOfRunValue(roots::CurrentUser, run32, "b"),
              (ApprovedPlace{roots::CurrentUser, "Run32", "b"}));
    EXPECT_FALSE(ApprovedPlaceOfRunValue(roots::LocalMachine, run + "Services", "A"));
    EXPECT_FALSE(ApprovedPlaceOfRunValue(roots::LocalMachine, run + "\\Nested", "A"));
    EXPECT_FALSE(ApprovedPlaceOfRunValue(roots::LocalMachine, run + "-", "A"));
    EXPECT_FALSE(ApprovedPlaceOfRunValue(roots::Users, run, "A"));
}

}  // namespace
}  // namespace korvane
