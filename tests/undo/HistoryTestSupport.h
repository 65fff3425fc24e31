// What the undo-history tests share: an in-memory platform with the program folder C:\Korvane\, the
// two documents started empty, and short ways to read ITEMs back.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/AppWithHistoryFixture.h"

namespace korvane::testing {

class HistoryTest : public AppWithHistoryFixture {
protected:
    HistoryTest() { history.Document().Reset("Korvane"); }

    XmlElement History() { return history.Document().DocumentElement(); }
    XmlElement NewEntry(const std::string& name = "Test") {
        XmlElement entry = History().AppendChild("ELEMENT");
        entry.SetAttribute("NAME", name);
        entry.SetAttribute("TYPE", "type");
        entry.SetAttribute("PATH", "path");
        return entry;
    }
};

}  // namespace korvane::testing
