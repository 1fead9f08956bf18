#include "platform/core/message_box.h"

#include <gtest/gtest.h>

#include <atomic>

#include "message_test_support.h"
#include "platform/core/thread.h"
#include "platform/core/window.h"

namespace {

using msgtest::LambdaWindow;
using msgtest::MustEnd;
using msgtest::WindowThread;

// Installs a presenter on a thread of its own for the length of a test.
class PresenterThread {
public:
    explicit PresenterThread(plat::MessageBoxPresenter presenter)
        : thread_([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }) {
        plat::SetMessageBoxPresenter(thread_.ThreadId(), std::move(presenter));
    }
    ~PresenterThread() { plat::SetMessageBoxPresenter(0, {}); }
    DWORD ThreadId() const { return thread_.ThreadId(); }

private:
    WindowThread thread_;
};

TEST(MessageBox, WithoutADisplayTheTestHandlerAnswersAndRecords) {
    plat::ScopedMessageBoxHandler handler(IDYES);
    EXPECT_EQ(MessageBox(nullptr, "Delete it?", "Quarrybend Sync VEXO", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(MessageBox(nullptr, "caf\xC3\xA9", "t", MB_OK), IDYES);
    const auto requests = handler.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].text, "Delete it?");
    EXPECT_EQ(requests[0].caption, "Quarrybend Sync VEXO");
    EXPECT_EQ(requests[0].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(requests[0].askingThread, GetCurrentThreadId());
    EXPECT_EQ(requests[1].text, "caf\xC3\xA9");
}

TEST(MessageBox, HandlersNestAndRestore) {
    plat::ScopedMessageBoxHandler outer(IDOK);
    {
        plat::ScopedMessageBoxHandler inner(IDCANCEL);
        EXPECT_EQ(MessageBox(nullptr, "a", "b", MB_OKCANCEL), IDCANCEL);
    }
    EXPECT_EQ(MessageBox(nullptr, "a", "b", MB_OKCANCEL), IDOK);
    EXPECT_EQ(outer.Requests().size(), 1u);
}

TEST(MessageBox, NoPresenterAndNoHandlerAnswersZero) {
    EXPECT_EQ(MessageBox(nullptr, "nobody sees this", "test", MB_YESNO), 0);
}

TEST(MessageBox, IsCarriedToThePresentersThread) {
    std::atomic<DWORD> shownOn{0};
    PresenterThread presenter([&](const plat::MessageBoxRequest& request) {
        shownOn = GetCurrentThreadId();
        return request.type == MB_RETRYCANCEL ? IDRETRY : IDOK;
    });
    EXPECT_EQ(MessageBox(nullptr, "Disk full", "t", MB_RETRYCANCEL), IDRETRY);
    EXPECT_EQ(shownOn.load(), presenter.ThreadId());

    // A test handler answers on the presenter's thread too, in its place.
    std::atomic<DWORD> answeredOn{0};
    plat::ScopedMessageBoxHandler handler([&](const plat::MessageBoxRequest&) {
        answeredOn = GetCurrentThreadId();
        return IDIGNORE;
    });
    EXPECT_EQ(MessageBox(nullptr, "x", "t", MB_ABORTRETRYIGNORE), IDIGNORE);
    EXPECT_EQ(answeredOn.load(), presenter.ThreadId());
}

TEST(MessageBox, TheAskingThreadStillAnswersItsWindowsWhileItWaits) {
    plat::WorkerThread asker;
    std::atomic<HWND> askerWindow{nullptr};
    PresenterThread presenter([&](const plat::MessageBoxRequest&) {
        // While the box is up, the owner window (on the asking thread) is asked something.
        return static_cast<int>(SendMessage(askerWindow, WM_APP, 0, 0));
    });
    std::atomic<int> result{-1};
    ASSERT_TRUE(asker.Start([&] {
        LambdaWindow window([](HWND, UINT message, WPARAM, LPARAM) -> LRESULT { return message == WM_APP ? IDNO : 0; });
        askerWindow = plat::CreateMessageWindow(&window);
        result = MessageBox(askerWindow, "q", "t", MB_YESNO);
        DestroyWindow(askerWindow);
    }));
    MustEnd(asker.Handle(), "asker");
    EXPECT_EQ(result.load(), IDNO);
}

}  // namespace
