// Write-ahead recording of one action's deletions (see UndoBatch.h).
#include "undo/UndoBatch.h"

#include "registry/KeyName.h"
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
    entry.SetAttribute("NAME", name);
    entry.SetAttribute("TYPE", type);
    entry.SetAttribute("PATH", path);
    ++entries_;
    return entry;
}

bool UndoBatch::KeyExists(HKey root, const std::string& keyPath) {
    const RegistryPlace at = HiveOfKey(registry_, root, keyPath);
    int by = pending_.KeyTakenBy(at.root, at.keyPath);
    if (by >= 0) {
        hiddenBy_.insert(by);
        return false;
    }
    return RegKeyExists(registry_, at.root, at.keyPath);
}

bool UndoBatch::RecordKeyForDeletion(XmlElement entry, HKey root, const std::string& parentPath,
                                     const std::string& subKeyName) {
    std::string name = BackendPath(subKeyName);
    std::string parent = BackendPath(parentPath);
    std::string keyPath = "\\" + (parent.empty() ? name : parent + "\\" + name);
    if (name.empty() || containers_.Holds(root, keyPath)) {
        hiddenBy_.clear();
        return false;
    }
    // Recorded and deleted where it really is, so that it comes back there.
    const RegistryPlace at = HiveOfKey(registry_, root, keyPath);
    const size_t last = at.keyPath.rfind('\\');
    RecordRegistryEntry(entry, registry_, at.root, at.keyPath, "", RecordView{&pending_, &hiddenBy_});
    pending_.AddKey(at.root, at.keyPath);
    plans_.push_back(
        Plan{true, at.root, at.keyPath.substr(0, last), at.keyPath.substr(last + 1), std::move(hiddenBy_)});
    hiddenBy_.clear();
    return true;
}

void UndoBatch::RecordValueForDeletion(XmlElement entry, HKey root, const std::string& keyPath,
                                       const std::string& valueName) {
    const RegistryPlace at = HiveOfValue(registry_, root, keyPath, valueName);
    // Not RecordRegistryEntry: for the default value (empty name) it would take the whole key.
    RecordOneValue(entry, registry_, at.root, at.keyPath, valueName,
                   RecordView{&pending_, &hiddenBy_, &readKeys_});
    pending_.AddValue(at.root, at.keyPath, valueName);
    plans_.push_back(Plan{false, at.root, at.keyPath, valueName, std::move(hiddenBy_)});
    hiddenBy_.clear();
}

bool UndoBatch::RecordForDeletion(XmlElement entry, const KeyName& name) {
    if (!name.NamesValue())
        return RecordKeyForDeletion(entry, name.root, "\\" + name.ParentPath(), name.LastPart());
    RecordValueForDeletion(entry, name.root, name.AbsoluteKeyPath(), *name.valueName);
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
    plans_.clear();
}

int UndoBatch::DeleteAll() {
    gone_.assign(plans_.size(), false);
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
            gone[i] = DeleteRegSubKey(registry_, containers_, plan.root, plan.path, plan.name);
        } else {
            gone[i] = DeleteRegValueIn(registry_, writeKeys.Open(plan.root, plan.path), plan.root, plan.path,
                                       plan.name);
        }
        if (gone[i]) ++count;
    }
    return count;
}

}  // namespace korvane
