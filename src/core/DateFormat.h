// The program's short date format, set once when the main window is created ("mm/dd/yyyy" with "/"),
// and the one routine that turns a date into text with it. Header only, so that pages can use it
// without linking the main window.
#pragma once

#include <cstdio>
#include <string>

#include "platform/SystemInfo.h"

namespace korvane {

struct DateFormat {
    char DateSeparator = '/';
    // Tokens: d, dd, m, mm, yy, yyyy; "/" stands for DateSeparator; anything else is copied.
    std::string ShortDateFormat = "mm/dd/yyyy";

    std::string FormatShortDate(const LocalDateTime& when) const {
        std::string out;
        const std::string& f = ShortDateFormat;
        for (size_t i = 0; i < f.size();) {
            char c = f[i];
            size_t run = 1;
            while (i + run < f.size() && f[i + run] == c) ++run;
            char buffer[16];
            if (c == 'd' || c == 'm') {
                int value = c == 'd' ? when.day : when.month;
                std::snprintf(buffer, sizeof buffer, run >= 2 ? "%02d" : "%d", value);
                out += buffer;
            } else if (c == 'y') {
                if (run >= 4)
                    std::snprintf(buffer, sizeof buffer, "%04d", when.year);
                else
                    std::snprintf(buffer, sizeof buffer, "%02d", when.year % 100);
                out += buffer;
            } else if (c == '/') {
                out.append(run, DateSeparator);
            } else {
                out.append(run, c);
            }
            i += run;
        }
        return out;
    }
};

}  // namespace korvane
