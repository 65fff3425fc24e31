// A Remove whose save failed took the elements out of the document but left their rows, so rows and
// elements no longer paired up: the next Remove deleted the entry below the one the user checked.
#include <gtest/gtest.h>

#include "platform/memory/MemoryPlatform.h"
#include "scan/IgnoreList.h"
#include "scan/IgnorePage.h"

namespace korvane {
namespace {

std::vector<std::string> Values(const XmlDocument& document) {
    std::vector<std::string> out;
    for (const XmlElement& e : document.DocumentElement().Children()) out.push_back(e.Attribute("VALUE"));
    return out;
}

TEST(IgnoreRemoveAfterFailedSave, RowsFollowTheDocumentSoTheNextRemoveTakesTheCheckedEntry) {
    MemoryPlatform memory;
    memory.files().AddFolder("C:\\Work");
    memory.files().setCurrentDirectory("C:\\Work");
    IgnoreList ignoreList{memory.platform()};
    ignoreList.Load();
    IgnorePage page{ignoreList};
    for (const char* value : {"1", "2", "3", "4"}) {
        page.edRoot.SetText("R");
        page.edKeyName.SetText("K");
        page.edValue.SetText(value);
        page.btnAddClick();
    }

    memory.files().FailWrite("C:\\Work");
    page.lvIgnore.SetChecked(1, true);  // "2"
    EXPECT_THROW(page.btnRemove.Click(), XmlError);
    EXPECT_EQ(Values(ignoreList.Document()), (std::vector<std::string>{"1", "3", "4"}));
    ASSERT_EQ(page.lvIgnore.Count(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(page.lvIgnore.SubItem(row, 1), Values(ignoreList.Document())[static_cast<size_t>(row)]);
        EXPECT_FALSE(page.lvIgnore.Checked(row));
    }

    // The folder is writable again; the user now removes "4" and only "4".
    memory.files().ClearFailures();
    page.lvIgnore.SetChecked(2, true);
    page.btnRemove.Click();
    EXPECT_EQ(Values(ignoreList.Document()), (std::vector<std::string>{"1", "3"}));
    XmlDocument saved;
    saved.Load(memory.files(), "C:\\Work\\ignore.xml");
    EXPECT_EQ(Values(saved), (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(ignoreList.Count(), 2);
}

}  // namespace
}  // namespace korvane
