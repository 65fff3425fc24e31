// The one fixture of the page and service tests: an in-memory machine with the program in
// C:\Korvane\ (its folder made) and the state every page shares. Suites that need the undo history or
// the ignore list add their owners on top of it.
#pragma once

#include <gtest/gtest.h>

#include "core/AppState.h"
#include "platform/memory/MemoryPlatform.h"

namespace korvane::testing {

class AppFixture : public ::testing::Test {
protected:
    AppFixture() {
        memory.files().AddFolder("C:\\Korvane");
        state.ProgramFolder = "C:\\Korvane\\";
    }

    MemoryPlatform memory;
    MemoryRegistry& registry = memory.registry();
    AppState state{memory.platform()};
};

}  // namespace korvane::testing
