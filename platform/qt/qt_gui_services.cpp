#include "platform/qt/qt_gui_services.h"

#include <QFileDialog>
#include <QWidget>

#include "platform/qt/combo_box_ex.h"
#include "platform/qt/message_window.h"
#include "platform/qt/system_image_list.h"

namespace plat {

namespace {

QWidget* WidgetOf(HWND hwnd) {
    MessageWindow* window = hwnd ? MessageWindow::FromHwnd(hwnd) : nullptr;
    return window ? window->Widget() : nullptr;
}

constexpr DWORD kWsVisible = 0x10000000;

}  // namespace

QtGuiServices::QtGuiServices() : previous_(SetGuiServices(this)) {}

QtGuiServices::~QtGuiServices() { SetGuiServices(previous_); }

std::optional<std::wstring> QtGuiServices::OpenFileName(const OpenFileRequest& request) {
    const QString filter = QString::fromStdWString(request.filterDescription) + QStringLiteral(" (*)");
    const QString chosen = QFileDialog::getOpenFileName(WidgetOf(request.owner), QString::fromStdWString(request.title),
                                                        QString::fromStdWString(request.initialFile), filter);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdWString();
}

std::optional<std::wstring> QtGuiServices::BrowseForFolder(HWND owner, const std::wstring& title,
                                                           const std::wstring& initialFolder) {
    const QString chosen = QFileDialog::getExistingDirectory(WidgetOf(owner), QString::fromStdWString(title),
                                                             QString::fromStdWString(initialFolder));
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdWString();
}

HWND QtGuiServices::CreateComboBoxEx(HWND parent, DWORD style, const RECT& rect, UINT id) {
    QWidget* parentWidget = WidgetOf(parent);
    if (!parentWidget) return nullptr;
    auto* combo = new ComboBoxEx(parentWidget, id);  // owned by its parent widget
    combo->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    combo->setVisible((style & kWsVisible) != 0);
    return combo->GetSafeHwnd();
}

int QtGuiServices::SmallIconIndex(const std::wstring& path, IconKind kind, bool onDisk) {
    return SystemImageList::Instance().IndexOf(path, kind, onDisk);
}

}  // namespace plat
