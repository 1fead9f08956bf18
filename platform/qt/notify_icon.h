#pragma once
// Icons in the desktop's notification area (the system tray), by owner window and id.
// Shell_NotifyIconA adds, changes or deletes one; a click on it reaches the owner as its
// callback message, posted with w = the icon's id and l = WM_RBUTTONUP for a context
// request, WM_LBUTTONDBLCLK for a double click, WM_LBUTTONUP for a click.
//
//   plat::NOTIFYICONDATAA data;
//   data.hWnd = frame.GetSafeHwnd();
//   data.uID = res::kTrayIcon;
//   data.uFlags = plat::NIF_MESSAGE | plat::NIF_ICON | plat::NIF_TIP;
//   data.uCallbackMessage = WM_SYNC_TRAY_NOTIFY;
//   data.hIcon = plat::LoadIconResource(res::kTrayIcon);
//   plat::SetTip(data, "Quarrybend Sync");
//   if (!plat::Shell_NotifyIconA(plat::NIM_ADD, &data)) { /* no tray on this desktop */ }
//
// The icons are shown by a backend (QSystemTrayIcon; tests install a recording fake with
// SetNotifyIconBackend). Without a tray every call answers FALSE.

#include <QIcon>
#include <QString>
#include <memory>
#include <string_view>

#include "platform/core/win_types.h"

namespace plat {

inline constexpr DWORD NIM_ADD = 0;
inline constexpr DWORD NIM_MODIFY = 1;
inline constexpr DWORD NIM_DELETE = 2;

inline constexpr UINT NIF_MESSAGE = 0x01;
inline constexpr UINT NIF_ICON = 0x02;
inline constexpr UINT NIF_TIP = 0x04;

struct NOTIFYICONDATAA {
    DWORD cbSize = sizeof(NOTIFYICONDATAA);
    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    QIcon hIcon;
    char szTip[128] = {};  // UTF-8, zero-terminated
};

// Copies at most 127 bytes of `tip` into the record, never cutting a character in two.
void SetTip(NOTIFYICONDATAA& data, std::string_view tip);

BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data);

class NotifyIconBackend {
public:
    enum class Click { Context, DoubleClick, Single };

    virtual ~NotifyIconBackend() = default;
    virtual bool IsAvailable() const = 0;
    // Shows the icon of (owner, id), or changes it when shown; false when it cannot.
    virtual bool Show(HWND owner, UINT id, const QIcon& icon, const QString& tip) = 0;
    virtual void Remove(HWND owner, UINT id) = 0;
};

// Whether this desktop has a notification area.
bool IsSystemTrayAvailable();
// Replaces the backend (null: the desktop's own); returns the one in use before.
std::unique_ptr<NotifyIconBackend> SetNotifyIconBackend(std::unique_ptr<NotifyIconBackend> backend);
// What a backend calls when the user clicks icon (owner, id).
void NotifyIconClicked(HWND owner, UINT id, NotifyIconBackend::Click click);

}  // namespace plat
