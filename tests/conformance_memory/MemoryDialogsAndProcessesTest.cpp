// The in-memory dialogs (recorded messages, scripted confirmations) and processes (recorded calls,
// attached behaviour), and the MemoryPlatform bundle that hands them out.
#include <gtest/gtest.h>

#include "platform/memory/MemoryPlatform.h"

namespace korvane {
namespace {

TEST(MemoryDialogsTest, RecordsEveryMessageInOrder) {
    MemoryDialogs dialogs;
    dialogs.showMessage("plain");
    dialogs.messageBox("boxed", "Korvane", MessageIcon::Warning);
    dialogs.information("info");
    dialogs.error("Failed to set data for 'x'");
    auto records = dialogs.Records();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].kind, DialogKind::Message);
    EXPECT_EQ(records[1].kind, DialogKind::MessageBox);
    EXPECT_EQ(records[1].title, "Korvane");
    EXPECT_EQ(records[1].icon, MessageIcon::Warning);
    EXPECT_EQ(records[2].kind, DialogKind::Information);
    EXPECT_EQ(records[3].kind, DialogKind::Error);
    EXPECT_EQ(dialogs.Texts(),
              (std::vector<std::string>{"plain", "boxed", "info", "Failed to set data for 'x'"}));
    EXPECT_EQ(dialogs.Count(DialogKind::Error), 1u);
    dialogs.Clear();
    EXPECT_TRUE(dialogs.Records().empty());
}

TEST(MemoryDialogsTest, ConfirmationsAnswerFromTheScriptThenTheDefault) {
    MemoryDialogs dialogs;
    dialogs.ScriptAnswers({false, true, false});
    EXPECT_EQ(dialogs.UnusedAnswers(), 3u);
    EXPECT_FALSE(dialogs.confirm("first?"));
    EXPECT_TRUE(dialogs.confirm("second?"));
    EXPECT_FALSE(dialogs.confirm("third?"));
    EXPECT_TRUE(dialogs.confirm("fourth?"));  // default: Yes
    dialogs.SetDefaultAnswer(false);
    EXPECT_FALSE(dialogs.confirm("fifth?"));
    auto records = dialogs.Records();
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[1].text, "second?");
    EXPECT_TRUE(records[1].answer);
    EXPECT_EQ(records[1].kind, DialogKind::Confirm);
    EXPECT_EQ(dialogs.UnusedAnswers(), 0u);
}

TEST(MemoryProcessesTest, RecordsCallsAndPlaysTheAttachedBehaviour) {
    MemoryPlatform memory;
    MemoryProcesses& processes = memory.processes();
    EXPECT_EQ(processes.runHiddenAndWait("regedit /e x.reg", "C:\\Temp"), 0u);  // no behaviour: exit 0

    // A fake registry editor writing its export into the working folder.
    processes.SetBehaviour(
        [&](const std::string& commandLine, const std::string& folder) -> std::optional<std::uint32_t> {
            if (commandLine.rfind("regedit", 0) != 0) return std::nullopt;  // cannot start
            memory.files().writeFile(folder + "\\x.reg", "REGEDIT4");
            return 3;
        });
    EXPECT_EQ(processes.runHiddenAndWait("regedit /e x.reg", "C:\\Temp"), 3u);
    EXPECT_EQ(memory.files().ContentsRaw("C:\\Temp\\x.reg"), "REGEDIT4");
    EXPECT_FALSE(processes.runHiddenAndWait("missing.exe", "C:\\").has_value());
    EXPECT_FALSE(
        processes.start("C:\\Program Files\\App\\uninst.exe", "\"C:\\Program Files\\App\\uninst.exe\" /S"));

    auto calls = processes.Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[1].kind, ProcessCallKind::RunHiddenAndWait);
    EXPECT_EQ(calls[1].workingFolder, "C:\\Temp");
    EXPECT_EQ(calls[3].kind, ProcessCallKind::Start);
    EXPECT_EQ(calls[3].commandLine, "\"C:\\Program Files\\App\\uninst.exe\" /S");
    EXPECT_EQ(calls[3].applicationName, "C:\\Program Files\\App\\uninst.exe");
    EXPECT_EQ(calls[1].applicationName, "");
    processes.ClearCalls();
    EXPECT_TRUE(processes.Calls().empty());
}

TEST(MemoryProcessesTest, AnElevatedStartIsRecordedAndCanBeRefused) {
    MemoryPlatform memory;
    MemoryProcesses& processes = memory.processes();
    EXPECT_TRUE(processes.startElevated("C:\\Korvane\\Korvane.exe", "/page:tabScanErrors"));
    // The user says no to Windows' question: nothing starts.
    processes.SetBehaviour(
        [](const std::string&, const std::string&) { return std::optional<std::uint32_t>(); });
    EXPECT_FALSE(processes.startElevated("C:\\Korvane\\Korvane.exe", ""));
    const auto calls = processes.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, ProcessCallKind::StartElevated);
    EXPECT_EQ(calls[0].commandLine, "C:\\Korvane\\Korvane.exe /page:tabScanErrors");
    EXPECT_EQ(calls[0].workingFolder, "");
}

TEST(MemoryPlatformTest, BundlesTheSameObjectsItHandsOut) {
    MemoryPlatform memory;
    Platform& platform = memory.platform();
    EXPECT_EQ(&platform.registry, &memory.registry());
    EXPECT_EQ(&platform.files, &memory.files());
    EXPECT_EQ(&platform.system, &memory.system());
    EXPECT_EQ(&platform.processes, &memory.processes());
    EXPECT_EQ(&platform.ui, &memory.ui());
    EXPECT_EQ(&platform.dialogs, &memory.dialogs());
    // The folders the system facts name exist, and the facts can be changed by the test.
    EXPECT_TRUE(platform.files.fileExists(platform.system.executablePath()));
    EXPECT_TRUE(platform.files.directoryExists(platform.system.systemDirectory()));
    EXPECT_TRUE(platform.files.directoryExists(platform.system.tempDirectory()));
    memory.system().version = VersionRecord{2, 10, 0, 19045};
    EXPECT_EQ(platform.system.windowsVersion()->major, 10u);
    memory.system().version.reset();
    EXPECT_FALSE(platform.system.windowsVersion().has_value());
    // The locale's order puts "_" before letters, unlike the registry's order.
    EXPECT_LT(platform.system.compareText("_x", "a"), 0);
}

}  // namespace
}  // namespace korvane
