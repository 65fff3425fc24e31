// The small control models: what a user's click or selection does to the model and in which order
// the handler sees it, and that the renderer hears of real changes only.
#include <gtest/gtest.h>

#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/ListBox.h"
#include "controls/Page.h"

namespace korvane {
namespace {

TEST(ControlsTest, CaptionAndEnabledNotifyOnlyOnChange) {
    Button button("btnFixSelected");
    int changes = 0;
    button.onChanged = [&](Control& c) {
        ++changes;
        EXPECT_EQ(&c, &button);
    };
    button.SetCaption("Fix S&elected");
    button.SetCaption("Fix S&elected");
    button.SetEnabled(false);
    button.SetEnabled(false);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(button.Caption(), "Fix S&elected");
    EXPECT_FALSE(button.Enabled());
}

TEST(ControlsTest, CheckBoxClickTogglesBeforeTheHandlerRuns) {
    CheckBox box("cbAutoRun");
    std::vector<bool> seen;
    box.onClick = [&] { seen.push_back(box.Checked()); };
    box.Click();
    box.Click();
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
    box.SetChecked(true);  // the program setting it runs no handler
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_TRUE(box.Checked());
}

TEST(ControlsTest, ListBoxSelectionFollowsDeletes) {
    ListBox list("ltbk");
    for (const char* item : {"a", "b", "c", "d"}) list.Add(item);
    list.SetItemIndex(2);
    list.Delete(0);  // before the selection: it moves up with its item
    EXPECT_EQ(list.ItemIndex(), 1);
    EXPECT_EQ(list.Items()[static_cast<size_t>(list.ItemIndex())], "c");
    list.Delete(1);  // the selected item itself: nothing is selected
    EXPECT_EQ(list.ItemIndex(), -1);
    list.Delete(7);  // out of range: ignored
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.IndexOf("d"), 1);
    EXPECT_EQ(list.IndexOf("z"), -1);
    EXPECT_TRUE(list.Contains("b"));
    list.SetItemIndex(9);  // out of range selects nothing
    EXPECT_EQ(list.ItemIndex(), -1);
}

TEST(ControlsTest, ListBoxUserSelectionReachesTheModelBeforeTheHandler) {
    ListBox list("ltbk");
    list.Add("2024-01-01");
    list.Add("2024-02-01");
    int seen = -2;
    list.onSelect = [&] { seen = list.ItemIndex(); };
    list.UserSelect(1);
    EXPECT_EQ(seen, 1);
    list.Clear();
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(list.Count(), 0);
}

class TestPage : public Page {
public:
    TestPage() : Page("tabTest") {
        Place(group, {5, 400, 520, 60});
        Place(button, {10, 20, 75, 25}, &group, Anchor::Bottom);
    }
    GroupBox group{"gbControl"};
    Button button{"btnTest"};
};

TEST(ControlsTest, PageListsItsControlsInCreationOrderAndPageControlShowsOne) {
    TestPage first, second;
    ASSERT_EQ(first.Controls().size(), 2u);
    EXPECT_EQ(first.Controls()[0], &first.group);
    EXPECT_EQ(first.button.parent, &first.group);
    EXPECT_EQ(first.button.anchor, Anchor::Bottom);
    EXPECT_EQ(first.button.bounds.width, 75);

    PageControl pages;
    pages.AddPage(first);
    pages.AddPage(second);
    int changes = 0;
    pages.onChanged = [&] { ++changes; };
    EXPECT_EQ(pages.ActivePage(), nullptr);
    pages.SetActivePage(second);
    pages.SetActivePage(second);
    EXPECT_EQ(pages.ActivePage(), &second);
    EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace korvane
