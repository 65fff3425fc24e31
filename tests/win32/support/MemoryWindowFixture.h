// The real main window over the in-memory platform: the window tests that need no real registry or
// files drive it through window messages. Shared by the tests of tests/win32/window.
#pragma once

#include "platform/memory/MemoryPlatform.h"
#include "win32/support/WindowTest.h"

namespace korvane::win32::testing {

class MemoryWindowTest : public WindowTest {
protected:
    void SetUp() override {
        memory.files().AddFolder("C:\\Korvane");
        ASSERT_TRUE(OpenWindow(memory.platform(), SW_SHOWNOACTIVATE)) << "the window could not be created";
    }
    void TearDown() override { CloseWindow(); }

    MemoryPlatform memory;
};

}  // namespace korvane::win32::testing
