#pragma once
// A tree-view control reached through its window handle: the helpers the program's tree
// windows inherit. Each one sends the tree-view message it stands for, so they work on any
// window that answers those messages (a TreeList answers the UTF-16 forms only; helpers
// that send an 8-bit set or insert have no effect on it).

#include "controls/treelist/treelist_defs.h"
#include "platform/core/window.h"

class ImageList;
class QWidget;

class CTreeCtrl {
public:
    CTreeCtrl() = default;
    // Destroys the window if it still exists.
    virtual ~CTreeCtrl();
    CTreeCtrl(const CTreeCtrl&) = delete;
    CTreeCtrl& operator=(const CTreeCtrl&) = delete;

    HWND GetSafeHwnd() const { return hwnd_; }
    // The window's widget (for placing it), looked up from the handle; null once it is gone.
    QWidget* GetWidget() const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Destroys the window and its widget.
    BOOL DestroyWindow();

    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const;
    HTREEITEM GetRootItem() const { return GetNextItem(0, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(0, TVGN_CARET); }
    HTREEITEM GetFirstVisibleItem() const { return GetNextItem(0, TVGN_FIRSTVISIBLE); }

    BOOL Expand(HTREEITEM item, UINT code);
    BOOL SelectItem(HTREEITEM item);
    BOOL EnsureVisible(HTREEITEM item);
    BOOL DeleteItem(HTREEITEM item);
    BOOL DeleteAllItems();
    UINT GetCount() const;

    // Returns what the control returns (a TreeList returns no previous list).
    ImageList* SetImageList(ImageList* images, int kind);
    ImageList* GetImageList(int kind) const;

    DWORD SetExtendedStyle(DWORD mask, DWORD style);
    DWORD GetExtendedStyle() const;

    DWORD_PTR GetItemData(HTREEITEM item) const;
    // Sends the 8-bit set message.
    BOOL SetItemData(HTREEITEM item, DWORD_PTR data);
    UINT GetItemState(HTREEITEM item, UINT mask) const;
    // Sends the 8-bit set message.
    BOOL SetItemState(HTREEITEM item, UINT state, UINT mask);

    HTREEITEM HitTest(POINT point, UINT* flags = nullptr) const;
    BOOL GetItemRect(HTREEITEM item, RECT* rect, BOOL textOnly) const;

protected:
    HWND hwnd_ = nullptr;
};
