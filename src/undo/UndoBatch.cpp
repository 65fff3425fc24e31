// Write-ahead recording of one action's deletions (see UndoBatch.h).
#include "undo/UndoBatch.h"

#include "registry/KeyName.h"
#include "registry/WriteRights.h"
#include "undo/ClassesRootHive.h"
#include "undo/RegistryDelete.h"

namespace korvane {

UndoBatch::UndoBatch(RegistryBackend& registry, XmlDocument& history, const ContainerKeys& containers)
    : registry_(registry),
      history_(history),
      containers_(containers),
      firstEntry_(history.DocumentElement().ChildCount()),
      readKeys_(registry, access::Read) {}

UndoBatch::~UndoBatch() {
    if (!settled_) Withdraw();
}

XmlElement UndoBatch::AddEntry(const std::string& name, const std::string& type, const std::string& path) {
    XmlElement entry = history_.DocumentElement().AppendChild("ELEMENT");
    entry.AddAttribute("NAME", name);
    entry.AddAttribute("TYPE", type);
    entry.AddAttribute("PATH", path);
    ++entries_;
    lastEntry_ = entry;
    return entry;
}

bool UndoBatch::KeyExists(const KeyName& key) {
    const RegistryPlace at = HiveOfKey(registry_, key.root, key.AbsoluteKeyPath());
    int by = pending_.KeyTakenBy(at.root, at.keyPath);
    if (by >= 0) {
        hiddenBy_.insert(by);
        return false;
    }
    return RegKeyExists(registry_, at.root, at.keyPath);
}

bool UndoBatch::RecordKeyForDeletion(HKey root, const std::string& keyPath) {
    if (keyPath.empty() || containers_.Holds(root, keyPath)) {
        hiddenBy_.clear();
        return false;
    }
    // Recorded and deleted where it really is, so that it comes back there.
    const RegistryPlace at = HiveOfKey(registry_, root, "\\" + keyPath);
    RecordRegistryEntry(lastEntry_, registry_, at.root, at.keyPath, "", RecordView{&pending_, &hiddenBy_});
    pending_.AddKey(at.root, at.keyPath);
    plans_.push_back(Plan{true, entries_ - 1, at.root, BackendPath(at.keyPath), {}, std::move(hiddenBy_)});
    hiddenBy_.clear();
    return true;
}

void UndoBatch::RecordValueForDeletion(HKey root, const std::string& keyPath, const std::string& valueName) {
    const RegistryPlace at = HiveOfValue(registry_, root, keyPath, valueName);
    // Not RecordRegistryEntry: for the default value (empty name) it would take the whole key.
    RecordOneValue(lastEntry_, registry_, at.root, at.keyPath, valueName,
                   RecordView{&pending_, &hiddenBy_, &readKeys_});
    pending_.AddValue(at.root, at.keyPath, valueName);
    plans_.push_back(Plan{false, entries_ - 1, at.root, at.keyPath, valueName, std::move(hiddenBy_)});
    hiddenBy_.clear();
}

bool UndoBatch::RecordForDeletion(const KeyName& name) {
    if (!lastEntry_) return false;
    if (!name.NamesValue()) return RecordKeyForDeletion(name.root, name.keyPath);
    if (name.keyPath.empty()) return false;  // a value of a root itself
    RecordValueForDeletion(name.root, name.AbsoluteKeyPath(), *name.valueName);
    return true;
}

void UndoBatch::SaveAhead(FileSystem& files, const std::string& path) {
    if (entries_ == 0) return;
    try {
        history_.Save(files, path);
    } catch (...) {
        Withdraw();
        throw;
    }
    settled_ = true;
}

void UndoBatch::Withdraw() {
    XmlElement root = history_.DocumentElement();
    if (root.ChildCount() < firstEntry_ + entries_) entries_ = 0;  // not the document it appended to
    for (int i = firstEntry_ + entries_ - 1; i >= firstEntry_; --i) root.DeleteChild(i);
    entries_ = 0;
    lastEntry_ = XmlElement();
    plans_.clear();
}

int UndoBatch::DeleteAll() {
    gone_.assign(plans_.size(), false);
    // Made before the deletions free what the records held, not after.
    fates_.assign(static_cast<size_t>(entries_), EntryFate::NothingPlanned);
    std::vector<bool>& gone = gone_;
    readKeys_.Close();
    // Runs of values of one key (a repair of SharedDLLs, say) go through one open key.
    ReusedKey writeKeys(registry_, access::AllAccess);
    int count = 0;
    for (size_t i = 0; i < plans_.size(); ++i) {
        const Plan& plan = plans_[i];
        bool blocked = false;
        for (int earlier : plan.dependsOn) blocked = blocked || !gone[static_cast<size_t>(earlier)];
        if (blocked) continue;
        if (plan.isKey) {
            writeKeys.Close();  // the key deletion could take the open key with it
            gone[i] = DeleteRegKeyTree(registry_, plan.root, plan.path);  // containers refused when planned
        } else {
            gone[i] = DeleteRegValueIn(registry_, writeKeys.Open(plan.root, plan.path), plan.root, plan.path,
                                       plan.name);
        }
        if (gone[i]) ++count;
    }
    SettleFates();
    return count;
}

void UndoBatch::SettleFates() {
    for (size_t i = 0; i < plans_.size(); ++i) {
        const Plan& plan = plans_[i];
        if (plan.entry < 0 || plan.entry >= entries_) continue;
        EntryFate& fate = fates_[static_cast<size_t>(plan.entry)];
        if (fate == EntryFate::NothingPlanned) fate = EntryFate::Deleted;
        if (gone_[i]) continue;
        // The key that would have to be written: the deleted key itself, or the value's key.
        if (WriteRefused(registry_, plan.root, plan.path))
            fate = EntryFate::NeedsRights;
        else if (fate != EntryFate::NeedsRights)
            fate = EntryFate::Failed;
    }
}

}  // namespace korvane
