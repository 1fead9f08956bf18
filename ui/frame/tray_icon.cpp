#include "ui/frame/tray_icon.h"

#include <QCursor>
#include <QWidget>

#include "foundation/resource_strings.h"
#include "platform/core/window.h"
#include "platform/qt/message_window.h"
#include "platform/qt/popup_menu.h"
#include "platform/qt/resource_images.h"
#include "resources/menu_ids.h"
#include "resources/menus.h"

CTrayIcon::CTrayIcon(UINT id) { data_.uID = id; }

CTrayIcon::~CTrayIcon() { SetIcon(QIcon(), {}); }

void CTrayIcon::SetNotificationWnd(HWND owner, UINT callbackMessage) {
    data_.hWnd = owner;
    data_.uCallbackMessage = callbackMessage;
}

bool CTrayIcon::SetIcon(const QIcon& icon, std::string_view tip) {
    if (icon.isNull()) {
        if (shown_) plat::Shell_NotifyIconA(plat::NIM_DELETE, &data_);
        shown_ = false;
        return true;
    }
    data_.hIcon = icon;
    data_.uFlags = plat::NIF_ICON;
    if (!tip.empty()) {
        data_.uFlags |= plat::NIF_TIP;
        plat::SetTip(data_, tip);
    }
    if (data_.hWnd && data_.uCallbackMessage) data_.uFlags |= plat::NIF_MESSAGE;
    shown_ = plat::Shell_NotifyIconA(shown_ ? plat::NIM_MODIFY : plat::NIM_ADD, &data_) != FALSE;
    return shown_;
}

bool CTrayIcon::SetIconById(UINT id) {
    if (id == 0) return SetIcon(QIcon(), {});
    return SetIcon(plat::LoadIconResource(static_cast<int>(id)), LoadResString(id));
}

void CTrayIcon::OnTrayNotification(WPARAM id, LPARAM mouseMessage) {
    if (id != data_.uID || (mouseMessage != WM_RBUTTONUP && mouseMessage != WM_LBUTTONDBLCLK)) return;
    const res::MenuResource* menu = res::FindMenu(IDR_TRAY_MENU);
    const auto items = menu ? menu->SubMenu(0) : std::span<const res::MenuItem>();
    if (items.empty()) return;
    const UINT first = items.front().id;
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        SendMessage(data_.hWnd, WM_COMMAND, first, 0);
        return;
    }
    if (auto* owner = plat::MessageWindow::FromHwnd(data_.hWnd); owner && owner->Widget()) {
        owner->Widget()->activateWindow();
    }
    plat::PopupMenuOptions options;
    options.defaultId = first;
    plat::TrackPopupMenu(items, QCursor::pos(), data_.hWnd, options);
    PostMessage(data_.hWnd, WM_NULL, 0, 0);
}
