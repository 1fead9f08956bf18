#pragma once
// The main window's icon in the notification area, and its menu: a double click shows or
// hides the window, a right click opens the tray menu with "Quarrybend Sync" as its
// default item.
//
//   tray.SetNotificationWnd(frame.GetSafeHwnd(), WM_SYNC_TRAY_NOTIFY);
//   tray.SetIconById(res::kTrayIcon);         // 0 removes it
//   // WM_SYNC_TRAY_NOTIFY (w id, l mouse message): tray.OnTrayNotification(w, l);

#include <QIcon>
#include <string>
#include <string_view>

#include "platform/core/win_types.h"
#include "platform/qt/notify_icon.h"
#include "resources/image_ids.h"

class CTrayIcon {
public:
    explicit CTrayIcon(UINT id = res::kTrayIcon);
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    void SetNotificationWnd(HWND owner, UINT callbackMessage);
    // Shows the icon with this tip (adding or changing it); a null icon removes it.
    // False when the desktop would not show it (then no icon counts as shown).
    bool SetIcon(const QIcon& icon, std::string_view tip);
    // The icon and tip of `id`; 0 removes the icon.
    bool SetIconById(UINT id);
    bool IsShown() const { return shown_; }

    // A right-button release opens the menu at the cursor; a double click raises the
    // menu's first command (show or hide). Other clicks and other icons are not ours.
    void OnTrayNotification(WPARAM id, LPARAM mouseMessage);

private:
    plat::NOTIFYICONDATAA data_;
    bool shown_ = false;
};
