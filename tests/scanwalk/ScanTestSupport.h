// Shared set-up of the scan tests: an in-memory machine, a sink that records what a group hands over,
// and a runner for one group routine without the window.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <stop_token>
#include <string>
#include <vector>

#include "platform/memory/MemoryPlatform.h"
#include "scanwalk/ScanContext.h"
#include "scanwalk/ScanGroups.h"

namespace korvane::testing {

inline constexpr HKey HKLM = roots::LocalMachine;
inline constexpr HKey HKCU = roots::CurrentUser;
inline constexpr HKey HKCR = roots::ClassesRoot;

// Records labels, findings and written counts; the ignore set stands for the ignore list.
class RecordingSink : public ScanSink {
public:
    std::vector<std::string> labels;
    std::vector<ScanFinding> findings;
    std::map<int, int> written;  // group -> count written into its row
    std::set<std::string> ignored;
    std::function<void(const std::string&)> onLabel;
    std::function<void(const ScanFinding&)> onFinding;

    void BeginGroup(int group) override { counters[static_cast<size_t>(group)] = 0; }
    bool LabelDue() override { return true; }
    void SetLabel(std::string text) override {
        labels.push_back(std::move(text));
        if (onLabel) onLabel(labels.back());
    }
    void AddScanError(ScanFinding finding) override {
        if (ignored.count(finding.where.Text())) return;
        findings.push_back(std::move(finding));
        ++counters[static_cast<size_t>(findings.back().group)];
        if (onFinding) onFinding(findings.back());
    }
    void WriteCount(int group) override { written[group] = counters[static_cast<size_t>(group)]; }

    std::vector<std::string> KeyNames() const {
        std::vector<std::string> names;
        for (const auto& f : findings) names.push_back(f.where.Text());
        return names;
    }

private:
    std::array<int, kScanGroupCount> counters{};
};

class ScanGroupTest : public ::testing::Test {
protected:
    MemoryPlatform machine;
    MemoryRegistry& registry = machine.registry();
    MemoryFileSystem& files = machine.files();
    RecordingSink sink;
    std::stop_source stop;
    int versionClass = 6;                             // Windows XP
    std::chrono::milliseconds budget = kProbeBudget;  // what a drive, share or network test is given

    void Run(int group) {
        PathTester paths(files, machine.system(), registry, budget);
        ScanContext context(registry, paths, sink, stop.get_token(), versionClass);
        RunScanGroup(group, context);
    }
    void Text(HKey root, const std::string& path, const std::string& name, const std::string& text,
              std::uint32_t type = regtype::Sz) {
        registry.SetString(root, path, name, text, type);
    }
    // Asks for a stop when the label (or, for groups without labels, the finding's Key Name) appears.
    void StopAtLabel(const std::string& label) {
        sink.onLabel = [this, label](const std::string& text) {
            if (text == label) stop.request_stop();
        };
    }
    void StopAtFinding(const std::string& keyName) {
        sink.onFinding = [this, keyName](const ScanFinding& f) {
            if (f.where.Text() == keyName) stop.request_stop();
        };
    }
};

}  // namespace korvane::testing
