// Sorting a list view by a column: the header click's ascending-then-descending order, stability,
// a column's own comparison, rows added later, check marks and the reorder notice; and the edit box's
// change handler for typing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/EditBox.h"
#include "controls/ListView.h"

namespace korvane {
namespace {

ListItem Row(std::string caption, std::string second, bool checked = false) {
    ListItem item;
    item.caption = std::move(caption);
    item.subItems = {std::move(second)};
    item.checked = checked;
    return item;
}

std::vector<std::string> Captions(const ListView& list) {
    std::vector<std::string> captions;
    for (const ListItem& item : list.Items()) captions.push_back(item.caption);
    return captions;
}

class ListViewColumnSortTest : public ::testing::Test {
protected:
    ListViewColumnSortTest() {
        list.columns = {{"Name"}, {"Size"}};
        list.Add(Row("b", "10 KB", true));
        list.Add(Row("a", "9 KB"));
        list.Add(Row("c", "10 KB"));
    }
    ListView list{"lvTest"};
};

TEST_F(ListViewColumnSortTest, HeaderClickSortsAscendingThenDescendingKeepingEqualRowsInOrder) {
    EXPECT_EQ(list.SortColumn(), -1);
    list.ColumnClick(1);
    EXPECT_EQ(list.SortColumn(), 1);
    EXPECT_FALSE(list.SortDescending());
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"b", "c", "a"}));  // text order: "10 KB" < "9 KB"
    list.ColumnClick(1);
    EXPECT_TRUE(list.SortDescending());
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "b", "c"}));  // b before c: still stable
    list.ColumnClick(1);
    EXPECT_FALSE(list.SortDescending());
    list.ColumnClick(0);
    EXPECT_EQ(list.SortColumn(), 0);
    EXPECT_FALSE(list.SortDescending());  // another column starts ascending
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(ListViewColumnSortTest, ColumnsCompareByTheirOwnRuleAndTheListsTextRule) {
    list.columns[1].compare = [](const ListItem& a, const ListItem& b) {
        return std::stoi(a.subItems[0]) - std::stoi(b.subItems[0]);
    };
    list.SortByColumn(1, false);
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "b", "c"}));

    list.Add(Row("B", "1 KB"));  // sorted in by size: first
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"B", "a", "b", "c"}));
    list.textComparator = [](const std::string& a, const std::string& b) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(a[0]) - lower(b[0]);
    };
    list.SortByColumn(0, true);
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"c", "B", "b", "a"}));  // B and b: as they were
}

TEST_F(ListViewColumnSortTest, RowsAddedLaterTakeTheirPlaceAlsoAfterClear) {
    list.SortByColumn(0, true);
    EXPECT_EQ(list.Add(Row("bb", "")), 1);
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"c", "bb", "b", "a"}));
    list.Clear();
    list.Add(Row("x", ""));
    list.Add(Row("z", ""));
    list.Add(Row("y", ""));
    EXPECT_EQ(Captions(list), (std::vector<std::string>{"z", "y", "x"}));
    EXPECT_EQ(list.SetItemCaption(0, "a"), 2);  // a changed caption moves the row too
}

TEST_F(ListViewColumnSortTest, CheckMarksTravelWithTheirRowsAndTheOrderIsAnnounced) {
    std::vector<int> announced;
    int changes = 0;
    list.onReordered = [&](const std::vector<int>& order) { announced = order; };
    list.onChanged = [&](Control&) { ++changes; };
    list.ColumnClick(0);
    EXPECT_EQ(announced, (std::vector<int>{1, 0, 2}));  // a was row 1, b row 0, c row 2
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(list.Checked(0));
    EXPECT_TRUE(list.Checked(1));
    EXPECT_EQ(list.Item(1).caption, "b");

    // A caption comparator alone keeps the old behaviour: arrival order until a header is clicked.
    ListView sorted("lvSorted");
    sorted.sortComparator = [](const std::string& a, const std::string& b) { return a.compare(b); };
    sorted.Add(Row("b", "2"));
    sorted.Add(Row("a", "1"));
    EXPECT_EQ(Captions(sorted), (std::vector<std::string>{"a", "b"}));
    sorted.ColumnClick(0);
    sorted.ColumnClick(0);
    EXPECT_EQ(Captions(sorted), (std::vector<std::string>{"b", "a"}));
}

TEST(EditBoxChangeTest, TypingRunsTheHandlerAfterTheModelChangedAndTheProgramDoesNot) {
    EditBox edit("edFilter");
    std::vector<std::string> seen;
    edit.onChange = [&] { seen.push_back(edit.Text()); };
    edit.SetText("set by the program");
    EXPECT_TRUE(seen.empty());
    edit.UserSetText("ab");
    edit.UserSetText("ab");  // the same text again is no change
    edit.UserSetText("");
    EXPECT_EQ(seen, (std::vector<std::string>{"ab", ""}));
}

}  // namespace
}  // namespace korvane
