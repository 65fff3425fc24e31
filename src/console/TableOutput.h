// How the console tool prints what it lists: a table of records (findings, history entries, ignore
// entries, startup and uninstall rows) as JSON (an array of objects), CSV (a header line, then RFC 4180
// records) or text (tab-separated columns under a header), so that scripts and people read the same.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "controls/ListView.h"

namespace korvane::console {

enum class Format { Text, Csv, Json };

// "text", "csv" or "json"; nothing for another word.
std::optional<Format> ParseFormat(const std::string& word);

// Records keep their keys in the order they were set; every record has the same keys.
using Records = nlohmann::ordered_json;

void WriteRecords(std::ostream& out, const Records& records, Format format);

// One record per row of a list: its check state where the list has check boxes, then one key per
// column titled as the column (the caption under the first).
Records RecordsOfList(const ListView& list);

}  // namespace korvane::console
