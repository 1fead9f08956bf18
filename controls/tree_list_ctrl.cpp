#include "controls/tree_list_ctrl.h"

#include <QApplication>
#include <QResizeEvent>
#include <atomic>

#include "controls/treelist/treelist_window.h"

bool RegisterTreeListClass() {
    static std::atomic<bool> registered{false};
    if (registered) return true;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    registered = true;
    return true;
}

BOOL CTreeListCtrl::Create(DWORD style, const RECT& rect, QWidget* parent, UINT id) {
    if (GetWidget() || !RegisterTreeListClass()) return FALSE;
    auto* window = new TreeListWindow(style, parent, id);  // owned by its Qt parent (or by this wrapper)
    window->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    // A window knows its size from its creation on, shown or not: lay the scroll area out
    // now and tell the control its client size.
    QResizeEvent resize(window->size(), QSize());
    QCoreApplication::sendEvent(window, &resize);
    const QSize client = window->viewport()->size();
    window->Message(WM_SIZE, 0, MAKELPARAM(client.width(), client.height()));
    if (style & WS_VISIBLE) window->show();
    hwnd_ = window->GetSafeHwnd();
    return hwnd_ != nullptr;
}

int CTreeListCtrl::InsertColumn(int position, const char* text, int format, int width, int minWidth) {
    TV_COLUMN column;
    if (text) {
        column.mask |= TVCF_TEXT;
        column.pszText = const_cast<char*>(text);
        column.cchTextMax = 256;
    }
    if (format >= 0) {
        column.mask |= TVCF_FMT | TVCF_MARK;
        column.fmt = format;
    }
    if (width >= 0) {
        column.mask |= TVCF_WIDTH;
        column.cx = width;
    } else {
        column.mask |= TVCF_VWIDTH;
        column.cx = -width;
    }
    if (minWidth != 0x8000) {
        column.mask |= TVCF_MIN;
        column.iOrder = minWidth;
    }
    return static_cast<int>(
        SendMessage(TLM_INSERTCOLUMN, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&column)));
}

HTREEITEM CTreeListCtrl::InsertItemW(UINT mask, const WCHAR* text, int image, int selectedImage, UINT state,
                                     UINT stateMask, LPARAM lParam, HTREEITEM parent, HTREEITEM insertAfter) {
    TVINSERTSTRUCTW insert;
    insert.hParent = parent;
    insert.hInsertAfter = insertAfter;
    insert.item.mask = mask;
    insert.item.pszText = const_cast<WCHAR*>(text);
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.state = state;
    insert.item.stateMask = stateMask;
    insert.item.lParam = lParam;
    return static_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

LRESULT CTreeListCtrl::SetItemW(HTREEITEM item, int column, UINT mask, const WCHAR* text, int image, int selectedImage,
                                UINT state, UINT stateMask, LPARAM lParam) {
    TVITEMW record;
    record.mask = mask | TVIF_SUBITEM;
    record.hItem = item;
    record.cChildren = column;
    record.pszText = const_cast<WCHAR*>(text);
    record.cchTextMax = text ? 256 : 0;
    record.iImage = image;
    record.iSelectedImage = selectedImage;
    record.state = state;
    record.stateMask = stateMask;
    record.lParam = lParam;
    return SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record));
}

LRESULT CTreeListCtrl::SetItemStateW(HTREEITEM item, int column, UINT state, UINT stateMask) {
    TVITEMW record;
    record.mask = TVIF_SUBITEM | TVIF_HANDLE | TVIF_STATE;
    record.hItem = item;
    record.cChildren = column;
    record.state = state;
    record.stateMask = stateMask;
    return SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record));
}

HTREEITEM CTreeListCtrl::GetNextSelectedItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXTSELECTED); }
