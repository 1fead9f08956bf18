// The window procedure of the "TreeList" class: standard messages, tree-view messages and
// the control's own messages, each handed to the operation behind it.
#include <QFont>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstring>

#include "controls/treelist/incremental_search.h"
#include "controls/treelist/item_handles.h"
#include "controls/treelist/treelist_editor.h"
#include "controls/treelist/treelist_header.h"
#include "controls/treelist/treelist_ids.h"
#include "controls/treelist/treelist_window.h"
#include "platform/core/text.h"

using treelist::kEditorId;
using treelist::kHeaderId;
using treelist::kTooltipTimerId;

namespace {

constexpr UINT kWmDrawItem = 0x002B;
constexpr UINT kWmCut = 0x0300;
constexpr UINT kWmCopy = 0x0301;
constexpr UINT kWmPaste = 0x0302;

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

int RepeatCount(LPARAM lParam) { return std::max<int>(LOWORD(static_cast<DWORD_PTR>(lParam)), 1); }

}  // namespace

LRESULT TreeListWindow::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return TreeListWndProc(message, wParam, lParam);
}

LRESULT TreeListWindow::TreeListWndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    WindowLockGuard guard(lock_);
    if (message >= TV_FIRST && message < TV_FIRST + 0x43) return OnTreeViewMessage(message, wParam, lParam);
    if (message >= TLM_FINDITEM && message <= TLM_GETHEADER) return OnOwnMessage(message, wParam, lParam);

    switch (message) {
    case WM_CREATE: return 0;
    case WM_DESTROY: DestroyContents(); return 0;
    case WM_SIZE: OnSize(LOWORD(static_cast<DWORD_PTR>(lParam)), HIWORD(static_cast<DWORD_PTR>(lParam))); return 0;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_KILLFOCUS: OnKillFocus(); return 0;
    case WM_ENABLE: OnEnable(wParam != 0); return 0;
    case WM_PAINT:
        if (wParam) {
            Paint(*reinterpret_cast<QPainter*>(wParam), QRect(0, 0, clientWidth_, clientHeight_));
        } else {
            InvalidateAll();
        }
        return 0;
    case WM_SYSCOLORCHANGE:
        UpdateSystemColors();
        if (header_) header_->update();
        InvalidateAll();
        return 0;
    case WM_SETREDRAW: SetRedraw(wParam != 0); return 0;
    case WM_SHOWWINDOW:
        if (wParam) UpdateScrollBars(true);
        return 0;
    case kWmDrawItem:
        if (wParam == kHeaderId) return SendToParent(kWmDrawItem, id_, lParam);
        return 0;
    case WM_SETFONT:
        if (wParam) {
            const QFont font = *reinterpret_cast<const QFont*>(wParam);
            setFont(font);
            ApplyFont(font);
        }
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(&font_);
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (!header) return 0;
        if (header->idFrom == kHeaderId) return OnHeaderNotify(*header);
        return 0;
    }
    case WM_STYLECHANGED:
        if (static_cast<int>(wParam) == GWL_STYLE && lParam) {
            const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
            OnStyleChanged(style_, change->styleNew);
        }
        return 0;
    case WM_GETDLGCODE: {
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) return DLGC_WANTALLKEYS;
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    }
    case WM_KEYDOWN:
        for (int i = RepeatCount(lParam); i > 0; --i) OnKeyDown(static_cast<UINT>(wParam));
        return 0;
    case WM_CHAR:
        for (int i = RepeatCount(lParam); i > 0; --i) OnChar(static_cast<wchar_t>(wParam));
        return 0;
    case WM_KEYUP: return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == kEditorId) OnEditCommand(HIWORD(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == kTooltipTimerId) OnTooltipTimer();
        return 0;
    case WM_VSCROLL: {
        const UINT code = LOWORD(wParam);
        int position = HIWORD(wParam);
        // Thumb positions past 65,535 rows come from the scroll bar itself.
        if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
            const int track = verticalScrollBar()->sliderPosition();
            if ((track & 0xFFFF) == position) position = track;
        }
        VScroll(code, position);
        return 0;
    }
    case WM_HSCROLL: {
        const UINT code = LOWORD(wParam);
        int position = HIWORD(wParam);
        if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
            const int track = horizontalScrollBar()->sliderPosition();
            if ((track & 0xFFFF) == position) position = track;
        }
        HScroll(code, position);
        return 0;
    }
    case WM_MOUSEWHEEL: OnWheel(wParam); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: OnMouseButton(message, wParam, PointOf(lParam)); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: OnButtonUp(); return 0;
    case WM_MOUSEMOVE: OnMouseMove(wParam, PointOf(lParam)); return 0;
    case kWmCut:
    case kWmCopy:
    case kWmPaste:
        if (QLineEdit* edit = editor_ ? editor_->LineEdit() : nullptr) {
            if (message == kWmCut)
                edit->cut();
            else if (message == kWmCopy)
                edit->copy();
            else
                edit->paste();
        }
        return 0;
    case CCM_GETUNICODEFORMAT: return 1;
    default: return 0;
    }
}

LRESULT TreeListWindow::OnTreeViewMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto item = static_cast<HTREEITEM>(lParam);
    switch (message) {
    case TVM_INSERTITEMW:
        return lParam ? static_cast<LRESULT>(InsertItem(*reinterpret_cast<const TVINSERTSTRUCTW*>(lParam))) : 0;
    case TVM_DELETEITEM:
        if (IsRootHandle(item)) {
            if (sorting_) return 0;
            DeleteAllItems();
            return 1;
        }
        return DeleteItem(IndexOfHandle(item), true) ? 1 : 0;
    case TVM_EXPAND: return Expand(IndexOfHandle(item), static_cast<UINT>(wParam)) ? 1 : 0;
    case TVM_GETITEMRECT: return GetItemRect(wParam, reinterpret_cast<RECT*>(lParam));
    case TVM_GETCOUNT: return items_.Count();
    case TVM_GETINDENT: return indent_;
    case TVM_SETINDENT: {
        const int previous = indent_;
        indent_ = std::clamp(static_cast<int>(wParam), 5, 64);
        InvalidateAll();
        return previous;
    }
    case TVM_GETIMAGELIST:
        if (wParam == TVSIL_NORMAL || wParam == TVSIL_STATE || wParam == TVSIL_CHECK)
            return reinterpret_cast<LRESULT>(ImageListOf(static_cast<UINT>(wParam)));
        return 0;
    case TVM_SETIMAGELIST: SetImageList(static_cast<UINT>(wParam), reinterpret_cast<ImageList*>(lParam)); return 0;
    case TVM_GETNEXTITEM:
        if (wParam > TVGN_LASTCHILD || wParam == 11) return 0;
        return static_cast<LRESULT>(GetNextItem(static_cast<UINT>(wParam), item));
    case TVM_SELECTITEM:
        switch (wParam) {
        case TVGN_CARET: return SelectItem(IndexOfHandle(item), 0, TVC_UNKNOWN);
        case TVGN_DROPHILITE:
            if (item && !items_.Get(IndexOfHandle(item))) return 0;
            SetDropHighlight(IndexOfHandle(item), 0);
            return 1;
        case TVGN_FIRSTVISIBLE: return ScrollToFirst(IndexOfHandle(item)) ? 1 : 0;
        default: return 0;
        }
    case TVM_GETITEMA: return lParam && GetItem(*reinterpret_cast<TVITEMW*>(lParam)) ? 1 : 0;
    case TVM_EDITLABELA:
        if (!(style_ & TVS_EDITLABELS)) return 0;
        return BeginEdit(IndexOfHandle(item), static_cast<unsigned>(wParam & TVLE_COLUMNMASK),
                         static_cast<unsigned>((wParam >> 29) & 3));
    case TVM_GETEDITCONTROL: return editor_ ? reinterpret_cast<LRESULT>(editor_->Hwnd()) : 0;
    case TVM_GETVISIBLECOUNT: return rowsPerPageDown_;
    case TVM_HITTEST: {
        auto* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
        if (!info) return 0;
        const Hit hit = HitTest(info->pt);
        info->flags = hit.flags;
        info->hItem = hit.item;
        return static_cast<LRESULT>(hit.item);
    }
    case TVM_CREATEDRAGIMAGE: return CreateDragImage(static_cast<unsigned>(wParam), IndexOfHandle(item));
    case TVM_SORTCHILDREN: {
        const ItemIndex parent = IsRootHandle(item) ? 0 : IndexOfHandle(item);
        SortChildren(parent, wParam != 0, 0, 0, 0);
        return 1;
    }
    case TVM_ENSUREVISIBLE: return EnsureVisible(IndexOfHandle(item), static_cast<unsigned>(wParam));
    case TVM_SORTCHILDRENCB: {
        const auto* sort = reinterpret_cast<const TVSORTCB*>(lParam);
        if (!sort) return 0;
        const ItemIndex parent = IsRootHandle(sort->hParent) ? 0 : IndexOfHandle(sort->hParent);
        SortChildren(parent, wParam != 0, 1, reinterpret_cast<LPARAM>(sort->lpfnCompare), sort->lParam);
        return 1;
    }
    case TVM_ENDEDITLABELNOW: EndEdit(wParam ? 0 : 1); return 1;
    case TVM_GETISEARCHSTRINGA: {
        const std::string text = plat::WideToUtf8(IncrementalSearch::Shared().Current(IncrementalSearch::NowMs()));
        if (auto* buffer = reinterpret_cast<char*>(lParam); buffer && wParam > 0) {
            const std::size_t n = plat::CutUtf8(text, static_cast<std::size_t>(wParam) - 1).size();
            std::memcpy(buffer, text.data(), n);
            buffer[n] = 0;
        }
        return static_cast<LRESULT>(text.size());
    }
    case TVM_SETTOOLTIPS: {
        const HWND previous = tooltipWindow_;
        tooltipWindow_ = reinterpret_cast<HWND>(wParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case TVM_GETTOOLTIPS: return reinterpret_cast<LRESULT>(tooltipWindow_);
    case TVM_SETINSERTMARK: return SetInsertMark(IndexOfHandle(item), wParam != 0);
    case TVM_SETITEMHEIGHT: {
        const int previous = itemHeight_;
        SetItemHeight(static_cast<int>(static_cast<LPARAM>(wParam)));
        return previous;
    }
    case TVM_GETITEMHEIGHT: return itemHeight_;
    case TVM_SETBKCOLOR:
    case TVM_SETTEXTCOLOR:
    case TVM_SETINSERTMARKCOLOR:
    case TVM_SETLINECOLOR: {
        UINT index = static_cast<UINT>(wParam);
        if (message == TVM_SETTEXTCOLOR)
            index = TVC_TEXT;
        else if (message == TVM_SETINSERTMARKCOLOR)
            index = TVC_INSERT;
        else if (message == TVM_SETLINECOLOR)
            index = TVC_LINE;
        if (index >= TVC_COUNT) return -1;
        const COLORREF previous = colors_.Set(index, static_cast<COLORREF>(lParam));
        if (previous != colors_.Get(index)) InvalidateAll();
        return static_cast<LRESULT>(previous);
    }
    case TVM_GETBKCOLOR: return wParam < TVC_COUNT ? static_cast<LRESULT>(colors_.Get(static_cast<UINT>(wParam))) : -1;
    case TVM_GETTEXTCOLOR: return static_cast<LRESULT>(colors_.Get(TVC_TEXT));
    case TVM_GETINSERTMARKCOLOR: return static_cast<LRESULT>(colors_.Get(TVC_INSERT));
    case TVM_GETLINECOLOR: return static_cast<LRESULT>(colors_.Get(TVC_LINE));
    case TVM_GETITEMSTATE: {
        const TreeItem* it = items_.Get(IndexOfHandle(static_cast<HTREEITEM>(wParam)));
        return it ? static_cast<LRESULT>(it->state) : 0;
    }
    case TVM_SETEXTENDEDSTYLE: return SetExtendedStyle(static_cast<DWORD>(wParam), static_cast<DWORD>(lParam));
    case TVM_GETEXTENDEDSTYLE: return exStyle_;
    case TVM_SETITEMW: return lParam ? SetItem(*reinterpret_cast<const TVITEMW*>(lParam)) : -1;
    default: return 0;  // the 8-bit insert and set, and TVM_GETITEMW, are not answered
    }
}

LRESULT TreeListWindow::OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto item = static_cast<HTREEITEM>(lParam);
    const auto column = static_cast<unsigned>(wParam);
    switch (message) {
    case TLM_FINDITEM:
        return lParam ? static_cast<LRESULT>(
                            FindItem(static_cast<HTREEITEM>(wParam), *reinterpret_cast<const TLFINDITEM*>(lParam)))
                      : 0;
    case TLM_GETROWSPERPAGE: return rowsPerPageUp_;
    case TLM_SETCOLUMNVALUE: {
        TreeColumn* record = columns_.At(column);
        if (!record || record->autoEditKind == 0) return 0;
        record->columnValue = static_cast<int>(lParam);
        return 1;
    }
    case TLM_SETCOLUMNAUTOEDIT: return SetColumnAutoEdit(wParam, lParam) ? 1 : 0;
    case TLM_SORTEX: {
        const auto* sort = reinterpret_cast<const TLSORTEX*>(lParam);
        if (!sort) return 0;
        const ItemIndex parent = IsRootHandle(sort->hParent) ? 0 : IndexOfHandle(sort->hParent);
        SortChildren(parent, wParam != 0, 2, reinterpret_cast<LPARAM>(sort->lpfnCompare), sort->lParam);
        return 1;
    }
    case TLM_GETUSERDATA: {
        const TreeItem* it = items_.Get(IndexOfHandle(item));
        return it && it->userData ? reinterpret_cast<LRESULT>(it->userData.get()) : 0;
    }
    case TLM_GETUSERDATASIZE: return static_cast<LRESULT>(userDataSize_);
    case TLM_SETUSERDATASIZE:
        if (lParam < 0 || lParam > 0x1000000) return -1;
        if (items_.Count() == 0) userDataSize_ = static_cast<std::size_t>(lParam);
        return 1;
    case TLM_GETCOLUMNWIDTH: return columns_.At(column) ? columns_.At(column)->shown : 0;
    case TLM_SETCOLUMNWIDTH: return SetColumnWidth(column, static_cast<int>(lParam));
    case TLM_GETCOLUMN: return lParam && GetColumn(column, *reinterpret_cast<TV_COLUMN*>(lParam)) ? 1 : 0;
    case TLM_SETCOLUMN: return lParam && SetColumn(column, *reinterpret_cast<const TV_COLUMN*>(lParam)) ? 1 : 0;
    case TLM_GETROWOFITEM: return items_.RowOf(IndexOfHandle(item));
    case TLM_GETROWCOUNT: return items_.RowCount();
    case TLM_GETITEMOFROW: return items_.ItemOfRow(static_cast<std::size_t>(wParam));
    case TLM_GETITEMTEXTCOLOR:
        return GetItemColor(IndexOfHandle(static_cast<HTREEITEM>(wParam)), static_cast<unsigned>(lParam), false);
    case TLM_SETITEMTEXTCOLOR: return SetItemColor(wParam, static_cast<COLORREF>(lParam), false);
    case TLM_GETITEMBKCOLOR:
        return GetItemColor(IndexOfHandle(static_cast<HTREEITEM>(wParam)), static_cast<unsigned>(lParam), true);
    case TLM_SETITEMBKCOLOR: return SetItemColor(wParam, static_cast<COLORREF>(lParam), true);
    case TLM_SELECTDROPTARGET: {
        const ItemIndex handle = IndexOfHandle(item);
        if ((item && !items_.Get(handle)) || (column > 0 && column >= ColumnCount())) return 0;
        SetDropHighlight(handle, (exStyle_ & TVS_EX_SUBSELECT) ? column : 0);
        return 1;
    }
    case TLM_SELECTCHILDITEM:
        return SelectItem(IndexOfHandle(item), (exStyle_ & TVS_EX_SUBSELECT) ? column : 0, TVC_UNKNOWN);
    case TLM_INSERTCOLUMN: return lParam ? InsertColumn(column, *reinterpret_cast<const TV_COLUMN*>(lParam)) : -1;
    case TLM_DELETECOLUMN: return DeleteColumn(column) ? 1 : 0;
    case TLM_GETCOLUMNCOUNT: return ColumnCount();
    case TLM_GETHEADER: return header_ ? reinterpret_cast<LRESULT>(header_->GetSafeHwnd()) : 0;
    default: return 0;
    }
}
