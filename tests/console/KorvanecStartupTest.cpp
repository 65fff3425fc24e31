// korvanec startup list: the kinds beyond the Run keys, and the publisher column that only --verify
// fills (checking signatures costs time a script may not want to spend).
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "console/Korvanec.h"
#include "support/AppFixture.h"

namespace korvane::console {
namespace {

const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class KorvanecStartupTest : public testing::AppFixture {
protected:
    KorvanecStartupTest() {
        memory.system().version = VersionRecord{2, 10, 0, 19045};
        registry.SetString(roots::CurrentUser, kRun, "Signed", "C:\\Apps\\signed.exe");
        memory.files().AddFile("C:\\Apps\\signed.exe", "MZ");
        memory.signatures().SetAnswer("C:\\Apps\\signed.exe", {SignatureState::Verified, "Contoso Ltd", ""});
        registry.SetString(roots::CurrentUser, kRun, "Gone", "C:\\Apps\\gone.exe");
        ScheduledTask task;
        task.path = "\\Agent";
        task.name = "Agent";
        task.command = "C:\\Apps\\agent.exe";
        task.bootTrigger = true;
        memory.tasks().AddTask(task);
        memory.services().AddService({"Svc", "A Service", "C:\\Apps\\svc.exe"});
        memory.files().AddFile("C:\\Apps\\svc.exe", "MZ");
    }

    // Location and Publisher of each row, by name.
    std::map<std::string, std::pair<std::string, std::string>> Rows(const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunKorvanec(memory.platform(), args, out, err, false), 0) << err.str();
        std::map<std::string, std::pair<std::string, std::string>> rows;
        const nlohmann::json document = nlohmann::json::parse(out.str());
        for (const auto& row : document["records"])
            rows[row["startupItems"].get<std::string>()] = {row["location"].get<std::string>(),
                                                            row["publisher"].get<std::string>()};
        return rows;
    }
};

TEST_F(KorvanecStartupTest, ListsEveryKindAndVerifiesOnlyWhenAsked) {
    auto rows = Rows({"startup", "list", "--format", "json"});
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows["Agent"].first, "Scheduled task \\Agent");
    EXPECT_EQ(rows["A Service"].first, "Service Svc");
    for (const auto& [name, row] : rows) EXPECT_EQ(row.second, "") << name;
    EXPECT_EQ(memory.signatures().CheckCount(), 0);

    rows = Rows({"startup", "list", "--verify", "--format", "json"});
    EXPECT_EQ(rows["Signed"].second, "Verified: Contoso Ltd");
    EXPECT_EQ(rows["Gone"].second, "File not found");
    EXPECT_EQ(rows["Agent"].second, "File not found");
    EXPECT_EQ(rows["A Service"].second, "Unsigned");
}

}  // namespace
}  // namespace korvane::console
