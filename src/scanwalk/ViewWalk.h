// The walk of a group's key over the registry views it is found in, shared by the groups that read a
// key in both views (App Paths, the classes, shared DLLs, shell extensions, uninstall entries).
#pragma once

#include "scanwalk/ScanGroups.h"

namespace korvane {

// How one view's walk of a group's key ended.
enum class Walk { NotOpened, Completed, EndedEarly };

// Runs `walk` over every view of `base`; the count is written when a view's key opened and no walk
// ended early.
template <class WalkOneView>
void WalkViews(ScanContext& context, int group, const BaseKey& base, WalkOneView walk) {
    context.BeginGroup(group);
    bool opened = false;
    for (const ViewedKey& view : ViewsOf(context, base)) {
        const Walk result = walk(context, view);
        if (result == Walk::EndedEarly) return;
        opened = opened || result == Walk::Completed;
    }
    if (opened) context.WriteCount(group);
}

}  // namespace korvane
