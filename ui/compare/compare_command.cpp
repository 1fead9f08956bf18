#include "ui/compare/compare_command.h"

#include <QApplication>
#include <memory>

#include "foundation/resource_strings.h"
#include "platform/core/message_box.h"
#include "platform/core/text.h"
#include "platform/qt/message_window.h"
#include "ui/compare/detail_frame.h"
#include "ui/compare/diff_runner.h"

namespace {

// The comparer is waited for on this thread; the cursor says so meanwhile.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

CDetailFrame* CompareTwoFiles(const std::wstring& left, const std::wstring& right, QWidget* mainWindow,
                              const std::string& toolFolder) {
    const std::string leftFile = plat::WideToUtf8(left);
    const std::string rightFile = plat::WideToUtf8(right);
    DiffHunks hunks;
    std::string errorText;
    int result = kDiffError;
    {
        WaitCursor wait;
        result = CompareFiles(toolFolder, leftFile, rightFile, hunks, errorText);
    }
    const auto* owner = plat::MessageWindow::FromWidget(mainWindow);
    const HWND boxOwner = owner ? owner->GetSafeHwnd() : nullptr;
    if (result == kDiffSame) {
        MessageBox(boxOwner, LoadResString(IDS_FILES_IDENTICAL), LoadResString(IDS_APP_TITLE),
                   MB_OK | MB_ICONINFORMATION);
        return nullptr;
    }
    if (result != kDiffDifferent) {
        MessageBox(boxOwner, errorText, LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONEXCLAMATION);
        return nullptr;
    }
    auto frame = std::make_unique<CDetailFrame>(leftFile, rightFile, std::move(hunks), mainWindow);
    if (!frame->Create()) return nullptr;
    if (mainWindow) frame->setGeometry(mainWindow->geometry());
    frame->ShowWindow(plat::SW_SHOWNORMAL);
    frame->RedrawAll();
    return frame.release();
}
