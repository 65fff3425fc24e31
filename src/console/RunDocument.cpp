// The document and its summary line (see RunDocument.h).
#include "console/RunDocument.h"

#include <cstdio>

namespace korvane::console {

namespace {

// Days since 1970-01-01 to a civil date (proleptic Gregorian), after Howard Hinnant's algorithm.
void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
    month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0));
}

// Cuts `text` to at most `limit` bytes without splitting a UTF-8 character.
std::string CutUtf8(std::string text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
}

// A member of an object, or null when it has none (a const Records asserts on a missing key).
const Records& Field(const Records& object, const std::string& name) {
    static const Records none;
    if (!object.is_object()) return none;
    const auto it = object.find(name);
    return it == object.end() ? none : *it;
}

std::string Number(const Records& value) {
    return value.is_number() ? std::to_string(value.get<std::int64_t>()) : std::string("0");
}

}  // namespace

std::string UtcText(std::uint64_t fileTime) {
    constexpr std::uint64_t kUnixEpoch = 116444736000000000ull;  // 1970-01-01 as a FILETIME
    const std::int64_t seconds =
        fileTime >= kUnixEpoch ? static_cast<std::int64_t>((fileTime - kUnixEpoch) / 10000000ull) : 0;
    int year = 0, month = 0, day = 0;
    CivilFromDays(seconds / 86400, year, month, day);
    const std::int64_t inDay = seconds % 86400;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", year, month, day,
                  static_cast<int>(inDay / 3600), static_cast<int>(inDay / 60 % 60),
                  static_cast<int>(inDay % 60));
    return text;
}

Records MakeDocument(const RunFacts& facts, Records counts, const std::string& recordsName, Records records) {
    Records document = Records::object();
    document["schema"] = kDocumentSchema;
    document["tool"] = "korvanec";
    document["version"] = facts.version;
    document["command"] = facts.command;
    document["machine"] = facts.machine;
    document["startedUtc"] = facts.startedUtc;
    document["elapsedMs"] = facts.elapsedMs;
    document["elevated"] = facts.elevated;
    document["account"] = {{"sid", facts.accountSid}, {"name", facts.accountName}};
    document["scope"] = facts.scope;
    document["counts"] = std::move(counts);
    if (facts.dryRun) document["dryRun"] = *facts.dryRun;
    if (facts.changes) document["changes"] = *facts.changes;
    document["messages"] = facts.messages;
    document[recordsName] = std::move(records);
    return document;
}

Records FindingCounts(const Records& findings) {
    Records counts = Records::object();
    int checked = 0;
    Records answers = {{"missing", 0}, {"cannotTell", 0}, {"cameBack", 0}};
    Records groups = Records::object();
    for (const Records& finding : findings) {
        if (finding["checked"].get<bool>()) ++checked;
        Records& answer = answers[finding["answer"].get<std::string>()];
        answer = answer.get<int>() + 1;
        Records& group = groups[finding["group"]["name"].get<std::string>()];
        group = group.is_number() ? group.get<int>() + 1 : 1;
    }
    counts["findings"] = findings.size();
    counts["checked"] = checked;
    counts["byAnswer"] = std::move(answers);
    counts["byGroup"] = std::move(groups);
    return counts;
}

std::string SummaryLine(const Records& document, int exitCode) {
    const Records& counts = Field(document, "counts");
    const Records& answers = Field(counts, "byAnswer");
    const Records& command = Field(document, "command");
    std::string line = "korvanec " + (command.is_string() ? command.get<std::string>() : std::string()) + ":";
    std::string groups;
    if (counts.contains("findings")) {
        line +=
            " " + Number(counts["findings"]) + " findings, " + Number(Field(counts, "checked")) + " checked";
        line += " (missing " + Number(Field(answers, "missing")) + ", cannotTell " +
                Number(Field(answers, "cannotTell")) + ", cameBack " + Number(Field(answers, "cameBack")) +
                ")";
        for (const auto& [name, count] : Field(counts, "byGroup").items())
            groups += (groups.empty() ? "; groups: " : ", ") + name + " " + Number(count);
    } else if (counts.contains("records")) {
        line += " " + Number(counts["records"]) + " records";
    }
    if (document.contains("changes")) {
        const bool dry = Field(document, "dryRun").is_boolean() && document["dryRun"].get<bool>();
        line += dry ? "; dry run, changes " : "; changes ";
        line += Number(document["changes"]);
        if (counts.contains("left")) line += ", left " + Number(counts["left"]);
    }
    const Records& scope = Field(document, "scope");
    if (Field(scope, "profiles").is_array() && !scope["profiles"].empty())
        line += "; profiles " + std::to_string(scope["profiles"].size());
    if (Field(scope, "machineKeysOnly").is_boolean() && scope["machineKeysOnly"].get<bool>())
        line += "; machine keys only";
    const std::string tail = "; exit " + std::to_string(exitCode);
    // The groups are the part that may grow; the rest always fits.
    line = CutUtf8(line, kSummaryLimit - tail.size());
    if (line.size() + groups.size() + tail.size() > kSummaryLimit) {
        const std::string more = " ...";
        const std::size_t room = kSummaryLimit - tail.size() - line.size();
        groups = room > more.size() ? CutUtf8(groups, room - more.size()) + more : std::string();
    }
    line += groups + tail;
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    return line;
}

}  // namespace korvane::console
