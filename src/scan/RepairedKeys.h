// The entries a repair deleted before, as the undo history remembers them: a finding whose Key Name a
// repair already deleted, and which is here again, is recreated by a program. Deleting it again would
// only start the same round once more, so such a finding is listed unchecked and says when it was
// repaired. An entry the user restored is no longer in the history, so it is judged afresh.
#pragma once

#include <string>
#include <unordered_map>

#include "scanwalk/ScanSink.h"
#include "undo/UndoHistory.h"

namespace korvane {

class RepairedKeys {
public:
    RepairedKeys() = default;
    // Taken on the thread that owns the history (the window's), before a run starts.
    static RepairedKeys From(const UndoHistory& history);

    // Marks `finding` when a repair deleted its Key Name before (the latest such repair's date).
    void Mark(ScanFinding& finding) const;
    bool Empty() const { return dates_.empty(); }

private:
    std::unordered_map<std::string, std::string> dates_;  // Key Name → date of its last repair
};

}  // namespace korvane
