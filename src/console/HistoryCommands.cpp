// history and restore: the undo history as one document, and writing its entries back (or what
// writing them back would do).
#include <exception>
#include <set>

#include "console/Commands.h"
#include "console/Output.h"
#include "console/RunLog.h"

namespace korvane::console {

namespace {

// The SID of the profile an entry's Key Name lies in (HKEY_USERS\<SID>\… or <SID>_Classes\…).
Records ProfileOf(const std::string& keyName) {
    const std::string users = "HKEY_USERS\\";
    if (keyName.compare(0, users.size(), users) != 0) return nullptr;
    std::string first = keyName.substr(users.size());
    first = first.substr(0, first.find('\\'));
    const std::string classes = "_Classes";
    if (first.size() > classes.size() &&
        first.compare(first.size() - classes.size(), classes.size(), classes) == 0)
        first.resize(first.size() - classes.size());
    return LooksLikeSid(first) ? Records(first) : Records(nullptr);
}

Records EntryRow(const HistoryEntry& entry, int index) {
    Records row = Records::object();
    row["index"] = index;
    row["name"] = entry.name;
    row["type"] = entry.type;
    row["path"] = entry.path;
    return row;
}

// The row's fields and the profile the entry belongs to.
Records EntryRecord(const HistoryEntry& entry, int index) {
    Records record = EntryRow(entry, index);
    record["profile"] = ProfileOf(entry.type);
    return record;
}

}  // namespace

int HistoryCommand(Session& session, const Options& options, std::ostream& out, std::ostream& err) {
    CommandResult result{"history", {}, "entries", Records::array(), Records::array()};
    int index = 0;
    for (const HistoryEntry& entry : session.history.Entries()) {
        result.records.push_back(EntryRecord(entry, index));
        result.rows.push_back(EntryRow(entry, index));
        ++index;
    }
    result.counts = {{"records", index}};
    return Emit(session, options, std::move(result), out, err);
}

int RestoreCommand(Session& session, const Options& options, std::ostream& out, std::ostream& err) {
    const int count = session.history.EntryCount();
    std::set<int> chosen(options.indexes.begin(), options.indexes.end());
    if (options.all)
        for (int i = 0; i < count; ++i) chosen.insert(i);
    for (int index : chosen)
        if (index < 0 || index >= count)
            throw CommandError{"the history has no entry " + std::to_string(index) + " (it has " +
                               std::to_string(count) + ")"};

    const std::vector<HistoryEntry> entries = session.history.Entries();
    std::vector<KeyName> keys;
    std::vector<Records> records(entries.size());
    for (int index : chosen) {
        Records record = EntryRecord(entries[static_cast<std::size_t>(index)], index);
        Records written = Records::array();
        for (const KeyName& key : session.history.EntryKeys(index)) {
            written.push_back(key.Text());
            keys.push_back(key);
        }
        record["keys"] = std::move(written);
        records[static_cast<std::size_t>(index)] = std::move(record);
    }

    CommandResult result{"restore", {}, "entries", Records::array(), Records::array()};
    result.dryRun = options.dryRun;
    int restored = 0;
    int left = 0;
    if (options.dryRun) {
        for (int index : chosen) records[static_cast<std::size_t>(index)]["outcome"] = "wouldWrite";
        restored = static_cast<int>(chosen.size());
    } else {
        // A signed-out user's entries go back into that user's hive, loaded again for the run.
        session.AttachProfilesOf(keys);
        session.LockHistory();
        RunLog log(session.platform.files,
                   options.log.empty()
                       ? (session.ServiceRun() ? DefaultLogPath(session.Data().folder) : std::string())
                       : session.PathOfArgument(options.log));
        // From the last entry: restoring one removes it, which moves the later ones up.
        for (auto it = chosen.rbegin(); it != chosen.rend(); ++it) {
            Records& record = records[static_cast<std::size_t>(*it)];
            try {
                session.history.RestoreEntry(*it);
                record["outcome"] = "restored";
                ++restored;
                log.Add(UtcText(session.platform.system.systemTimeAsFileTime()) + " restore wrote " +
                        record["type"].get<std::string>() + " (history entry " + std::to_string(*it) + ")");
            } catch (const std::exception& error) {
                record["outcome"] = "left";
                session.dialogs.error(error.what());
                ++left;
            }
        }
        try {
            session.history.Save();
        } catch (const std::exception& error) {
            // The registry has the entries back, but the history still lists them: say so.
            session.dialogs.error("The undo history could not be saved: " + std::string(error.what()));
            left = static_cast<int>(chosen.size());
        }
        if (!log.Write()) session.dialogs.information("The log " + log.Path() + " cannot be written.");
    }
    for (int index : chosen) {
        result.records.push_back(records[static_cast<std::size_t>(index)]);
        result.rows.push_back(EntryRow(entries[static_cast<std::size_t>(index)], index));
    }
    result.counts = {{"records", static_cast<int>(chosen.size())}, {"left", left}};
    result.changes = restored;
    result.exitCode = left > 0 ? kExitLeft : kExitOk;
    result.text = (options.dryRun ? "would restore " : "restored ") + std::to_string(restored) + " of " +
                  std::to_string(chosen.size()) + (chosen.size() == 1 ? " entry" : " entries");
    return Emit(session, options, std::move(result), out, err);
}

}  // namespace korvane::console
