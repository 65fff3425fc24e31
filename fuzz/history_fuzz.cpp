// libFuzzer target: arbitrary bytes as Backup.xml and ignore.xml. Every history entry is restored
// into the in-memory registry through the Restore History page, the ignore list is shown, matched,
// edited and saved. Nothing may crash, hang or upset the sanitizers, and what the program saves
// must load again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "history/HistoryPage.h"
#include "platform/memory/MemoryPlatform.h"
#include "registry/RegistryAccess.h"
#include "scan/IgnorePage.h"
#include "scan/ScanErrorList.h"

using namespace korvane;

namespace {

// What the program writes must read back the same.
void CheckSavedTextLoads(const XmlDocument& document) {
    XmlDocument again;
    try {
        again.LoadText(document.SaveText());
    } catch (const XmlError&) {
        std::abort();
    }
    if (again.SaveText() != document.SaveText()) std::abort();
}

void FuzzHistory(MemoryPlatform& memory, const std::string& text) {
    AppState state(memory.platform());
    UndoHistory history(state);
    XmlDocument& document = history.Document();
    try {
        document.LoadText(text);
    } catch (const XmlError&) {
        return;
    }
    CheckSavedTextLoads(document);
    HistoryPage page(history);
    // Restore everything; an entry that stops the restore is dropped and the rest goes on.
    for (int round = 0; round < 10000; ++round) {
        page.btnRefresh2Click();
        if (page.lvHistory.Count() == 0) break;
        page.btnCheckAll1.SetCaption("Ch&eck All");
        page.btnCheckAll1Click();
        try {
            page.btnRestoreClick();
        } catch (const RegistryError&) {
            XmlElement root = document.DocumentElement();
            if (root.ChildCount() == 0) std::abort();  // a failed entry must stay in the history
            root.DeleteChild(root.ChildCount() - 1);
        }
    }
    if (document.DocumentElement().ChildCount() != 0) std::abort();
    document.Save(memory.files(), "C:\\Backup.xml");
}

void FuzzIgnore(MemoryPlatform& memory, const std::string& text) {
    IgnoreList ignoreList(memory.platform());
    try {
        ignoreList.Document().LoadText(text);
    } catch (const XmlError&) {
        return;
    }
    CheckSavedTextLoads(ignoreList.Document());
    IgnorePage page(ignoreList);
    page.FillFromDocument();
    const IgnoreList::Snapshot snapshot = ignoreList.TakeSnapshot();
    for (const auto& row : page.lvIgnore.Items()) {
        const KeyName name =
            KeyName::ParseKey(row.caption + "\\" + row.subItems.at(0) + "\\" + row.subItems.at(1));
        if (ignoreList.Holds(name) != snapshot.Holds(name)) std::abort();  // one rule, asked two ways
    }
    ListView errors("lvErrors");
    const KeyName finding = KeyName::ParseKey(text.substr(0, 64));
    AddErrorRow(errors, ScanFinding{0, "T", finding, "", ""});
    page.btnAdd2IgnoreClick(errors);
    const std::string keyName = finding.Text();
    if (!ignoreList.Holds(finding) && keyName.find('\\') != keyName.rfind('\\'))
        std::abort();  // a moved finding with two backslashes must match again
    page.btnCheckall2Click();
    page.btnRemoveClick();
    if (page.lvIgnore.Count() != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte says where the history ends and the ignore list begins.
    std::size_t split = 1 + (size - 1) * data[0] / 256;
    std::string history(reinterpret_cast<const char*>(data) + 1, split - 1);
    std::string ignore(reinterpret_cast<const char*>(data) + split, size - split);
    MemoryPlatform memory;
    FuzzHistory(memory, history);
    FuzzIgnore(memory, ignore);
    return 0;
}
