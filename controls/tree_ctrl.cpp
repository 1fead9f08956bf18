#include "controls/tree_ctrl.h"

#include <QWidget>

#include "platform/qt/message_window.h"

CTreeCtrl::~CTreeCtrl() { DestroyWindow(); }

QWidget* CTreeCtrl::GetWidget() const {
    const plat::MessageWindow* window = hwnd_ ? plat::MessageWindow::FromHwnd(hwnd_) : nullptr;
    return window ? window->Widget() : nullptr;
}

LRESULT CTreeCtrl::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessage(hwnd_, message, wParam, lParam);
}

BOOL CTreeCtrl::DestroyWindow() {
    QWidget* widget = GetWidget();
    hwnd_ = nullptr;
    if (!widget) return FALSE;
    delete widget;  // the widget's destruction destroys its window, with the window's notifications
    return TRUE;
}

HTREEITEM CTreeCtrl::GetNextItem(HTREEITEM item, UINT code) const {
    return static_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, code, static_cast<LPARAM>(item)));
}

BOOL CTreeCtrl::Expand(HTREEITEM item, UINT code) {
    return SendMessage(TVM_EXPAND, code, static_cast<LPARAM>(item)) != 0;
}

BOOL CTreeCtrl::SelectItem(HTREEITEM item) {
    return SendMessage(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(item)) != 0;
}

BOOL CTreeCtrl::EnsureVisible(HTREEITEM item) {
    return SendMessage(TVM_ENSUREVISIBLE, 0, static_cast<LPARAM>(item)) != 0;
}

BOOL CTreeCtrl::DeleteItem(HTREEITEM item) { return SendMessage(TVM_DELETEITEM, 0, static_cast<LPARAM>(item)) != 0; }

BOOL CTreeCtrl::DeleteAllItems() { return SendMessage(TVM_DELETEITEM, 0, static_cast<LPARAM>(TVI_ROOT)) != 0; }

UINT CTreeCtrl::GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }

ImageList* CTreeCtrl::SetImageList(ImageList* images, int kind) {
    return reinterpret_cast<ImageList*>(
        SendMessage(TVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(images)));
}

ImageList* CTreeCtrl::GetImageList(int kind) const {
    return reinterpret_cast<ImageList*>(SendMessage(TVM_GETIMAGELIST, static_cast<WPARAM>(kind)));
}

DWORD CTreeCtrl::SetExtendedStyle(DWORD mask, DWORD style) {
    return static_cast<DWORD>(SendMessage(TVM_SETEXTENDEDSTYLE, mask, style));
}

DWORD CTreeCtrl::GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(TVM_GETEXTENDEDSTYLE)); }

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const {
    TVITEMW record;
    record.mask = TVIF_HANDLE | TVIF_PARAM;
    record.hItem = item;
    SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record));
    return static_cast<DWORD_PTR>(record.lParam);
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data) {
    TVITEMW record;
    record.mask = TVIF_HANDLE | TVIF_PARAM;
    record.hItem = item;
    record.lParam = static_cast<LPARAM>(data);
    return SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&record)) != 0;
}

UINT CTreeCtrl::GetItemState(HTREEITEM item, UINT mask) const {
    return static_cast<UINT>(SendMessage(TVM_GETITEMSTATE, item, mask)) & mask;
}

BOOL CTreeCtrl::SetItemState(HTREEITEM item, UINT state, UINT mask) {
    TVITEMW record;
    record.mask = TVIF_HANDLE | TVIF_STATE;
    record.hItem = item;
    record.state = state;
    record.stateMask = mask;
    return SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&record)) != 0;
}

HTREEITEM CTreeCtrl::HitTest(POINT point, UINT* flags) const {
    TVHITTESTINFO info;
    info.pt = point;
    const auto item = static_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (flags) *flags = info.flags;
    return item;
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM item, RECT* rect, BOOL textOnly) const {
    if (!rect) return FALSE;
    *rect = TVIR_REQUEST(item);
    return SendMessage(TVM_GETITEMRECT, textOnly ? TVIR_TEXT : 0, reinterpret_cast<LPARAM>(rect)) != 0;
}
