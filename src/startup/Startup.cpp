// The startup sources per version class, their listing, and MoveStartupEntry for both parking
// schemes. Every routine makes its own RegistryAccess and lets it go before returning.
#include "startup/Startup.h"

#include "registry/RegistryAccess.h"
#include "registry/RootKeys.h"
#include "registry/WriteRights.h"

namespace korvane {

namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunServicesKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";

RegValue TextValue(const std::string& text, std::uint32_t type) {
    RegValue value{type, std::vector<std::uint8_t>(text.begin(), text.end())};
    value.data.push_back(0);
    return value;
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

// Why a key to be written did not open: for lack of rights, or otherwise.
MoveOutcome NotOpened(RegistryBackend& backend, HKey root, const std::string& keyPath) {
    return WriteRefused(backend, root, keyPath) ? MoveOutcome::NeedsAdministrator
                                                : MoveOutcome::TargetNotOpened;
}

MoveOutcome MoveDash(RegistryBackend& backend, const std::string& name, const std::string& command, HKey root,
                     const std::string& keyPath, bool enable) {
    // A parked key is its Run key's name followed by "-".
    const std::string targetPath = enable ? keyPath.substr(0, keyPath.size() - 1) : keyPath + "-";
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

MoveOutcome EnableFromRecord(RegistryBackend& backend, const std::string& name, const std::string& command,
                             HKey root, const std::string& keyPath) {
    const std::string recordPath = std::string(kMsconfigStartupKey) + "\\" + name;
    // The record goes after the value was written: both must be allowed first, or the entry would be
    // listed twice.
    if (WriteRefused(backend, roots::LocalMachine, recordPath)) return MoveOutcome::NeedsAdministrator;
    // Records written by the system configuration utility hold REG_SZ commands; ours keep the type.
    const std::uint32_t type = TextTypeAt(backend, roots::LocalMachine, recordPath, "command");
    {
        RegistryAccess run(backend);
        if (!OpenForWriting(run, root, keyPath)) return NotOpened(backend, root, keyPath);
        run.WriteRaw(name, TextValue(command, type));
    }
    RegistryAccess parking(backend);
    parking.SetRoot(roots::LocalMachine);
    parking.SetAccess(access::AllAccess);
    parking.DeleteRegKey(recordPath);
    return MoveOutcome::Moved;
}

MoveOutcome DisableToRecord(RegistryBackend& backend, const std::string& name, const std::string& command,
                            const std::string& rootText, HKey root, const std::string& keyPath) {
    RegistryAccess run(backend);
    if (!OpenForWriting(run, root, keyPath)) return NotOpened(backend, root, keyPath);
    const std::uint32_t type = TextTypeOf(run, name);

    // The record is written before the value goes, so that a refused write loses nothing.
    const std::string recordPath = std::string(kMsconfigStartupKey) + "\\" + name;
    RegistryAccess parking(backend);
    parking.SetRoot(roots::LocalMachine);
    const bool existed = parking.KeyExists(recordPath);
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
        if (!existed) parking.DeleteRegKey(recordPath);
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
        case ParkingScheme::SystemConfiguration:
            return {
                {roots::LocalMachine, kRunKey, RunValues, true},
                {roots::CurrentUser, kRunKey, RunValues, true},
                {roots::LocalMachine, kMsconfigStartupKey, MsconfigRecords, false},
            };
        case ParkingScheme::None:
            break;
    }
    return {};
}

void ListRunKey(RegistryBackend& backend, ListView& list, HKey root, const std::string& keyPath,
                bool checked) {
    RegistryAccess registry(backend);
    registry.SetRoot(root);
    if (!registry.OpenRegKeyReadOnly(keyPath)) return;
    std::vector<std::string> names;
    registry.ListValueNames(names);
    const std::string location = RootKeyAbbreviation(root) + "\\" + keyPath;
    for (const std::string& name : names) {
        list.Add(ListItem{name, {registry.ReadText(name), location}, checked});
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
        ListItem row{registry.ReadText("item"), {registry.ReadText("command")}, false};
        row.subItems.push_back(registry.ReadText("hkey") + "\\" + registry.ReadText("key"));
        list.Add(std::move(row));
    }
}

MoveOutcome MoveStartupEntry(RegistryBackend& backend, const std::string& name, const std::string& command,
                             const std::string& location, int versionClass, bool enable) {
    const ParkingScheme scheme = SchemeForVersionClass(versionClass);
    if (scheme == ParkingScheme::None) return MoveOutcome::NoScheme;

    const size_t slash = location.find('\\');
    const std::string rootText = location.substr(0, slash);
    const std::string keyPath = slash == std::string::npos ? std::string() : location.substr(slash + 1);
    const HKey root = RootKeyFromAbbreviation(rootText);
    if (root == 0) return MoveOutcome::RefusedUnknownRoot;
    // Without a key path the value would be written into the root key itself.
    if (keyPath.find_first_not_of('\\') == std::string::npos) return MoveOutcome::RefusedNoKeyPath;

    if (scheme == ParkingScheme::Dash) return MoveDash(backend, name, command, root, keyPath, enable);

    // The record is the sub-key named after the entry: an empty name would be the parking key
    // itself, and a backslash would reach into another record.
    if (name.empty() || name.find('\\') != std::string::npos) return MoveOutcome::RefusedName;
    if (enable) return EnableFromRecord(backend, name, command, root, keyPath);
    return DisableToRecord(backend, name, command, rootText, root, keyPath);
}

}  // namespace korvane
