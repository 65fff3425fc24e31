// What a scan run hands on: the findings (with the evidence each rests on), the groups' starts and
// counts, and the progress label. The page supplies a sink that hands everything to the window's
// thread; tests supply one that records it.
#pragma once

#include <array>
#include <string>

#include "probe/Evidence.h"
#include "registry/KeyName.h"

namespace korvane {

inline constexpr int kScanGroupCount = 12;
// Row captions of lvScanGroups; a group's index is its row and its number.
extern const std::array<const char*, kScanGroupCount> ScanGroupNames;
// The Error Type under which each group files its findings.
extern const std::array<const char*, kScanGroupCount> kScanErrorTypes;

struct ScanFinding {
    int group = 0;
    std::string errorType;
    KeyName where;  // the key or value at fault; its text is the row's Key Name
    std::string keyValue;
    std::string guessPath;
    Evidence evidence{};  // what was tested and what the test answered
    bool certain = true;  // false when a test could not tell: the row is listed, never checked for repair
    // The Key Name was repaired before and is here again: something recreates it, so the row is listed
    // unchecked (the evidence says when it was repaired).
    bool cameBack = false;
    std::string repairedOn{};  // the date of that repair, as the history gives it ("" when unknown)
};

class ScanSink {
public:
    virtual ~ScanSink() = default;

    // The group's counter starts at 0.
    virtual void BeginGroup(int group) = 0;
    // Whether a label text given now would be shown; progress text may be coalesced, so a group
    // builds its label only when it is due.
    virtual bool LabelDue() = 0;
    virtual void SetLabel(std::string text) = 0;
    // AddScanError: the finding becomes a row (and counts) unless the ignore list holds its Key Name.
    virtual void AddScanError(ScanFinding finding) = 0;
    // Writes the group's counter into its row of lvScanGroups.
    virtual void WriteCount(int group) = 0;
};

}  // namespace korvane
