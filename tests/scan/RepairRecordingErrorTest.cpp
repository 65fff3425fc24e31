// An error in the middle of recording a repair (a registry call that fails as none should) used to
// leave the entries recorded so far in the history, saved at closing although nothing was deleted.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/memory/MemoryPlatform.h"
#include "scan/Repair.h"
#include "scan/ScanErrorList.h"
#include "support/ForwardingRegistry.h"

namespace korvane {
namespace {

// Lists values until the n-th listing, then fails as no registry call should: an unexpected error in
// the middle of recording.
class FailingListing : public testing::ForwardingRegistry {
public:
    FailingListing(RegistryBackend& inner, int failAt) : ForwardingRegistry(inner), left_(failAt) {}
    long enumValues(HKey key, std::vector<NamedRegValue>& out, bool withData) override {
        if (--left_ == 0) throw std::runtime_error("listing failed");
        return ForwardingRegistry::enumValues(key, out, withData);
    }

private:
    int left_;
};

TEST(RepairRecordingError, LeavesNoEntryAndDeletesNothing) {
    MemoryPlatform memory;
    MemoryRegistry& registry = memory.registry();
    memory.files().AddFolder("C:\\Korvane");
    registry.SetString(roots::CurrentUser, "Software\\A", "v", "1");
    registry.SetString(roots::CurrentUser, "Software\\B", "w", "2");
    FailingListing failing(registry, 2);
    Platform platform = memory.platform();
    Platform watched{failing,     platform.files,  platform.system, platform.processes,
                     platform.ui, platform.dialogs};
    AppState state{watched};
    state.ProgramFolder = "C:\\Korvane\\";
    UndoHistory history{state};
    history.Load();
    ListView lvErrors{"lvErrors"};
    AddErrorRow(lvErrors, ScanFinding{0, "A", KeyName::Key(roots::CurrentUser, "Software\\A"), "", ""});
    AddErrorRow(lvErrors, ScanFinding{0, "B", KeyName::Key(roots::CurrentUser, "Software\\B"), "", ""});
    EXPECT_THROW(btnFixSelectedClick(state, history, lvErrors), std::runtime_error);
    EXPECT_EQ(history.EntryCount(), 0);
    EXPECT_EQ(lvErrors.Count(), 2);
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\A"));
    EXPECT_TRUE(registry.KeyExistsRaw(roots::CurrentUser, "Software\\B"));
    EXPECT_FALSE(memory.files().fileExists("C:\\Korvane\\Backup.xml"));
}

}  // namespace
}  // namespace korvane
