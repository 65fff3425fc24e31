// Restore-point names from the clock: the program's date format, the long time format and the
// character replacements that keep the name one plain folder name.
#include "backup/RestorePointName.h"

#include <cstdio>

#include "core/DateFormat.h"

namespace korvane {

namespace {

// Used when the system gives no time format: a name must still carry the time of day.
constexpr const char* kFallbackTimeFormat = "HH:mm:ss";

std::string Number(int value, size_t width) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, width >= 2 ? "%02d" : "%d", value);
    return buffer;
}

}  // namespace

std::string FormatLongTime(const LocalDateTime& when, const std::string& format) {
    std::string out;
    for (size_t i = 0; i < format.size();) {
        const char c = format[i];
        if (c == '\'') {
            // A quoted literal; two quotes in a row stand for one quote.
            size_t j = i + 1;
            for (; j < format.size(); ++j) {
                if (format[j] != '\'') {
                    out += format[j];
                } else if (j + 1 < format.size() && format[j + 1] == '\'') {
                    out += '\'';
                    ++j;
                } else {
                    break;
                }
            }
            i = j + 1;
            continue;
        }
        size_t run = 1;
        while (i + run < format.size() && format[i + run] == c) ++run;
        switch (c) {
            case 'h': {
                const int hour12 = when.hour % 12 == 0 ? 12 : when.hour % 12;
                out += Number(hour12, run);
                break;
            }
            case 'H':
                out += Number(when.hour, run);
                break;
            case 'm':
                out += Number(when.minute, run);
                break;
            case 's':
                out += Number(when.second, run);
                break;
            case 't': {
                const char* designator = when.hour < 12 ? "AM" : "PM";
                out += run >= 2 ? std::string(designator) : std::string(1, designator[0]);
                break;
            }
            default:
                out.append(run, c);
        }
        i += run;
    }
    return out;
}

std::string RestorePointName(const LocalDateTime& when, const std::string& longTimeFormat) {
    const std::string timeFormat = longTimeFormat.empty() ? kFallbackTimeFormat : longTimeFormat;
    std::string name = DateFormat{}.FormatShortDate(when) + " " + FormatLongTime(when, timeFormat);
    for (char& c : name) {
        if (c == ':')
            c = '_';
        else if (c == '/')
            c = '-';
        // A literal of an unusual time format must not make a path or an invalid folder name.
        else if (c == '\\' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
            c = '_';
    }
    // Windows drops trailing blanks and dots from folder names; the listed name must match the folder.
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    return name;
}

}  // namespace korvane
