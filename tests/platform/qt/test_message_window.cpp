#include "platform/qt/message_window.h"

#include <QTest>
#include <QWidget>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

constexpr UINT kAsk = WM_APP + 1;
constexpr UINT kNote = WM_APP + 2;
constexpr UINT kUnmapped = WM_APP + 3;

class Probe : public QWidget, public plat::MessageWindow {
public:
    explicit Probe(QWidget* parent = nullptr, std::vector<HWND>* log = nullptr, HWND explicitParent = nullptr)
        : QWidget(parent), plat::MessageWindow(this, explicitParent), log_(log) {
        MapMessage(kAsk, &Probe::OnAsk);
        MapMessage(kNote, &Probe::OnNote);
        MapMessage(WM_DESTROY, &Probe::OnDestroy);
    }
    ~Probe() override { DestroyMessageWindow(); }
    void Close() { DestroyMessageWindow(); }

    int notes = 0;
    int destroyed = 0;
    DWORD askedOn = 0;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM) override {
        return message == kUnmapped ? static_cast<LRESULT>(wParam) + 1000 : 0;
    }

private:
    LRESULT OnAsk(WPARAM w, LPARAM) {
        askedOn = GetCurrentThreadId();
        if (log_) log_->push_back(GetSafeHwnd());
        return static_cast<LRESULT>(w * 2);
    }
    void OnNote(WPARAM, LPARAM) { ++notes; }
    void OnDestroy(WPARAM, LPARAM) { ++destroyed; }

    std::vector<HWND>* log_;
};

TEST(MessageWindow, MapsMessagesToHandlersAndTheRestToDefWindowProc) {
    Probe probe;
    ASSERT_TRUE(IsWindow(probe.GetSafeHwnd()));
    EXPECT_EQ(probe.Message(kAsk, 21), 42);
    EXPECT_EQ(SendMessage(probe.GetSafeHwnd(), kAsk, 5, 0), 10);
    EXPECT_EQ(probe.Message(kNote), 0);
    EXPECT_EQ(probe.notes, 1);
    EXPECT_EQ(probe.Message(kUnmapped, 7), 1007);
    EXPECT_EQ(plat::MessageWindow::FromHwnd(probe.GetSafeHwnd()), &probe);
    EXPECT_EQ(plat::MessageWindow::FromWidget(&probe), &probe);
}

TEST(MessageWindow, ParentIsTheNearestRegisteredWidgetAndFollowsMoves) {
    Probe top;
    QWidget plain(&top);  // not a message window: skipped
    Probe child(&plain);
    EXPECT_EQ(GetParent(child.GetSafeHwnd()), top.GetSafeHwnd());

    Probe other;
    child.setParent(&other);
    EXPECT_EQ(GetParent(child.GetSafeHwnd()), other.GetSafeHwnd());
    child.setParent(nullptr);
    EXPECT_EQ(GetParent(child.GetSafeHwnd()), nullptr);

    // An explicit parent is kept whatever the widget's Qt parent.
    Probe pinned(&top, nullptr, other.GetSafeHwnd());
    EXPECT_EQ(GetParent(pinned.GetSafeHwnd()), other.GetSafeHwnd());
    pinned.setParent(&plain);
    EXPECT_EQ(GetParent(pinned.GetSafeHwnd()), other.GetSafeHwnd());
}

TEST(MessageWindow, DescendantsAreReachedDepthFirstInCreationOrder) {
    std::vector<HWND> order;
    Probe top(nullptr, &order);
    Probe a(&top, &order);
    Probe a1(&a, &order);
    Probe b(&top, &order);
    Probe a2(&a, &order);
    SendMessageToDescendants(top.GetSafeHwnd(), kAsk, 0, 0, true);
    EXPECT_EQ(order, (std::vector<HWND>{a.GetSafeHwnd(), a1.GetSafeHwnd(), a2.GetSafeHwnd(), b.GetSafeHwnd()}));
    order.clear();
    SendMessageToDescendants(top.GetSafeHwnd(), kAsk, 0, 0, false);
    EXPECT_EQ(order, (std::vector<HWND>{a.GetSafeHwnd(), b.GetSafeHwnd()}));
}

TEST(MessageWindow, DestroyingTheParentTakesTheChildWindowsAlong) {
    auto top = std::make_unique<Probe>();
    Probe* child = new Probe(top.get());  // owned by top's QWidget
    const HWND childHwnd = child->GetSafeHwnd();
    const HWND topHwnd = top->GetSafeHwnd();
    ASSERT_TRUE(IsWindow(childHwnd));
    top.reset();
    EXPECT_FALSE(IsWindow(topHwnd));
    EXPECT_FALSE(IsWindow(childHwnd));
    EXPECT_EQ(SendMessage(childHwnd, kAsk, 1, 0), 0);
    EXPECT_EQ(plat::MessageWindow::FromHwnd(childHwnd), nullptr);
}

TEST(MessageWindow, DestroyMessageWindowLetsTheDerivedClassSeeWmDestroy) {
    Probe probe;
    probe.Close();
    EXPECT_EQ(probe.destroyed, 1);
    EXPECT_EQ(probe.GetSafeHwnd(), nullptr);
    EXPECT_EQ(probe.Message(kAsk, 3), 0);
}

TEST(MessageWindow, AHeldWidgetThatGoesFirstIsForgotten) {
    // The other form: a class that holds its widget rather than being it.
    struct Holder : plat::MessageWindow {
        explicit Holder(QWidget* widget) : plat::MessageWindow(widget) { MapMessage(kAsk, &Holder::OnAsk); }
        LRESULT OnAsk(WPARAM w, LPARAM) { return static_cast<LRESULT>(w) + 1; }
    };
    Probe top;
    auto* widget = new QWidget(&top);
    Holder holder(widget);
    EXPECT_EQ(GetParent(holder.GetSafeHwnd()), top.GetSafeHwnd());
    EXPECT_EQ(plat::MessageWindow::FromWidget(widget), &holder);
    delete widget;
    EXPECT_EQ(holder.Widget(), nullptr);
    EXPECT_EQ(plat::MessageWindow::FromWidget(widget), nullptr);
    EXPECT_EQ(holder.Message(kAsk, 1), 2);  // the window itself lives on with its holder
}

TEST(MessageWindow, AnotherThreadsSendIsAnsweredOnTheGuiThreadByQtsLoop) {
    Probe probe;
    std::atomic<LRESULT> result{-1};
    std::thread worker([&] { result = SendMessage(probe.GetSafeHwnd(), kAsk, 50, 0); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return result.load() != -1; }, 20000));
    worker.join();
    EXPECT_EQ(result.load(), 100);
    EXPECT_EQ(probe.askedOn, GetCurrentThreadId());
}

}  // namespace
