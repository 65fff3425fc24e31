// The words the pages show for a signature, what counts as Microsoft's, and the session cache.
#include <gtest/gtest.h>

#include "core/PublisherChecks.h"
#include "core/SignatureCache.h"
#include "platform/memory/MemoryPlatform.h"

namespace korvane {
namespace {

TEST(PublisherTextTest, EachStateHasItsText) {
    EXPECT_EQ(PublisherText({SignatureState::Verified, "Contoso Ltd", ""}), "Verified: Contoso Ltd");
    EXPECT_EQ(PublisherText({SignatureState::NotVerified, "", "the certificate has expired"}),
              "Not verified: the certificate has expired");
    EXPECT_EQ(PublisherText({SignatureState::Unsigned, "", ""}), "Unsigned");
    EXPECT_EQ(PublisherText({SignatureState::FileNotFound, "", ""}), "File not found");
}

TEST(PublisherTextTest, OnlyAHoldingSignatureOfMicrosoftCountsAsMicrosoft) {
    EXPECT_TRUE(IsVerifiedMicrosoft({SignatureState::Verified, "Microsoft Windows", ""}));
    EXPECT_TRUE(IsVerifiedMicrosoft({SignatureState::Verified, "Microsoft Corporation", ""}));
    EXPECT_TRUE(IsVerifiedMicrosoft({SignatureState::Verified, "Microsoft", ""}));
    EXPECT_FALSE(IsVerifiedMicrosoft({SignatureState::Verified, "Microsofty Tools Ltd", ""}));
    EXPECT_FALSE(IsVerifiedMicrosoft({SignatureState::Verified, "microsoft corporation", ""}));
    EXPECT_FALSE(IsVerifiedMicrosoft({SignatureState::NotVerified, "Microsoft Corporation", "revoked"}));
}

TEST(SignatureCacheTest, KeepsAnAnswerPerFileSizeAndTime) {
    MemoryPlatform memory;
    memory.files().AddFile("C:\\a.exe", "MZ");
    memory.signatures().SetAnswer("C:\\a.exe", {SignatureState::Verified, "A", ""});
    SignatureCache cache(memory.signatures());
    EXPECT_EQ(cache.Check("C:\\a.exe").subject, "A");
    EXPECT_EQ(cache.Check("c:\\A.EXE").subject, "A");  // the same file, as Windows names it
    EXPECT_EQ(memory.signatures().CheckCount(), 1);

    // Another size: the file was replaced.
    memory.files().AddFile("C:\\a.exe", "MZ and more");
    memory.signatures().SetAnswer("C:\\a.exe", {SignatureState::Unsigned, "", ""});
    EXPECT_EQ(cache.Check("C:\\a.exe").state, SignatureState::Unsigned);
    EXPECT_EQ(memory.signatures().CheckCount(), 2);

    // A missing file is asked about each time, and is found once it is there.
    EXPECT_EQ(cache.Check("C:\\b.exe").state, SignatureState::FileNotFound);
    memory.files().AddFile("C:\\b.exe", "MZ");
    EXPECT_EQ(cache.Check("C:\\b.exe").state, SignatureState::Unsigned);
}

TEST(PublisherChecksTest, ARestartedRunDeliversOnlyItsOwnAnswersEachOnce) {
    MemoryPlatform memory;
    SignatureCache cache(memory.signatures());
    std::vector<std::string> delivered;
    int done = 0;
    PublisherChecks checks(memory.ui(), cache);
    checks.Start({"C:\\old1.exe", "C:\\old2.exe"}, [&](const std::string& path, const SignatureAnswer&) {
        delivered.push_back("old " + path);
    });
    checks.Start(
        {"C:\\x.exe", "", "C:\\x.exe", "C:\\y.exe"},
        [&](const std::string& path, const SignatureAnswer&) { delivered.push_back(path); }, [&] { ++done; });
    ASSERT_TRUE(memory.ui().PumpUntil([&] { return !checks.Running(); }));
    std::sort(delivered.begin(), delivered.end());
    EXPECT_EQ(delivered, (std::vector<std::string>{"C:\\x.exe", "C:\\y.exe"}));
    EXPECT_EQ(done, 1);

    // Nothing to check: done at once.
    checks.Start(
        {}, [&](const std::string&, const SignatureAnswer&) { ADD_FAILURE(); }, [&] { ++done; });
    EXPECT_EQ(done, 2);
    EXPECT_FALSE(checks.Running());
}

}  // namespace
}  // namespace korvane
