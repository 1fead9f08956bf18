// The path carried by the history messages: taken once by its receiver, never freed twice,
// and not lost to a window that is gone or a receiver that ignores it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/history_message.h"
#include "platform/core/message_test_support.h"
#include "resources/sync_messages.h"

TEST(HistoryMessage, APathIsTakenExactlyOnce) {
    const WPARAM w = MakeHistoryPathParam("/data/qbsync.fhs");
    EXPECT_EQ(TakeHistoryPathParam(w), "/data/qbsync.fhs");
    EXPECT_FALSE(TakeHistoryPathParam(w).has_value());
    EXPECT_FALSE(TakeHistoryPathParam(0).has_value());
    EXPECT_FALSE(TakeHistoryPathParam(w + 1000).has_value());
    EXPECT_NE(MakeHistoryPathParam("a"), MakeHistoryPathParam("a"));  // tickets are never reused
}

TEST(HistoryMessage, SentPathReachesItsReceiverOrIsDropped) {
    std::vector<std::string> taken;
    WPARAM ignored = 0;
    bool take = true;
    msgtest::LambdaWindow window([&](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message != WM_SYNC_CLEAR_HISTORY) return 0;
        EXPECT_EQ(l, 0);
        if (!take) {
            ignored = w;
            return 0;
        }
        taken.push_back(TakeHistoryPathParam(w).value_or("<none>"));
        return 1;
    });
    const HWND hwnd = plat::CreateMessageWindow(&window);

    EXPECT_EQ(SendHistoryPathMessage(hwnd, WM_SYNC_CLEAR_HISTORY, "/p"), 1);
    EXPECT_EQ(taken, std::vector<std::string>{"/p"});

    take = false;
    EXPECT_EQ(SendHistoryPathMessage(hwnd, WM_SYNC_CLEAR_HISTORY, "/q"), 0);
    EXPECT_FALSE(TakeHistoryPathParam(ignored).has_value());  // the sender dropped it

    DestroyWindow(hwnd);
    EXPECT_EQ(SendHistoryPathMessage(hwnd, WM_SYNC_CLEAR_HISTORY, "/r"), 0);
    EXPECT_EQ(SendHistoryPathMessage(nullptr, WM_SYNC_CLEAR_HISTORY, "/r"), 0);
}

TEST(HistoryMessage, PostedPathArrivesFromAnotherThread) {
    std::vector<std::string> taken;
    msgtest::LambdaWindow window([&](HWND, UINT message, WPARAM w, LPARAM) -> LRESULT {
        if (message == WM_SYNC_HISTORY_CHANGED) taken.push_back(TakeHistoryPathParam(w).value_or("<none>"));
        return 1;
    });
    const HWND hwnd = plat::CreateMessageWindow(&window);
    plat::WorkerThread poster;
    ASSERT_TRUE(poster.Start([hwnd] {
        EXPECT_TRUE(PostHistoryPathMessage(hwnd, WM_SYNC_HISTORY_CHANGED, "/one"));
        EXPECT_TRUE(PostHistoryPathMessage(hwnd, WM_SYNC_HISTORY_CHANGED, "/two"));
    }));
    poster.Join();
    plat::ProcessPendingMessages();
    EXPECT_EQ(taken, (std::vector<std::string>{"/one", "/two"}));

    // Posted to a window that goes before its queue is served: the message is dropped,
    // nothing is freed by anybody, and the kept copy is freed at exit (no leak reported).
    EXPECT_TRUE(PostHistoryPathMessage(hwnd, WM_SYNC_HISTORY_CHANGED, "/lost"));
    DestroyWindow(hwnd);
    plat::ProcessPendingMessages();
    EXPECT_EQ(taken.size(), 2u);
    EXPECT_FALSE(PostHistoryPathMessage(hwnd, WM_SYNC_HISTORY_CHANGED, "/gone"));
}
