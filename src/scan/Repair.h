// Repair of the checked findings of the error list: each is recorded in the undo history, then
// deleted from the registry, and its row leaves the list.
#pragma once

#include "app/AppState.h"
#include "controls/ListView.h"

namespace korvane {

// The handler behind "Fix S&elected".
void btnFixSelectedClick(AppState& state, ListView& lvErrors);

}  // namespace korvane
