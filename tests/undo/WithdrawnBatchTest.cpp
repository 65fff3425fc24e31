// A batch whose entries never reached the disk leaves no entry behind, however it ended: a refused
// save, an error while recording, or a caller that gave up. Its deletions did not happen, so entries
// for them would restore values over whatever is there by then.
#include "undo/HistoryTestSupport.h"

namespace korvane {
namespace {

class WithdrawnBatchTest : public testing::HistoryTest {
protected:
    WithdrawnBatchTest() {
        NewEntry("older");
        registry.SetString(roots::CurrentUser, "Software\\A", "v", "1");
        registry.SetString(roots::CurrentUser, "Software\\B", "w", "2");
    }
};

TEST_F(WithdrawnBatchTest, ABatchDroppedBeforeItsSaveTakesItsEntriesBack) {
    {
        UndoBatch batch = history.BeginBatch();
        batch.AddEntry("a", "k", "p");
        batch.RecordForDeletion(KeyName::Key(roots::CurrentUser, "Software\\A"));
        EXPECT_EQ(History().ChildCount(), 2);
    }
    ASSERT_EQ(History().ChildCount(), 1);
    EXPECT_EQ(History().Child(0).Attribute("NAME"), "older");
    {
        UndoBatch batch = history.BeginBatch();
        batch.AddEntry("refused", "k", "p");
        batch.Keep();  // stands for no deletion, kept on purpose
    }
    EXPECT_EQ(History().ChildCount(), 2);
    {
        UndoBatch batch = history.BeginBatch();
        batch.AddEntry("saved", "k", "p");
        batch.RecordForDeletion(KeyName::Key(roots::CurrentUser, "Software\\B"));
        history.SaveAhead(batch);
        batch.DeleteAll();
    }
    EXPECT_EQ(History().ChildCount(), 3);  // on disk before the deletion: it stays
    EXPECT_FALSE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\B"));
}

}  // namespace
}  // namespace korvane
