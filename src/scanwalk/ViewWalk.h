// The walk of a group's key over the registry views it is found in, shared by the groups that read a
// key in both views (App Paths, the classes, shared DLLs, shell extensions, uninstall entries).
#pragma once

#include "registry/RegistryKey.h"
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

// What a walk of entry keys does with one that does not open.
enum class UnopenedEntry { EndsGroup, PassedOver };

// One view's walk of the entry keys below `base` (App Paths, uninstall entries): each is counted and
// labelled, and the text of its value `valueName` is filed unless its target is present, as the
// finding `findingOf(entry name)` names. A stop ends the walk after an entry.
template <class FindingOf>
Walk WalkEntryKeys(ScanContext& context, const ViewedKey& base, int group, const char* valueName,
                   UnopenedEntry unopened, FindingOf findingOf) {
    RegistryKey key(context.registry);
    if (!key.OpenReadOnly(base.root, base.path)) return Walk::NotOpened;
    const std::string prefix = LabelPrefix(base.Base());
    RegistryKey entry(context.registry);
    for (const std::string& name : key.Subkeys()) {
        context.Examined();
        context.Label([&] { return prefix + name; });
        if (!entry.OpenReadOnly(key.Handle(), name)) {
            if (unopened == UnopenedEntry::EndsGroup) return Walk::EndedEarly;
            continue;  // passed over without a stop test
        }
        if (const auto data = entry.ReadText(valueName))
            context.FileUnlessPresent(
                group, [&] { return findingOf(name); }, *data, base.view);
        if (context.StopRequested()) return Walk::EndedEarly;
    }
    return Walk::Completed;
}

}  // namespace korvane
