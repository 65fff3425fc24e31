// korvanec's contract for fleet tools under Wine, against the real registry: the document validates
// against the schema, the exit codes, --out and --summary, an error stream that stays empty on
// success, a dry run that leaves the registry byte for byte as it was (exported with reg.exe before
// and after), and a user profile under HKEY_USERS\<SID> made by the test being scanned, fixed and
// restored. Wine cannot load a hive file (a signed-out user's NTUSER.DAT): the in-memory tests cover
// that (tests/console/AllUsersTest.cpp).
#include <KorvanecSchema.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>

#include "support/SchemaValidator.h"
#include "win32/scan/StaleEntries.h"

namespace korvane::win32::testing {
namespace {

constexpr wchar_t kSid[] = L"S-1-5-21-4242-4242-4242-1001";
constexpr wchar_t kProfileEntry[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-4242-4242-4242-1001";
constexpr wchar_t kUserFileExt[] =
    L"S-1-5-21-4242-4242-4242-1001\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\."
    L"korvanewineuser";

struct KorvanecRun {
    long exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string LastLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const std::size_t cut = text.find_last_of('\n');
    return cut == std::string::npos ? text : text.substr(cut + 1);
}

class FleetContractWineTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t own[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, own, MAX_PATH);
        scratch_ = std::filesystem::temp_directory_path() / L"korvanec-fleet-wine-test";
        std::filesystem::remove_all(scratch_);
        std::filesystem::create_directories(scratch_);
        std::filesystem::copy_file(std::filesystem::path(own).parent_path() / L"korvanec.exe",
                                   scratch_ / L"korvanec.exe");
        SeedStaleEntries();
    }
    void TearDown() override {
        RemoveStaleEntries();
        RemoveKeyTree(HKEY_USERS, kSid);
        RemoveKeyTree(HKEY_LOCAL_MACHINE, kProfileEntry);
        std::error_code ignored;
        std::filesystem::remove_all(scratch_, ignored);
    }

    // korvanec with its output on a pipe and its error stream in a file of its own.
    KorvanecRun Korvanec(const std::wstring& arguments) {
        KorvanecRun run;
        const std::filesystem::path errFile = scratch_ / L"stderr.txt";
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        UniqueHandle readEnd, writeEnd;
        UniqueFile errHandle(CreateFileW(errFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!errHandle || !CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0)) return run;
        SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = writeEnd.get();
        startup.hStdError = errHandle.get();
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        std::wstring commandLine = L"\"" + (scratch_ / L"korvanec.exe").wstring() + L"\" " + arguments;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                            scratch_.c_str(), &startup, &process))
            return run;
        UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
        writeEnd.reset();
        errHandle.reset();
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
            run.out.append(buffer, got);
        WaitForSingleObject(processHandle.get(), 120000);
        DWORD code = 0;
        GetExitCodeProcess(processHandle.get(), &code);
        run.exitCode = static_cast<long>(code);
        run.err = ReadAll(errFile);
        return run;
    }

    // `reg export KEY` as bytes: what the registry holds there, exactly.
    std::string Export(const std::wstring& key, const std::wstring& name) {
        const std::filesystem::path file = scratch_ / (name + L".reg");
        const ChildOutput out = RunAndRead(L"C:\\windows\\system32\\reg.exe export \"" + key + L"\" \"" +
                                           file.wstring() + L"\" /y");
        EXPECT_EQ(out.exitCode, 0) << ::testing::PrintToString(out.text);
        return ReadAll(file);
    }

    void ExpectValid(const KorvanecRun& run) {
        const nlohmann::json document = nlohmann::json::parse(run.out, nullptr, false);
        ASSERT_FALSE(document.is_discarded()) << run.out;
        const std::vector<std::string> errors = validator_.Errors(document);
        EXPECT_TRUE(errors.empty()) << ::testing::PrintToString(errors);
    }

    std::filesystem::path scratch_;
    korvane::testing::SchemaValidator validator_{nlohmann::json::parse(korvane::testing::kKorvanecSchema)};
};

TEST_F(FleetContractWineTest, RealOutputValidatesAndTheExitCodesHold) {
    const KorvanecRun scan = Korvanec(L"scan --format json");
    ASSERT_EQ(scan.exitCode, 1) << scan.err;
    ExpectValid(scan);
    EXPECT_TRUE(scan.err.empty()) << scan.err;
    const nlohmann::json document = nlohmann::json::parse(scan.out);
    EXPECT_FALSE(document["machine"].get<std::string>().empty());
    EXPECT_EQ(document["account"]["sid"].get<std::string>().rfind("S-1-5-", 0), 0u);
    EXPECT_GE(document["counts"]["checked"].get<int>(), static_cast<int>(SeededFindings().size()));

    // The uninstall list stops at the seeded entry whose UninstallString is a number, as the window does.
    RemoveKeyTree(HKEY_LOCAL_MACHINE, kUninstallNumber);
    for (const wchar_t* command :
         {L"history --format json", L"ignore list --format json", L"startup list --format json",
          L"uninstall list --format json", L"fix --all --dry-run --format json",
          L"restore --all --dry-run --format json"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(command)));
        const KorvanecRun run = Korvanec(command);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        ExpectValid(run);
    }
    EXPECT_EQ(Korvanec(L"scan --exit-zero").exitCode, 0);
    const KorvanecRun bad = Korvanec(L"scan --user not-a-sid");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("not a SID"), std::string::npos) << bad.err;
}

TEST_F(FleetContractWineTest, OutAndSummaryFitTheChannels) {
    const KorvanecRun summary = Korvanec(L"scan --summary --format json");
    ASSERT_EQ(summary.exitCode, 1) << summary.err;
    const std::string line = LastLine(summary.out);
    EXPECT_LE(line.size(), 2048u);
    EXPECT_EQ(line.rfind("korvanec scan: ", 0), 0u) << line;
    EXPECT_NE(line.find("; exit 1"), std::string::npos) << line;

    const KorvanecRun toFile = Korvanec(L"scan --out scan.json");
    ASSERT_EQ(toFile.exitCode, 1) << toFile.err;
    EXPECT_EQ(LastLine(toFile.out), line.substr(0, line.size()));
    EXPECT_EQ(toFile.out.find('{'), std::string::npos) << "only the summary goes to the output";
    const nlohmann::json written = nlohmann::json::parse(ReadAll(scratch_ / L"scan.json"), nullptr, false);
    ASSERT_FALSE(written.is_discarded());
    EXPECT_TRUE(validator_.Errors(written).empty());
    EXPECT_TRUE(toFile.err.empty()) << toFile.err;
}

TEST_F(FleetContractWineTest, ADryRunLeavesTheRegistryAsItWas) {
    const std::string machine = Export(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion", L"lm-before");
    const std::string user =
        Export(L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", L"cu-before");
    const std::string classes = Export(std::wstring(L"HKCR\\") + kClass, L"cr-before");

    const KorvanecRun dry = Korvanec(L"fix --all --dry-run --format json");
    ASSERT_EQ(dry.exitCode, 0) << dry.err;
    const nlohmann::json document = nlohmann::json::parse(dry.out);
    EXPECT_EQ(document["dryRun"], true);
    EXPECT_GE(document["changes"].get<int>(), static_cast<int>(SeededFindings().size()));

    EXPECT_EQ(Export(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion", L"lm-after"), machine);
    EXPECT_EQ(Export(L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", L"cu-after"), user);
    EXPECT_EQ(Export(std::wstring(L"HKCR\\") + kClass, L"cr-after"), classes);
    EXPECT_FALSE(std::filesystem::exists(scratch_ / L"Backup.xml"));
}

TEST_F(FleetContractWineTest, AProfileUnderHkeyUsersIsScannedFixedAndRestored) {
    SetText(HKEY_USERS, kUserFileExt, L"", L"");
    SetText(HKEY_LOCAL_MACHINE, kProfileEntry, L"ProfileImagePath", L"%SystemDrive%\\users\\korvanewine",
            REG_EXPAND_SZ);
    const std::string sid = "S-1-5-21-4242-4242-4242-1001";
    const std::string keyName =
        "HKEY_USERS\\" + std::string(std::begin(kUserFileExt), std::end(kUserFileExt) - 1);

    const KorvanecRun scan = Korvanec(std::wstring(L"scan --user ") + kSid + L" --format json");
    ASSERT_EQ(scan.exitCode, 1) << scan.err;
    ExpectValid(scan);
    const nlohmann::json scanned = nlohmann::json::parse(scan.out);
    bool listed = false;
    for (const auto& finding : scanned["findings"])
        if (finding["keyName"] == keyName) listed = finding["profile"] == sid && finding["checked"] == true;
    EXPECT_TRUE(listed) << scan.out;

    const KorvanecRun fix = Korvanec(std::wstring(L"fix --user ") + kSid + L" --format json --key \"" +
                                     std::wstring(keyName.begin(), keyName.end()) + L"\"");
    ASSERT_EQ(fix.exitCode, 0) << fix.err;
    EXPECT_EQ(nlohmann::json::parse(fix.out)["changes"], 1);
    UniqueHkey gone;
    EXPECT_NE(RegOpenKeyExW(HKEY_USERS, kUserFileExt, 0, KEY_READ, gone.put()), ERROR_SUCCESS);

    const KorvanecRun history = Korvanec(L"history --format json");
    ASSERT_EQ(history.exitCode, 0);
    EXPECT_EQ(nlohmann::json::parse(history.out)["entries"][0]["profile"], sid);
    const KorvanecRun restore = Korvanec(L"restore --all");
    ASSERT_EQ(restore.exitCode, 0) << restore.err;
    UniqueHkey back;
    EXPECT_EQ(RegOpenKeyExW(HKEY_USERS, kUserFileExt, 0, KEY_READ, back.put()), ERROR_SUCCESS);
}

}  // namespace
}  // namespace korvane::win32::testing
