// A scan without the window: the chosen groups run one after the other on the calling thread, and
// each finding passes the same ignore rule and becomes the same kind of row (scan/ScanErrorList) as
// in the window, in the same order, so that both show the same findings.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/ListView.h"
#include "platform/Platform.h"
#include "scan/IgnoreList.h"

namespace korvane::console {

// Fills `lvErrors` (emptied first) with the findings of `groups` (numbers 0 to 11, in any order; each
// runs once, in number order). `progress`, when set, is told the name of each group as it starts.
void ScanInto(Platform& platform, const IgnoreList& ignoreList, const std::vector<int>& groups,
              ListView& lvErrors, const std::function<void(const std::string&)>& progress = {});

// The group an Error Type belongs to; -1 for none.
int GroupOfErrorType(const std::string& errorType);

}  // namespace korvane::console
