// Removing the leftovers the user kept checked: registry traces are recorded in the undo history
// and saved there before the first is deleted (Restore History brings them back); files and folders
// go to the Recycle Bin, never deleted for good.
#pragma once

#include <string>
#include <vector>

#include "core/DeletionOutcome.h"
#include "platform/FileSystem.h"
#include "undo/UndoHistory.h"
#include "uninstall/Leftovers.h"

namespace korvane {

struct LeftoverRemoval {
    int removed = 0;
    std::vector<std::string> failed;  // Where() of every trace that is still there
    DeletionOutcome registry;         // what became of the registry traces, one entry each
};

// Removes every checked trace of `leftovers`, registry traces first. Each registry trace is one
// history entry (NAME: "<kind> of <program>", TYPE: its Key Name, PATH: its evidence). A refused save
// of the history deletes nothing of the registry, moves no file, and an XmlError with the save's words
// is thrown.
LeftoverRemoval RemoveLeftovers(UndoHistory& history, FileSystem& files, const std::string& programName,
                                const std::vector<Leftover>& leftovers);

}  // namespace korvane
