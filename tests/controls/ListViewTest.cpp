// The list view model: sorted insertion that keeps arrival order among equal captions, re-sorting
// when a caption changes, check marks, sub-items, selection and batched change notifications.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>

#include "controls/ListView.h"

namespace korvane {
namespace {

int CompareText(const std::string& a, const std::string& b) {
    return a.compare(b);
}

ListItem Row(std::string caption, std::string tag = {}) {
    ListItem item;
    item.caption = std::move(caption);
    item.subItems = {std::move(tag)};
    return item;
}

// Captions and first sub-items of all rows, as "caption/tag" texts.
std::vector<std::string> Rows(const ListView& list) {
    std::vector<std::string> result;
    for (const ListItem& item : list.Items())
        result.push_back(item.caption + "/" + (item.subItems.empty() ? "" : item.subItems[0]));
    return result;
}

struct Counter {
    int changes = 0;
    void Watch(ListView& list) {
        list.onChanged = [this](Control&) { ++changes; };
    }
};

TEST(ListViewTest, UnsortedListKeepsArrivalOrder) {
    ListView list("lvHistory");
    EXPECT_EQ(list.Add(Row("b")), 0);
    EXPECT_EQ(list.Add(Row("a")), 1);
    EXPECT_EQ(list.Add(Row("c")), 2);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"b/", "a/", "c/"}));
}

TEST(ListViewTest, SortedInsertionPutsEqualCaptionsAfterTheLastEqualOne) {
    ListView list("lvErrors");
    list.sortComparator = CompareText;
    EXPECT_EQ(list.Add(Row("Shared DLL", "1")), 0);
    EXPECT_EQ(list.Add(Row("COM", "2")), 0);
    EXPECT_EQ(list.Add(Row("Shared DLL", "3")), 2);
    EXPECT_EQ(list.Add(Row("COM", "4")), 1);
    EXPECT_EQ(list.Add(Row("Fonts", "5")), 2);
    EXPECT_EQ(list.Add(Row("COM", "6")), 2);
    EXPECT_EQ(list.Add(Row("Zzz", "7")), 6);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"COM/2", "COM/4", "COM/6", "Fonts/5", "Shared DLL/1",
                                                    "Shared DLL/3", "Zzz/7"}));
}

TEST(ListViewTest, SortedInsertionMatchesAStableSortOnManyRows) {
    // Few distinct captions in random order: stability across the blocks the rows are kept in
    // (5,000 rows make a dozen of them).
    ListView list("lvErrors");
    list.sortComparator = CompareText;
    std::mt19937 random(7);
    std::vector<ListItem> expected;
    list.BeginUpdate();
    for (int i = 0; i < 5000; ++i) {
        ListItem item = Row("type" + std::to_string(random() % 12), std::to_string(i));
        expected.push_back(item);
        list.Add(std::move(item));
    }
    list.EndUpdate();
    std::stable_sort(expected.begin(), expected.end(),
                     [](const ListItem& a, const ListItem& b) { return a.caption < b.caption; });
    ASSERT_EQ(list.Count(), 5000);
    for (int i = 0; i < list.Count(); ++i) {
        ASSERT_EQ(list.Item(i).caption, expected[static_cast<size_t>(i)].caption) << i;
        ASSERT_EQ(list.SubItem(i, 0), expected[static_cast<size_t>(i)].subItems[0]) << i;
    }
}

TEST(ListViewTest, RandomEditsAgreeWithAPlainSortedVector) {
    // Rows live in blocks that split and vanish; a plain vector with the same rules is the reference.
    ListView list("lvErrors");
    list.sortComparator = CompareText;
    std::vector<std::pair<std::string, std::string>> reference;  // caption, tag
    auto place = [&](const std::string& caption) {
        size_t at = 0;
        while (at < reference.size() && reference[at].first <= caption) ++at;
        return at;
    };
    std::mt19937 random(11);
    for (int step = 0; step < 6000; ++step) {
        unsigned what = random() % 10;
        std::string caption = "c" + std::to_string(random() % 9);
        if (what < 6 || reference.empty()) {
            std::string tag = std::to_string(step);
            size_t at = place(caption);
            reference.insert(reference.begin() + static_cast<long>(at), {caption, tag});
            ASSERT_EQ(list.Add(Row(caption, tag)), static_cast<int>(at));
        } else if (what < 8) {
            size_t at = random() % reference.size();
            reference.erase(reference.begin() + static_cast<long>(at));
            list.Delete(static_cast<int>(at));
        } else {
            size_t at = random() % reference.size();
            auto row = reference[at];
            reference.erase(reference.begin() + static_cast<long>(at));
            row.first = caption;
            size_t target = place(caption);
            reference.insert(reference.begin() + static_cast<long>(target), row);
            ASSERT_EQ(list.SetItemCaption(static_cast<int>(at), caption), static_cast<int>(target));
        }
        if (step % 500 == 0 || step == 5999) {
            ASSERT_EQ(list.Count(), static_cast<int>(reference.size()));
            for (size_t i = 0; i < reference.size(); ++i) {
                ASSERT_EQ(list.Item(static_cast<int>(i)).caption, reference[i].first) << step << " " << i;
                ASSERT_EQ(list.SubItem(static_cast<int>(i), 0), reference[i].second) << step << " " << i;
            }
            ASSERT_EQ(list.Items().size(), reference.size());
        }
    }
    EXPECT_GT(list.Count(), 1500);  // enough rows for several blocks
}

TEST(ListViewTest, InjectedComparatorDecidesTheOrder) {
    ListView list("lvBHO");
    list.sortComparator = [](const std::string& a, const std::string& b) {
        std::string x = a, y = b;
        for (char& c : x) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (char& c : y) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return x.compare(y);
    };
    list.Add(Row("beta", "1"));
    list.Add(Row("Alpha", "2"));
    list.Add(Row("BETA", "3"));  // equal to "beta" for this comparator: goes after it
    list.Add(Row("alpha", "4"));
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"Alpha/2", "alpha/4", "beta/1", "BETA/3"}));
}

TEST(ListViewTest, SetItemCaptionResortsAndReturnsTheNewIndex) {
    ListView list("lvErrors");
    list.sortComparator = CompareText;
    list.Add(Row("b", "1"));
    list.Add(Row("b", "2"));
    list.Add(Row("d", "3"));
    list.Add(Row("", "4"));  // a row added empty and named afterwards, as the scan does

    ASSERT_EQ(Rows(list).front(), "/4");
    // Named "b": after the rows already called "b".
    EXPECT_EQ(list.SetItemCaption(0, "b"), 2);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"b/1", "b/2", "b/4", "d/3"}));
    // Moving to the end and to the front.
    EXPECT_EQ(list.SetItemCaption(0, "z"), 3);
    EXPECT_EQ(list.SetItemCaption(3, "a"), 0);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"a/1", "b/2", "b/4", "d/3"}));
    // The same caption again: the row goes behind its equals.
    EXPECT_EQ(list.SetItemCaption(1, "b"), 2);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"a/1", "b/4", "b/2", "d/3"}));
}

TEST(ListViewTest, SetItemCaptionInAnUnsortedListStaysInPlace) {
    ListView list("lvStartup");
    list.Add(Row("b"));
    list.Add(Row("a"));
    EXPECT_EQ(list.SetItemCaption(0, "z"), 0);
    EXPECT_EQ(list.Item(0).caption, "z");
}

TEST(ListViewTest, SortAfterTheComparatorIsSetIsStable) {
    ListView list("lvAddRemove");
    list.Add(Row("b", "1"));
    list.Add(Row("a", "2"));
    list.Add(Row("b", "3"));
    list.sortComparator = CompareText;
    list.Sort();
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"a/2", "b/1", "b/3"}));
}

TEST(ListViewTest, DeleteAndClear) {
    ListView list("lvIgnore");
    for (const char* caption : {"a", "b", "c"}) list.Add(Row(caption));
    list.Delete(1);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"a/", "c/"}));
    EXPECT_THROW(list.Delete(2), std::out_of_range);
    EXPECT_THROW(list.Delete(-1), std::out_of_range);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(ListViewTest, OutOfRangeNamesTheIndex) {
    ListView list("lvErrors");
    try {
        list.SetChecked(3, true);
        FAIL() << "no error";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (3)");
    }
    EXPECT_THROW(list.Item(0), std::out_of_range);
    EXPECT_THROW(list.SetItemCaption(0, "x"), std::out_of_range);
}

TEST(ListViewTest, ChecksAndSubItems) {
    ListView list("lvErrors");
    list.Add(Row("a", "key"));
    list.Add(Row("b"));
    list.SetChecked(1, true);
    EXPECT_FALSE(list.Checked(0));
    EXPECT_TRUE(list.Checked(1));
    list.UserToggleCheck(0);
    list.UserToggleCheck(1);
    EXPECT_TRUE(list.Checked(0));
    EXPECT_FALSE(list.Checked(1));
    list.SetAllChecked(true);
    EXPECT_TRUE(list.Checked(0) && list.Checked(1));

    EXPECT_EQ(list.SubItem(0, 0), "key");
    EXPECT_EQ(list.SubItem(0, 5), "");  // missing cells read as empty
    list.SetSubItem(1, 2, "guess");     // fills the cells before it with empty texts
    EXPECT_EQ(list.Item(1).subItems, (std::vector<std::string>{"", "", "guess"}));
    EXPECT_THROW(list.SetSubItem(1, -1, "x"), std::out_of_range);

    list.SetImageIndex(0, 4);
    list.SetData(0, "hidden");
    EXPECT_EQ(list.Item(0).imageIndex, 4);
    EXPECT_EQ(list.Item(0).data, "hidden");
}

TEST(ListViewTest, SingleSelectionKeepsOneRow) {
    ListView list("lvAddRemove");
    for (const char* caption : {"a", "b", "c"}) list.Add(Row(caption));
    EXPECT_EQ(list.FirstSelected(), -1);
    list.SetSelected(0, true);
    list.SetSelected(2, true);
    EXPECT_EQ(list.SelectedIndices(), std::vector<int>{2});
    ListItem selected = Row("d");
    selected.selected = true;
    list.Add(std::move(selected));
    EXPECT_EQ(list.SelectedIndices(), std::vector<int>{3});
    list.ClearSelection();
    EXPECT_EQ(list.FirstSelected(), -1);
}

TEST(ListViewTest, MultipleSelectionKeepsEveryRowAndFollowsDeletes) {
    ListView list("lvBHO");
    list.multiSelect = true;
    for (const char* caption : {"a", "b", "c", "d"}) list.Add(Row(caption));
    list.SetSelected(1, true);
    list.SetSelected(3, true);
    EXPECT_EQ(list.SelectedIndices(), (std::vector<int>{1, 3}));
    list.Delete(0);  // selection travels with its rows
    EXPECT_EQ(list.SelectedIndices(), (std::vector<int>{0, 2}));
    EXPECT_EQ(list.FirstSelected(), 0);
    list.SetSelected(0, false);
    EXPECT_EQ(list.SelectedIndices(), std::vector<int>{2});
}

TEST(ListViewTest, EveryChangeNotifiesOutsideAnUpdate) {
    ListView list("lvErrors");
    Counter counter;
    counter.Watch(list);
    list.Add(Row("a"));
    list.SetChecked(0, true);
    list.SetSubItem(0, 0, "x");
    list.SetItemCaption(0, "b");
    list.Delete(0);
    EXPECT_EQ(counter.changes, 5);
    // Changes that change nothing stay quiet.
    list.Add(Row("a"));
    int before = counter.changes;
    list.SetChecked(0, false);
    list.SetSubItem(0, 0, "");
    list.SetAllChecked(false);
    list.ClearSelection();
    list.Clear();
    list.Clear();
    EXPECT_EQ(counter.changes, before + 1);  // only the first Clear
}

TEST(ListViewTest, UpdateRaisesOneNotificationAtItsOutermostEnd) {
    ListView list("lvErrors");
    list.sortComparator = CompareText;
    Counter counter;
    counter.Watch(list);
    list.BeginUpdate();
    for (int i = 0; i < 100; ++i) list.Add(Row(std::to_string(i % 7)));
    list.BeginUpdate();
    list.SetAllChecked(true);
    list.EndUpdate();
    EXPECT_EQ(counter.changes, 0);
    EXPECT_TRUE(list.Updating());
    list.EndUpdate();
    EXPECT_EQ(counter.changes, 1);
    EXPECT_FALSE(list.Updating());

    // An update without changes says nothing; a stray EndUpdate does no harm.
    list.BeginUpdate();
    list.EndUpdate();
    list.EndUpdate();
    EXPECT_EQ(counter.changes, 1);
    list.Delete(0);
    EXPECT_EQ(counter.changes, 2);
}

TEST(ListViewTest, ATypedTagTravelsWithItsRowThroughSortsAndDeletes) {
    struct Record {
        int id = 0;
    };
    ListView list("lv");
    for (int id : {3, 1, 2}) {
        ListItem row{"same caption", {std::to_string(id)}};
        row.tag = Record{id};
        list.Add(std::move(row));
    }
    list.Add(ListItem{"untagged", {"9"}});
    list.SortByColumn(1, true);  // 9, 3, 2, 1
    EXPECT_EQ(list.Tag<Record>(0), nullptr);
    EXPECT_EQ(list.Tag<std::string>(1), nullptr);  // a tag of another type is none
    for (int i = 1; i < list.Count(); ++i) {
        ASSERT_NE(list.Tag<Record>(i), nullptr) << i;
        EXPECT_EQ(std::to_string(list.Tag<Record>(i)->id), list.SubItem(i, 0)) << i;
    }
    list.Delete(1);
    ASSERT_NE(list.Tag<Record>(1), nullptr);
    EXPECT_EQ(list.Tag<Record>(1)->id, 2);
    EXPECT_EQ(TagOf<Record>(list.Item(2))->id, 1);
}

}  // namespace
}  // namespace korvane
