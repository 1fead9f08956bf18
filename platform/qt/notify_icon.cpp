#include "platform/qt/notify_icon.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSystemTrayIcon>
#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "platform/core/window.h"

namespace plat {

namespace {

using Key = std::pair<std::uintptr_t, UINT>;

Key KeyOf(HWND owner, UINT id) { return {IdFromHwnd(owner), id}; }

class QtNotifyIconBackend : public NotifyIconBackend {
public:
    ~QtNotifyIconBackend() override {
        for (auto& entry : icons_) delete entry.second.data();
    }

    bool IsAvailable() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }

    bool Show(HWND owner, UINT id, const QIcon& icon, const QString& tip) override {
        QPointer<QSystemTrayIcon>& tray = icons_[KeyOf(owner, id)];
        if (!tray) {
            // A child of the application, so none outlives it.
            tray = new QSystemTrayIcon(QCoreApplication::instance());
            QObject::connect(tray, &QSystemTrayIcon::activated, tray,
                             [owner, id](QSystemTrayIcon::ActivationReason reason) {
                                 switch (reason) {
                                 case QSystemTrayIcon::Context: NotifyIconClicked(owner, id, Click::Context); break;
                                 case QSystemTrayIcon::DoubleClick:
                                     NotifyIconClicked(owner, id, Click::DoubleClick);
                                     break;
                                 case QSystemTrayIcon::Trigger: NotifyIconClicked(owner, id, Click::Single); break;
                                 default: break;
                                 }
                             });
        }
        tray->setIcon(icon);
        tray->setToolTip(tip);
        tray->show();
        return true;
    }

    void Remove(HWND owner, UINT id) override {
        const auto it = icons_.find(KeyOf(owner, id));
        if (it == icons_.end()) return;
        delete it->second.data();
        icons_.erase(it);
    }

private:
    std::map<Key, QPointer<QSystemTrayIcon>> icons_;
};

struct ShownIcon {
    UINT callbackMessage = 0;
    QIcon icon;
    QString tip;
};

// GUI thread only, like the windows the icons belong to.
std::unique_ptr<NotifyIconBackend>& Backend() {
    static std::unique_ptr<NotifyIconBackend> backend;
    if (!backend) backend = std::make_unique<QtNotifyIconBackend>();
    return backend;
}

std::map<Key, ShownIcon>& Shown() {
    static std::map<Key, ShownIcon> shown;
    return shown;
}

QString TipOf(const NOTIFYICONDATAA& data) {
    return QString::fromUtf8(data.szTip, static_cast<qsizetype>(strnlen(data.szTip, sizeof(data.szTip))));
}

}  // namespace

void SetTip(NOTIFYICONDATAA& data, std::string_view tip) {
    std::size_t length = std::min(tip.size(), sizeof(data.szTip) - 1);
    // Back up over UTF-8 continuation bytes so no character is cut in two.
    if (length < tip.size()) {
        while (length > 0 && (static_cast<unsigned char>(tip[length]) & 0xC0) == 0x80) --length;
    }
    std::memset(data.szTip, 0, sizeof(data.szTip));
    std::memcpy(data.szTip, tip.data(), length);
}

BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data) {
    if (!data || !IsSystemTrayAvailable()) return FALSE;
    const Key key = KeyOf(data->hWnd, data->uID);
    auto& shown = Shown();
    const auto it = shown.find(key);
    switch (message) {
    case NIM_ADD:
    case NIM_MODIFY: {
        if ((message == NIM_ADD) != (it == shown.end())) return FALSE;
        ShownIcon icon = it == shown.end() ? ShownIcon{} : it->second;
        if (data->uFlags & NIF_MESSAGE) icon.callbackMessage = data->uCallbackMessage;
        if (data->uFlags & NIF_ICON) icon.icon = data->hIcon;
        if (data->uFlags & NIF_TIP) icon.tip = TipOf(*data);
        if (!Backend()->Show(data->hWnd, data->uID, icon.icon, icon.tip)) return FALSE;
        shown[key] = std::move(icon);
        return TRUE;
    }
    case NIM_DELETE:
        if (it == shown.end()) return FALSE;
        Backend()->Remove(data->hWnd, data->uID);
        shown.erase(it);
        return TRUE;
    default: return FALSE;
    }
}

bool IsSystemTrayAvailable() { return Backend()->IsAvailable(); }

std::unique_ptr<NotifyIconBackend> SetNotifyIconBackend(std::unique_ptr<NotifyIconBackend> backend) {
    std::unique_ptr<NotifyIconBackend>& current = Backend();
    Shown().clear();  // the icons the old backend showed are its own
    std::swap(current, backend);
    if (!current) current = std::make_unique<QtNotifyIconBackend>();
    return backend;
}

void NotifyIconClicked(HWND owner, UINT id, NotifyIconBackend::Click click) {
    const auto it = Shown().find(KeyOf(owner, id));
    if (it == Shown().end() || it->second.callbackMessage == 0) return;
    LPARAM mouse = WM_LBUTTONUP;
    if (click == NotifyIconBackend::Click::Context) mouse = WM_RBUTTONUP;
    if (click == NotifyIconBackend::Click::DoubleClick) mouse = WM_LBUTTONDBLCLK;
    PostMessage(owner, it->second.callbackMessage, id, mouse);
}

}  // namespace plat
