// Findings as records (see FindingRecord.h).
#include "console/FindingRecord.h"

#include <cstdint>

#include "registry/RegistryViews.h"
#include "registry/RootKeys.h"

namespace korvane::console {

const std::array<const char*, kScanGroupCount> kGroupIds = {
    "appPaths",   "clsid",         "helpFiles",       "fonts",       "runMru",    "startMenuOrder",
    "sharedDlls", "sharedFolders", "shellExtensions", "soundEvents", "uninstall", "fileExtensions"};

std::string FindingId(const KeyName& where) {
    std::string text = RootKeyName(where.root) + '\n' + ViewId(where) + '\n' + FoldCase(where.keyPath) + '\n';
    text += where.valueName ? "value:" + FoldCase(*where.valueName) : std::string("key");
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string id(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4) id[static_cast<std::size_t>(i)] = kDigits[hash & 0xF];
    return id;
}

const char* ViewId(const KeyName& where) {
    return IsWow64Path(where.keyPath) ? "32bit" : "64bit";
}

const char* AnswerId(const ScanFinding& finding) {
    if (finding.cameBack) return "cameBack";
    return finding.certain ? "missing" : "cannotTell";
}

bool CheckedForRepair(const ScanFinding& finding) {
    return finding.certain && !finding.cameBack;
}

Records FindingRecord(const ScanFinding& finding, const std::string& profile) {
    const KeyName& where = finding.where;
    Records record = Records::object();
    record["id"] = FindingId(where);
    const bool known = finding.group >= 0 && finding.group < kScanGroupCount;
    record["group"] = {{"number", finding.group},
                       {"name", known ? kGroupIds[static_cast<std::size_t>(finding.group)] : "unknown"}};
    record["key"] = {{"root", RootKeyName(where.root)},
                     {"path", where.keyPath},
                     {"value", where.valueName ? Records(*where.valueName) : Records(nullptr)},
                     {"view", ViewId(where)}};
    record["keyName"] = where.Text();
    record["data"] = finding.keyValue;
    record["target"] = finding.evidence.tested;
    record["answer"] = AnswerId(finding);
    record["reason"] = finding.evidence.answer;
    record["checked"] = CheckedForRepair(finding);
    record["profile"] = profile.empty() ? Records(nullptr) : Records(profile);
    return record;
}

Records FindingRow(const ScanFinding& finding) {
    const bool known = finding.group >= 0 && finding.group < kScanGroupCount;
    Records record = Records::object();
    record["group"] = finding.group;
    record["groupName"] = known ? ScanGroupNames[static_cast<std::size_t>(finding.group)] : "";
    record["errorType"] = finding.errorType;
    record["keyName"] = finding.where.Text();
    record["keyValue"] = finding.keyValue;
    record["guessPath"] = finding.guessPath;
    record["checked"] = CheckedForRepair(finding);
    return record;
}

}  // namespace korvane::console
