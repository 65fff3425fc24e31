// The startup sources per version class, their listing, and MoveStartupEntry for both parking
// schemes. Every routine makes its own RegistryAccess and lets it go before returning.
#include "startup/Startup.h"

#include "platform/Utf16.h"
#include "registry/KeyName.h"
#include "registry/RegistryAccess.h"
#include "registry/RegistryViews.h"
#include "registry/RootKeys.h"
#include "registry/RunKeys.h"
#include "registry/WriteRights.h"
#include "startup/StartupApproved.h"
#include "startup/StartupFolders.h"
#include "startup/StartupKinds.h"

namespace korvane {

namespace {

constexpr const char* kRunServicesKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";

RegValue TextValue(const std::string& text, std::uint32_t type) {
    return RegValue{type, RegistryTextBytes(text)};
}

// REG_EXPAND_SZ when the value is an expandable string, REG_SZ otherwise (also when absent), so that
// a move keeps a command's %…% references expandable.
std::uint32_t TextTypeOf(RegistryAccess& registry, const std::string& name) {
    RegValue value;
    if (registry.ReadRaw(name, value) && value.type == regtype::ExpandSz) return regtype::ExpandSz;
    return regtype::Sz;
}

std::uint32_t TextTypeAt(RegistryBackend& backend, HKey root, const std::string& keyPath,
                         const std::string& name) {
    RegistryAccess registry(backend);
    registry.SetRoot(root);
    if (!registry.OpenRegKeyReadOnly(keyPath)) return regtype::Sz;
    return TextTypeOf(registry, name);
}

// Opens `keyPath` of `root` with full rights, creating it when missing.
bool OpenForWriting(RegistryAccess& registry, HKey root, const std::string& keyPath) {
    registry.SetRoot(root);
    registry.SetAccess(access::AllAccess);
    registry.CloseRegKey();
    return registry.OpenRegKey(keyPath, CreateIfMissing::Yes);
}

// Whether `keyPath` of `root` holds a value `name` (that a move there would overwrite).
bool ValueIsThere(RegistryBackend& backend, HKey root, const std::string& keyPath, const std::string& name) {
    RegistryAccess registry(backend);
    registry.SetRoot(root);
    return registry.OpenRegKeyReadOnly(keyPath) && registry.ValueExists(name);
}

std::string DashTarget(const std::string& keyPath, bool enable) {
    // A parked key is its Run key's name followed by "-".
    return enable ? keyPath.substr(0, keyPath.size() - 1) : keyPath + "-";
}

// Why a key to be written did not open: for lack of rights, or otherwise.
MoveOutcome NotOpened(RegistryBackend& backend, HKey root, const std::string& keyPath) {
    return WriteRefused(backend, root, keyPath) ? MoveOutcome::NeedsAdministrator
                                                : MoveOutcome::TargetNotOpened;
}

MoveOutcome MoveDash(RegistryBackend& backend, const std::string& name, const std::string& command, HKey root,
                     const std::string& keyPath, bool enable) {
    const std::string targetPath = DashTarget(keyPath, enable);
    if (ValueIsThere(backend, root, targetPath, name)) return MoveOutcome::RefusedTargetTaken;
    // The value leaves its key after it was written to the other: both must be allowed first.
    if (WriteRefused(backend, root, keyPath)) return MoveOutcome::NeedsAdministrator;
    const std::uint32_t type = TextTypeAt(backend, root, keyPath, name);
    {
        RegistryAccess target(backend);
        if (!OpenForWriting(target, root, targetPath)) return NotOpened(backend, root, targetPath);
        target.WriteRaw(name, TextValue(command, type));
    }
    RegistryAccess source(backend);
    source.SetRoot(root);
    source.SetAccess(access::AllAccess);
    if (source.OpenRegKey(keyPath, CreateIfMissing::No)) source.DeleteValue(name);
    return MoveOutcome::Moved;
}

// The record that parks the entry, found by what it says of itself ("item", "hkey", "key"; "command"
// too when several say the same), never by the row's caption: the record's own name may differ (see
// FreeRecordName, and other programs' records). Empty when none does.
std::string FindRecord(RegistryBackend& backend, const std::string& name, const std::string& command,
                       const std::string& rootText, const std::string& keyPath) {
    RegistryAccess registry(backend);
    registry.SetRoot(roots::LocalMachine);
    if (!registry.OpenRegKeyReadOnly(kMsconfigStartupKey)) return {};
    std::vector<std::string> records;
    registry.ListSubkeys(records);
    std::string found;
    for (const std::string& record : records) {
        const std::string path = "\\" + std::string(kMsconfigStartupKey) + "\\" + record;
        if (!registry.OpenRegKeyReadOnly(path) || registry.ReadText("item") != name ||
            registry.ReadText("hkey") != rootText || FoldCase(registry.ReadText("key")) != FoldCase(keyPath))
            continue;
        if (registry.ReadText("command") == command) return path;
        if (found.empty()) found = path;
    }
    return found;
}

MoveOutcome EnableFromRecord(RegistryBackend& backend, const std::string& name, const std::string& command,
                             const std::string& rootText, HKey root, const std::string& keyPath) {
    if (ValueIsThere(backend, root, keyPath, name)) return MoveOutcome::RefusedTargetTaken;
    const std::string recordPath = FindRecord(backend, name, command, rootText, keyPath);
    // The record goes after the value was written: both must be allowed first, or the entry would be
    // listed twice.
    if (!recordPath.empty() && WriteRefused(backend, roots::LocalMachine, recordPath))
        return MoveOutcome::NeedsAdministrator;
    // Records written by the system configuration utility hold REG_SZ commands; ours keep the type.
    const std::uint32_t type =
        recordPath.empty() ? regtype::Sz : TextTypeAt(backend, roots::LocalMachine, recordPath, "command");
    {
        RegistryAccess run(backend);
        if (!OpenForWriting(run, root, keyPath)) return NotOpened(backend, root, keyPath);
        run.WriteRaw(name, TextValue(command, type));
    }
    if (recordPath.empty()) return MoveOutcome::Moved;
    RegistryAccess parking(backend);
    parking.SetRoot(roots::LocalMachine);
    parking.SetAccess(access::AllAccess);
    parking.DeleteRegKey(recordPath);
    return MoveOutcome::Moved;
}

// The name of a new record: the entry's own, or with " (2)", " (3)", ... when a record of that name
// is there already (the same name parked from the other root, say), so that none is overwritten.
std::string FreeRecordName(RegistryBackend& backend, const std::string& name) {
    RegistryAccess parking(backend);
    parking.SetRoot(roots::LocalMachine);
    const std::string base = "\\" + std::string(kMsconfigStartupKey) + "\\";
    std::string candidate = name;
    for (int n = 2; parking.KeyExists(base + candidate); ++n)
        candidate = name + " (" + std::to_string(n) + ")";
    return candidate;
}

MoveOutcome DisableToRecord(RegistryBackend& backend, const std::string& name, const std::string& command,
                            const std::string& rootText, HKey root, const std::string& keyPath) {
    RegistryAccess run(backend);
    if (!OpenForWriting(run, root, keyPath)) return NotOpened(backend, root, keyPath);
    const std::uint32_t type = TextTypeOf(run, name);

    // The record is written before the value goes, so that a refused write loses nothing.
    const std::string recordPath = std::string(kMsconfigStartupKey) + "\\" + FreeRecordName(backend, name);
    RegistryAccess parking(backend);
    if (!OpenForWriting(parking, roots::LocalMachine, recordPath))
        return NotOpened(backend, roots::LocalMachine, recordPath);
    try {
        parking.WriteRaw("command", TextValue(command, type));
        parking.WriteText("hkey", rootText);
        parking.WriteText("inimapping", "0");
        parking.WriteText("item", name);
        parking.WriteText("key", keyPath);
    } catch (...) {
        // A half-written record would be listed as a parked entry of its own.
        parking.CloseRegKey();
        parking.DeleteRegKey(recordPath);
        throw;
    }
    parking.CloseRegKey();
    run.DeleteValue(name);
    return MoveOutcome::Moved;
}

}  // namespace

ParkingScheme SchemeForVersionClass(int versionClass) {
    if (versionClass >= 1 && versionClass <= 4) return ParkingScheme::Dash;
    // Class 8 (NT 6.0 and later) keeps the layout of NT 5.x: msconfig still reads these records.
    if (versionClass >= 5 && versionClass <= 8) return ParkingScheme::SystemConfiguration;
    return ParkingScheme::None;
}

std::vector<StartupSource> StartupSources(int versionClass) {
    using enum StartupSourceKind;
    switch (SchemeForVersionClass(versionClass)) {
        case ParkingScheme::Dash:
            return {
                {roots::LocalMachine, kRunKey, RunValues, true},
                {roots::LocalMachine, kRunServicesKey, RunValues, true},
                {roots::LocalMachine, std::string(kRunKey) + "-", RunValues, false},
                {roots::LocalMachine, std::string(kRunServicesKey) + "-", RunValues, false},
            };
        case ParkingScheme::SystemConfiguration: {
            // HKCU's Run key is shared by both views: its 32-bit twin exists only where a program
            // wrote one, at the path HKLM's 32-bit view has.
            const std::string run32 = Wow64PathOf(roots::LocalMachine, kRunKey).value_or(kRunKey);
            const std::string runOnce32 = Wow64PathOf(roots::LocalMachine, kRunOnceKey).value_or(kRunOnceKey);
            std::vector<StartupSource> sources = {
                {roots::LocalMachine, kRunKey, ApprovedRunValues, true},
                {roots::LocalMachine, run32, ApprovedRunValues, true},
                {roots::CurrentUser, kRunKey, ApprovedRunValues, true},
                {roots::CurrentUser, run32, ApprovedRunValues, true},
                {roots::LocalMachine, kRunOnceKey, RunOnceValues, true},
                {roots::LocalMachine, runOnce32, RunOnceValues, true},
                {roots::CurrentUser, kRunOnceKey, RunOnceValues, true},
                {roots::CurrentUser, kShellFoldersKey, FolderFiles, true, startupfolder::User},
                {roots::LocalMachine, kShellFoldersKey, FolderFiles, true, startupfolder::Common},
            };
            if (versionClass == 8) sources.push_back({0, {}, Tasks, true});
            sources.push_back({0, {}, Services, true});
            sources.push_back({roots::LocalMachine, kMsconfigStartupKey, MsconfigRecords, false});
            return sources;
        }
        case ParkingScheme::None:
            break;
    }
    return {};
}

void ListRunKey(RegistryBackend& backend, ListView& list, const StartupSource& source,
                ApprovedStates states) {
    RegistryAccess registry(backend);
    registry.SetRoot(source.root);
    if (!registry.OpenRegKeyReadOnly(source.keyPath)) return;
    std::vector<std::string> names;
    registry.ListValueNames(names);
    const StartupKind kind =
        source.kind == StartupSourceKind::RunOnceValues ? StartupKind::RunOnceValue : StartupKind::RunValue;
    for (const std::string& name : names) {
        StartupEntry entry =
            RegistryStartupEntry(kind, source.root, source.keyPath, name, registry.ReadText(name));
        bool checked = source.checked;
        if (kind == StartupKind::RunValue) {
            entry.approved = ApprovedPlaceOfRunValue(source.root, source.keyPath, name);
            if (entry.approved && states == ApprovedStates::Read) {
                const auto state = ReadApprovedState(backend, *entry.approved);
                checked = !(state && state->disabled);
            }
        }
        list.Add(StartupRow(entry, entry.RegistryLocation(), checked));
    }
}

void ListMsconfigEntries(RegistryBackend& backend, ListView& list, HKey root, const std::string& keyPath) {
    RegistryAccess registry(backend);
    registry.SetRoot(root);
    if (!registry.OpenRegKeyReadOnly(keyPath) || !registry.HasSubkeys()) return;
    std::vector<std::string> records;
    registry.ListSubkeys(records);
    registry.CloseRegKey();
    for (const std::string& record : records) {
        if (!registry.OpenRegKeyReadOnly("\\" + keyPath + "\\" + record)) continue;
        StartupEntry entry;
        entry.kind = StartupKind::ParkedRecord;
        entry.name = registry.ReadText("item");
        entry.command = registry.ReadText("command");
        entry.rootText = registry.ReadText("hkey");
        entry.keyPath = registry.ReadText("key");
        entry.root = RootKeyFromAbbreviation(entry.rootText);
        if (entry.root != 0) entry.approved = ApprovedPlaceOfRunValue(entry.root, entry.keyPath, entry.name);
        list.Add(StartupRow(entry, entry.RegistryLocation(), false));
    }
}

MoveOutcome MoveStartupEntry(RegistryBackend& backend, const StartupEntry& entry, int versionClass,
                             bool enable) {
    const ParkingScheme scheme = SchemeForVersionClass(versionClass);
    if (scheme == ParkingScheme::None) return MoveOutcome::NoScheme;

    const std::string& name = entry.name;
    const std::string& command = entry.command;
    const std::string& rootText = entry.rootText;
    const std::string& keyPath = entry.keyPath;
    const HKey root = entry.root;
    if (root == 0) return MoveOutcome::RefusedUnknownRoot;
    // Without a key path the value would be written into the root key itself.
    if (keyPath.find_first_not_of('\\') == std::string::npos) return MoveOutcome::RefusedNoKeyPath;

    if (scheme == ParkingScheme::Dash) return MoveDash(backend, name, command, root, keyPath, enable);

    // The record is the sub-key named after the entry: an empty name would be the parking key
    // itself, and a backslash would reach into another record.
    if (name.empty() || name.find('\\') != std::string::npos) return MoveOutcome::RefusedName;
    if (enable) return EnableFromRecord(backend, name, command, rootText, root, keyPath);
    return DisableToRecord(backend, name, command, rootText, root, keyPath);
}

std::string MoveTargetLocation(const StartupEntry& entry, int versionClass, bool enable) {
    const std::string location = entry.RegistryLocation();
    switch (SchemeForVersionClass(versionClass)) {
        case ParkingScheme::Dash:
            return entry.keyPath.empty() ? location
                                         : entry.rootText + "\\" + DashTarget(entry.keyPath, enable);
        case ParkingScheme::SystemConfiguration:
            return enable ? location : "HKLM\\" + std::string(kMsconfigStartupKey);
        case ParkingScheme::None:
            break;
    }
    return location;
}

}  // namespace korvane
