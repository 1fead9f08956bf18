#pragma once
// The window class through which the program's windows create and fill a TreeList: the
// tree-control helpers, plus what they cannot do: create a window of the "TreeList" class,
// insert columns, and set items and cells with wide texts. It keeps nothing but the
// window handle; the window's widget belongs to its Qt parent.

#include "controls/tree_ctrl.h"

class QWidget;

// Makes the "TreeList" class available to this process (once); false when no GUI
// application exists to create windows in.
bool RegisterTreeListClass();

class CTreeListCtrl : public CTreeCtrl {
public:
    static constexpr const char* kRuntimeClassName = "CTreeListCtrl";
    virtual const char* GetRuntimeClassName() const { return kRuntimeClassName; }

    // Creates the window as a child of `parent` over `rect`; non-zero on success.
    BOOL Create(DWORD style, const RECT& rect, QWidget* parent, UINT id);

    // `format` < 0 keeps the default format; `width` < 0 makes a variable column whose share
    // is -width; `minWidth` 0x8000 keeps the default minimum. The new index, or -1.
    int InsertColumn(int position, const char* text, int format, int width, int minWidth);

    HTREEITEM InsertItemW(UINT mask, const WCHAR* text, int image, int selectedImage, UINT state, UINT stateMask,
                          LPARAM lParam, HTREEITEM parent, HTREEITEM insertAfter);
    // Sets an item (column 0) or a cell. 0, or -1 for an unknown item or column.
    LRESULT SetItemW(HTREEITEM item, int column, UINT mask, const WCHAR* text, int image, int selectedImage, UINT state,
                     UINT stateMask, LPARAM lParam);
    LRESULT SetItemStateW(HTREEITEM item, int column, UINT state, UINT stateMask);
    // The next selected item after `item` (TVI_ROOT to start), 0 after the last.
    HTREEITEM GetNextSelectedItem(HTREEITEM item) const;
};

// The edit part of the task window's folder combo boxes: a window with no behaviour of its
// own; it only names the edit window it is attached to.
class CMyComboBoxEdit {
public:
    BOOL SubclassWindow(HWND hwnd) {
        if (hwnd_ || !IsWindow(hwnd)) return FALSE;
        hwnd_ = hwnd;
        return TRUE;
    }
    HWND UnsubclassWindow() {
        const HWND hwnd = hwnd_;
        hwnd_ = nullptr;
        return hwnd;
    }
    HWND GetSafeHwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};
