// The one fixture of the page and service tests: an in-memory machine with the program in
// C:\Korvane\ (its folder made) and the state every page shares. Suites that need the undo history or
// the ignore list add their owners on top of it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/AppState.h"
#include "core/XmlDocument.h"
#include "platform/memory/MemoryPlatform.h"

namespace korvane::testing {

class AppFixture : public ::testing::Test {
protected:
    AppFixture() {
        memory.files().AddFolder("C:\\Korvane");
        state.ProgramFolder = "C:\\Korvane\\";
    }

    // "SUBKEY|NAME|TYPE|VALUE" per ITEM of an undo-history entry, in document order.
    static std::vector<std::string> Items(const XmlElement& entry) {
        std::vector<std::string> out;
        for (const XmlElement& item : entry.Children())
            out.push_back(item.Attribute("SUBKEY") + "|" + item.Attribute("NAME") + "|" +
                          item.Attribute("TYPE") + "|" + item.Attribute("VALUE"));
        return out;
    }

    MemoryPlatform memory;
    MemoryRegistry& registry = memory.registry();
    AppState state{memory.platform()};
};

}  // namespace korvane::testing
