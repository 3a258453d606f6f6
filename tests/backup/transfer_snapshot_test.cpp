#include "backup/transfer_snapshot.h"

#include <gtest/gtest.h>

#include <thread>

namespace pelmar {
namespace {

TEST(TransferSnapshot, HandsOverOnlyTheLatestStateAndNothingWhenUnchanged) {
    TransferSnapshot snapshot;
    EXPECT_FALSE(snapshot.takeChanges().has_value());
    snapshot.setStatusText("first");
    snapshot.setStatusText("second");
    snapshot.setOverallProgress(3);
    snapshot.setResultCounts(1, 2, 3, 4);
    snapshot.setBeginButton("Completed", false);
    const std::optional<TransferView> view = snapshot.takeChanges();
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(view->statusText, "second");
    EXPECT_EQ(view->overallPosition, 3);
    EXPECT_EQ(view->renamed, 3U);
    EXPECT_EQ(view->beginText, "Completed");
    EXPECT_FALSE(view->beginEnabled);
    EXPECT_FALSE(view->finished);
    EXPECT_FALSE(snapshot.takeChanges().has_value());
    snapshot.setFileProgress(50);
    const std::optional<TransferView> later = snapshot.takeChanges();
    ASSERT_TRUE(later.has_value());
    EXPECT_EQ(later->statusText, "second") << "what did not change stays";
    EXPECT_EQ(later->filePercent, 50);
}

TEST(TransferSnapshot, MessagesAreHandedOverOnceEachInOrder) {
    TransferSnapshot snapshot;
    snapshot.showMessage("one");
    snapshot.showMessage("two");
    EXPECT_EQ(snapshot.takeChanges()->messages, (std::vector<std::string>{"one", "two"}));
    snapshot.markFinished();
    const std::optional<TransferView> last = snapshot.takeChanges();
    ASSERT_TRUE(last.has_value());
    EXPECT_TRUE(last->messages.empty());
    EXPECT_TRUE(last->finished);
}

TEST(TransferSnapshot, AReaderOnAnotherThreadEndsWithTheWritersLastState) {
    TransferSnapshot snapshot;
    std::thread worker([&] {
        for (int i = 1; i <= 20'000; ++i) {
            snapshot.setOverallProgress(i);
            snapshot.setCounterText("Processing track " + std::to_string(i));
        }
        snapshot.markFinished();
    });
    TransferView seen;
    int lastPosition = 0;
    while (!seen.finished) {
        if (const std::optional<TransferView> view = snapshot.takeChanges()) {
            EXPECT_GE(view->overallPosition, lastPosition) << "positions never go back";
            lastPosition = view->overallPosition;
            seen = *view;
        }
    }
    worker.join();
    EXPECT_EQ(seen.overallPosition, 20'000);
    EXPECT_EQ(seen.counterText, "Processing track 20000");
}

}  // namespace
}  // namespace pelmar
