// Printing records as JSON, CSV or text (see TableOutput.h).
#include "console/TableOutput.h"

namespace korvane::console {

namespace {

std::string CellText(const Records& value) {
    if (value.is_string()) return value.get<std::string>();
    return value.dump();
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos &&
        (text.empty() || (text.front() != ' ' && text.back() != ' ')))
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

// Tabs and line breaks inside a cell would break the columns of the text form.
std::string TextField(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
}

}  // namespace

std::optional<Format> ParseFormat(const std::string& word) {
    if (word == "text") return Format::Text;
    if (word == "csv") return Format::Csv;
    if (word == "json") return Format::Json;
    return std::nullopt;
}

void WriteRecords(std::ostream& out, const Records& records, Format format) {
    if (format == Format::Json) {
        out << (records.empty() ? Records::array() : records).dump(2) << '\n';
        return;
    }
    if (records.empty()) return;
    const char* separator = format == Format::Csv ? "," : "\t";
    auto field = [format](const std::string& text) {
        return format == Format::Csv ? CsvField(text) : TextField(text);
    };
    bool first = true;
    for (const auto& [key, value] : records.front().items()) {
        out << (first ? "" : separator) << field(key);
        first = false;
    }
    out << (format == Format::Csv ? "\r\n" : "\n");
    for (const Records& record : records) {
        first = true;
        for (const auto& [key, value] : record.items()) {
            out << (first ? "" : separator) << field(CellText(value));
            first = false;
        }
        out << (format == Format::Csv ? "\r\n" : "\n");
    }
}

Records RecordsOfList(const ListView& list) {
    Records records = Records::array();
    for (const ListItem& row : list.Items()) {
        Records record = Records::object();
        if (list.checkBoxes) record["checked"] = row.checked;
        for (std::size_t column = 0; column < list.columns.size(); ++column) {
            const std::string text = column == 0                        ? row.caption
                                     : column - 1 < row.subItems.size() ? row.subItems[column - 1]
                                                                        : std::string();
            record[list.columns[column].title] = text;
        }
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace korvane::console
