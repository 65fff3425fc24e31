// The whole road of a deletion, for random trees: recorded, deleted, saved to Backup.xml, read back as
// after a restart, restored — and the registry must be byte for byte what it was, every key (empty
// ones included), every value with its type and its bytes, every name as it was spelled. Whole trees
// go as key rows; single values (the default value among them) as value rows; one tree in three is
// reached through HKEY_CLASSES_ROOT while it lives in the user's classes.
#include <set>

#include "support/RandomRegistryTree.h"
#include "undo/HistoryTestSupport.h"

namespace korvane {
namespace {

using testing::GenerateTree;
using testing::ReadTree;

constexpr HKey HKCU = roots::CurrentUser;
constexpr HKey HKCR = roots::ClassesRoot;

class RoundTripPropertyTest : public testing::HistoryTest {
protected:
    // Where a tree lives, and how the deletion names it.
    struct Place {
        HKey root;          // as the deletion names it
        std::string base;   // the tree's key below that root
        std::string where;  // the same key in its hive, below HKEY_CURRENT_USER
    };
    static Place PlaceFor(std::uint64_t seed, const std::string& name) {
        if (seed % 3 == 0)
            return {HKCR, "KorvaneProperty\\" + name, "Software\\Classes\\KorvaneProperty\\" + name};
        return {HKCU, "Software\\KorvaneProperty\\" + name, "Software\\KorvaneProperty\\" + name};
    }
};

TEST_F(RoundTripPropertyTest, RandomTreesComeBackByteForByte) {
    for (std::uint64_t seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        registry.DeleteTreeRaw(HKCU, "Software");
        history.Clear();
        const Place tree = PlaceFor(seed, "Tree");
        const Place loose = PlaceFor(seed, "Loose");
        const auto treeKeys = GenerateTree(seed, 10 + static_cast<int>(seed) * 7);
        const auto looseKeys = GenerateTree(seed + 1000, 4);
        ASSERT_TRUE(testing::PlantTree(registry, HKCU, tree.where, treeKeys));
        ASSERT_TRUE(testing::PlantTree(registry, HKCU, loose.where, looseKeys));
        const auto treeBefore = ReadTree(registry, HKCU, tree.where);
        const auto looseBefore = ReadTree(registry, HKCU, loose.where);
        ASSERT_TRUE(treeBefore && looseBefore);

        // One key row for the whole tree, then one value row per value of the loose keys.
        UndoBatch batch = history.BeginBatch();
        const std::string parent = tree.base.substr(0, tree.base.rfind('\\'));
        batch.AddEntry("Tree", "", "");
        ASSERT_TRUE(batch.RecordForDeletion(KeyName::Key(tree.root, parent + "\\Tree")));
        int valueRows = 0;
        for (const auto& key : looseKeys) {
            for (const auto& value : key.values) {
                const std::string keyPath = "\\" + testing::BelowBase(loose.base, key.path);
                batch.AddEntry("Value", "", "");
                batch.RecordForDeletion(KeyName::Value(loose.root, keyPath, value.name));
                ++valueRows;
            }
        }
        history.SaveAhead(batch);
        ASSERT_EQ(batch.DeleteAll(), 1 + valueRows);
        EXPECT_FALSE(registry.KeyExistsRaw(HKCU, tree.where));
        const auto looseEmptied = ReadTree(registry, HKCU, loose.where);
        ASSERT_TRUE(looseEmptied);
        for (const auto& [path, values] : *looseEmptied) EXPECT_TRUE(values.empty()) << path;

        // As after a restart: the history is read back from Backup.xml.
        history.Load();
        ASSERT_EQ(history.EntryCount(), 1 + valueRows);
        while (history.EntryCount() > 0) history.RestoreEntry(0);
        EXPECT_EQ(ReadTree(registry, HKCU, tree.where), treeBefore);
        EXPECT_EQ(ReadTree(registry, HKCU, loose.where), looseBefore);
        // Nothing landed in the machine's classes on the way.
        EXPECT_FALSE(registry.KeyExistsRaw(roots::LocalMachine, "Software\\Classes\\KorvaneProperty"));
        EXPECT_EQ(registry.OpenHandleCount(), 0u);
    }
}

// The generator is what the property above stands on: it must make what it promises.
TEST_F(RoundTripPropertyTest, TheGeneratorCoversEveryAwkwardCase) {
    std::set<std::uint32_t> types;
    bool emptyKey = false, defaultValue = false, oddText = false, unterminated = false, zeroInside = false,
         loneSurrogateName = false, longName = false, backslashName = false;
    for (std::uint64_t seed = 1; seed <= 30; ++seed) {
        for (const auto& key : GenerateTree(seed, 10 + static_cast<int>(seed) * 7)) {
            emptyKey = emptyKey || (key.values.empty() && !key.path.empty());
            loneSurrogateName = loneSurrogateName || key.path.find("\xED\xA0\x80") != std::string::npos;
            for (const auto& value : key.values) {
                types.insert(value.value.type);
                defaultValue = defaultValue || value.name.empty();
                longName = longName || value.name.size() > 200;
                backslashName = backslashName || value.name.find('\\') != std::string::npos;
                const auto& data = value.value.data;
                if (value.value.type != regtype::Sz && value.value.type != regtype::ExpandSz) continue;
                oddText = oddText || data.size() % 2 == 1;
                const std::u16string units = Utf16Units(data);
                unterminated = unterminated || (!units.empty() && units.back() != u'\0');
                const size_t zero = units.find(u'\0');
                zeroInside = zeroInside || (zero != std::u16string::npos &&
                                            units.find_first_not_of(u'\0', zero) != std::u16string::npos);
            }
        }
    }
    for (std::uint32_t type :
         {regtype::None, regtype::Sz, regtype::ExpandSz, regtype::Binary, regtype::Dword,
          regtype::DwordBigEndian, regtype::Link, regtype::MultiSz, regtype::Qword, 0x4242u})
        EXPECT_EQ(types.count(type), 1u) << type;
    EXPECT_TRUE(emptyKey && defaultValue && oddText && unterminated && zeroInside && loneSurrogateName &&
                longName && backslashName);
}

}  // namespace
}  // namespace korvane
