// The application fixture with the undo history built on its state, for the pages and services that
// record what they delete. The history starts unloaded: a suite loads it or starts it empty.
#pragma once

#include "support/AppFixture.h"
#include "undo/UndoHistory.h"

namespace korvane::testing {

class AppWithHistoryFixture : public AppFixture {
protected:
    UndoHistory history{state};
};

}  // namespace korvane::testing
