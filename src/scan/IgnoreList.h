// The ignore list and the one owner of its file, ignore.xml: an IgnoreList root holding one ERROR
// element per ignored Key Name, split into ROOT, KEY and VALUE. The file always follows the process's
// current folder. It also holds the one ignore rule, which the scan asks for every finding and which
// "Add to Ignore List" writes entries for.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "core/StoredDocument.h"
#include "registry/KeyName.h"

namespace korvane {

struct IgnoreEntry {
    std::string root;   // the Key Name's text before the first "\"
    std::string key;    // strictly between the first and the last "\"; empty with a single "\"
    std::string value;  // after the last "\"
};

class IgnoreList {
public:
    explicit IgnoreList(Platform& platform);

    // At start-up, from the current folder (see StoredDocument::Load).
    void Load();
    // Writes the whole list to the current folder; throws XmlError when it cannot, or when the file
    // read at start-up could be neither read nor set aside.
    void Save();

    // The entries in document order; an attribute a hand-edited entry lacks reads as empty.
    std::vector<IgnoreEntry> Entries() const;
    int Count() const;
    // Appends an ERROR element with ROOT, KEY and VALUE, in this order, exactly as given.
    void Add(const IgnoreEntry& entry);
    // Appends the entry that holds `name`: its text split at the first and the last "\".
    void AddFinding(const KeyName& name);
    // Deletes the entry at `index`; the later ones move up.
    void Remove(int index);

    // The ignore rule: an entry holds a Key Name when its ROOT, "\", KEY, "\" and VALUE, joined
    // without change, equal the Key Name's text exactly (letter case included). An entry lacking one
    // of the attributes (a hand-edited file) holds nothing; it never fails.
    bool Holds(const KeyName& name) const;

    // The Key Names the list holds at one moment, for testing a batch of findings in one UI-thread
    // call (during which the list cannot change).
    class Snapshot {
    public:
        bool Holds(const KeyName& name) const { return names_.count(name.Text()) != 0; }

    private:
        friend class IgnoreList;
        std::unordered_set<std::string> names_;
    };
    Snapshot TakeSnapshot() const;

    XmlDocument& Document() { return file_.Document(); }

private:
    StoredDocument file_;
};

}  // namespace korvane
