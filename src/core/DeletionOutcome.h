// What became of the deletions of one user action, entry by entry, as the undo history hands it back
// after planning, saving ahead and deleting. Plain data, so that the pages, the console and the
// reporter (DeletionReport.h) read the same answer.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace korvane {

enum class EntryFate : unsigned char {
    NothingPlanned,  // the entry stands for no deletion (a refused add-on), or the save failed first
    Deleted,         // everything the entry planned is gone
    NeedsRights,     // something stayed because the registry refused this process the right to delete
    Failed,          // something stayed for another reason
};

struct DeletionOutcome {
    // The history could not be saved ahead: nothing was deleted and the entries left the history.
    bool saveFailed = false;
    std::string saveError;  // what the save said
    // One per entry of the batch, in the order the entries were added.
    std::vector<EntryFate> entries;

    int Count(EntryFate fate) const {
        return static_cast<int>(std::count(entries.begin(), entries.end(), fate));
    }
    EntryFate Of(int entry) const {
        return entry >= 0 && static_cast<std::size_t>(entry) < entries.size()
                   ? entries[static_cast<std::size_t>(entry)]
                   : EntryFate::NothingPlanned;
    }
};

}  // namespace korvane
