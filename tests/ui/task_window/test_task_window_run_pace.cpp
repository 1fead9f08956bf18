// A task window shown while real runs go on, its messages answered from Qt's loop as in
// the program: it paints at a pace rather than per file, ends painted in the run's last
// state with the newest row in view, and answers Stop in the middle of a large Sync.
#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QEvent>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "controls/text_progress_bar.h"
#include "engine/support/run_harness.h"
#include "platform/qt/qt_gui_services.h"
#include "support/scoped_env.h"
#include "tests/ui/task_window/task_window_test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

// Counts the paints a widget gets and keeps what the last one showed.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* widget, std::function<std::string()> shown) : shown_(std::move(shown)) {
        widget->installEventFilter(this);
    }
    int paints = 0;
    std::string lastShown;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            lastShown = shown_();
        }
        return false;
    }

private:
    std::function<std::string()> shown_;
};

// Small files "f<n>.txt" in `folders` folders of `root`, written without the helpers'
// extra calls: a test of 20,000 files must not spend its time making them.
void MakeFiles(const std::string& root, int files, int folders) {
    for (int f = 0; f < folders; ++f) {
        const std::string folder = root + "/d" + std::to_string(f);
        ::mkdir(folder.c_str(), 0755);
        for (int i = f; i < files; i += folders) {
            const std::string path = folder + "/f" + std::to_string(i) + ".txt";
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            ASSERT_GE(fd, 0) << path;
            ASSERT_EQ(::write(fd, path.data(), 8), 8);
            ::close(fd);
        }
    }
}

std::size_t CountFiles(const std::string& root) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.path().string().find("_qb_sync") == std::string::npos && entry.is_regular_file()) ++count;
    }
    return count;
}

// Memory-backed when the system has such a folder: a test of many files stays quick.
std::optional<std::string> FastTempBase() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error)) return std::string("/dev/shm");
    const char* base = std::getenv("TMPDIR");
    return base ? std::optional<std::string>(base) : std::nullopt;
}

class TaskWindowPace : public ::testing::Test {
protected:
    TaskWindowPace() {
        task_.taskWindow = window_.GetSafeHwnd();
        window_.resize(900, 500);
        window_.Message(WM_SYNC_TASK_CHANGED, 0, reinterpret_cast<LPARAM>(&task_));
        window_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }
    CTextProgressCtrl& Bar(int id) { return *qobject_cast<CTextProgressCtrl*>(window_.GetDlgItem(id)); }
    QWidget* TreeViewport() { return qobject_cast<QAbstractScrollArea*>(window_.ItemTree().GetWidget())->viewport(); }
    std::wstring Action(HTREEITEM row) { return twtest::Cell(window_.ItemTree(), row, 3).text; }

    // A run started as the user starts it, its messages answered by Qt's loop, until the
    // window is at rest and has painted what the end left to paint.
    bool Run(WPARAM mode, const std::function<void()>& eachTurn = {}) {
        harness_.Main().runs.clear();
        if (window_.Message(WM_SYNC_START, mode, 0) != 1) return false;
        const ULONGLONG deadline = GetTickCount64() + runtest::kRunGuardMs;
        const auto ended = [this] {
            for (const plat::ThreadHandle& run : harness_.Main().runs) {
                if (!run.HasEnded()) return false;
            }
            return !window_.IsRunning();
        };
        while (!ended()) {
            if (GetTickCount64() > deadline) return false;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
            if (eachTurn) eachTurn();
        }
        QTest::qWait(1);
        QCoreApplication::processEvents();
        return true;
    }

    plat::QtGuiServices gui_;
    qbtest::ScopedEnv tempBase_{"TMPDIR", FastTempBase()};
    runtest::EngineHarness harness_;
    SyncTask& task_ = harness_.AddTask("L", "R");
    CSyncDlg window_{nullptr, harness_.Main().Hwnd(), harness_.Main().TaskList()};
};

TEST_F(TaskWindowPace, ASyncPaintsAtAPaceAndEndsPaintedInItsLastStateWithTheNewestRowInView) {
    MakeFiles(harness_.Folder("L"), 300, 1);
    ASSERT_TRUE(Run(kRunModeCheck));
    CTreeListCtrl& tree = window_.ItemTree();
    // The Sync carries the items out in the order the list shows them.
    const HTREEITEM newest = twtest::Rows(tree).back();
    ASSERT_EQ(Action(newest), L"Copy to right");

    CTextProgressCtrl& status = Bar(IDC_STATUS_LINE);
    PaintWatch statusPaints(&status, [&status] { return status.DisplayText().toStdString(); });
    PaintWatch rowPaints(TreeViewport(), [&] { return plat::WideToUtf8(Action(newest)); });
    ASSERT_TRUE(Run(kRunModeSync));

    EXPECT_EQ(CountFiles(harness_.Folder("R")), 300u);
    // Each file's name, copy begin, bytes and end once repainted the status line at once
    // (1,500 paints here), and each row done queued a paint of the tree.
    EXPECT_LT(statusPaints.paints, 60);
    EXPECT_LT(rowPaints.paints, 60);
    EXPECT_EQ(statusPaints.lastShown, "Sync has finished Successfully");
    EXPECT_EQ(rowPaints.lastShown, "Done");
    RECT shown{};
    EXPECT_TRUE(tree.GetItemRect(newest, &shown, FALSE)) << "the newest row is in view";
}

TEST_F(TaskWindowPace, StopInTheMiddleOfA20000FileSyncEndsItWithinASecond) {
    MakeFiles(harness_.Folder("L"), 20000, 100);
    ASSERT_TRUE(Run(kRunModeCheck));
    ASSERT_EQ(window_.ItemTree().GetCount(), 20101u);

    CTextProgressCtrl& items = Bar(IDC_ITEM_PROGRESS);
    bool asked = false;
    Clock::time_point stopped{};
    ASSERT_TRUE(Run(kRunModeSync, [&] {
        if (asked || items.Position() < 10) return;
        asked = true;
        // As a click on Stop comes: an event Qt's loop takes in its turn among the run's.
        QTimer::singleShot(0, &window_, [&] {
            stopped = Clock::now();
            window_.Message(WM_SYNC_STOP, 0, 0);
        });
    }));
    ASSERT_NE(stopped, Clock::time_point{}) << "the run ended before Stop was pressed";
    const double seconds = std::chrono::duration<double>(Clock::now() - stopped).count();

    EXPECT_EQ(Bar(IDC_STATUS_LINE).WindowText().toStdString(), "Sync has finished (User stops operation)");
    const std::size_t copied = CountFiles(harness_.Folder("R"));
    EXPECT_GT(copied, 0u);
    EXPECT_LT(copied, 20000u);
    // Within a second on a quiet machine; the bound leaves room for a loaded one.
    EXPECT_LT(seconds, 3.0);
}

}  // namespace
