#pragma once
// Helpers of the TreeList tests: a parent window that records the notifications it gets
// (and may answer them), and short ways to insert and read items by message.

#include <QTest>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "controls/treelist/treelist_defs.h"
#include "controls/treelist/treelist_window.h"
#include "platform/qt/message_window.h"

namespace tltest {

class NotifyParent : public QWidget, public plat::MessageWindow {
public:
    NotifyParent() : QWidget(nullptr), plat::MessageWindow(this) { resize(600, 400); }

    struct Note {
        UINT code = 0;
        UINT action = 0;
        HTREEITEM oldItem = 0;
        HTREEITEM newItem = 0;
        UINT newState = 0;
        int column = 0;
        std::wstring text;
    };
    std::vector<Note> notes;
    // Answers a notification; the default answers 0.
    std::function<LRESULT(NMHDR*)> answer;

    std::vector<UINT> Codes() const {
        std::vector<UINT> codes;
        for (const auto& n : notes) codes.push_back(n.code);
        return codes;
    }
    std::vector<UINT> CodesWithout(UINT skipped) const {
        std::vector<UINT> codes;
        for (const auto& n : notes)
            if (n.code != skipped) codes.push_back(n.code);
        return codes;
    }
    int Count(UINT code) const {
        int n = 0;
        for (const auto& note : notes) n += note.code == code;
        return n;
    }
    void Clear() { notes.clear(); }

protected:
    LRESULT DefWindowProc(UINT message, WPARAM, LPARAM lParam) override {
        if (message != WM_NOTIFY) return 0;
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        Note note;
        note.code = header->code;
        const bool treeRecord = header->code <= static_cast<UINT>(-400) && header->code >= static_cast<UINT>(-499) &&
                                header->code != TVN_GETDISPINFOA && header->code != TVN_SETDISPINFOA &&
                                header->code != TVN_BEGINLABELEDITA && header->code != TVN_ENDLABELEDITA &&
                                header->code != TVN_KEYDOWN;
        if (treeRecord) {
            const auto* nm = reinterpret_cast<const NMTREEVIEW*>(header);
            note.action = nm->action;
            note.oldItem = nm->itemOld.hItem;
            note.newItem = nm->itemNew.hItem;
            note.newState = nm->itemNew.state;
            note.column = nm->itemNew.cChildren;
            if (nm->itemNew.pszText && nm->itemNew.pszText != LPSTR_TEXTCALLBACKW) note.text = nm->itemNew.pszText;
        } else if (header->code == TVN_BEGINLABELEDITA || header->code == TVN_ENDLABELEDITA ||
                   header->code == TVN_SETDISPINFOA) {
            const auto* info = reinterpret_cast<const NMTVDISPINFO*>(header);
            note.newItem = info->item.hItem;
            note.column = info->item.cChildren;
            note.newState = info->item.mask;
            if (info->item.pszText) note.text = info->item.pszText;
        }
        notes.push_back(note);
        return answer ? answer(header) : 0;
    }
};

// Tree-list style of the program's task window.
inline constexpr DWORD kTaskWindowStyle = 0x50801087;

inline HTREEITEM Insert(TreeListWindow& list, HTREEITEM parent, const wchar_t* text, HTREEITEM after = TVI_LAST,
                        LPARAM lParam = 0) {
    TVINSERTSTRUCTW insert;
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text);
    insert.item.lParam = lParam;
    return static_cast<HTREEITEM>(list.Message(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

inline std::wstring Text(TreeListWindow& list, HTREEITEM item, int column = 0) {
    wchar_t buffer[300] = {};
    TVITEMW record;
    record.mask = TVIF_TEXT | (column > 0 ? TVIF_SUBITEM : 0);
    record.hItem = item;
    record.pszText = buffer;
    record.cchTextMax = 300;
    record.cChildren = column;
    list.Message(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record));
    return buffer;
}

inline void SetCell(TreeListWindow& list, HTREEITEM item, int column, const wchar_t* text) {
    TVITEMW record;
    record.mask = TVIF_TEXT | TVIF_SUBITEM;
    record.hItem = item;
    record.cChildren = column;
    record.pszText = const_cast<wchar_t*>(text);
    list.Message(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record));
}

inline LRESULT SetState(TreeListWindow& list, HTREEITEM item, UINT state, UINT mask) {
    TVITEMW record;
    record.mask = TVIF_STATE;
    record.hItem = item;
    record.state = state;
    record.stateMask = mask;
    return list.Message(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record));
}

inline UINT State(TreeListWindow& list, HTREEITEM item) {
    return static_cast<UINT>(list.Message(TVM_GETITEMSTATE, item, 0));
}

inline HTREEITEM Next(TreeListWindow& list, UINT code, HTREEITEM from = 0) {
    return static_cast<HTREEITEM>(list.Message(TVM_GETNEXTITEM, code, static_cast<LPARAM>(from)));
}

// The texts of a parent's children, in order.
inline std::vector<std::wstring> Children(TreeListWindow& list, HTREEITEM parent) {
    std::vector<std::wstring> texts;
    for (HTREEITEM h = Next(list, TVGN_CHILD, parent); h; h = Next(list, TVGN_NEXT, h)) texts.push_back(Text(list, h));
    return texts;
}

// The texts of the visible rows, in order.
inline std::vector<std::wstring> Rows(TreeListWindow& list) {
    std::vector<std::wstring> texts;
    const auto count = list.Message(TLM_GETROWCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row)
        texts.push_back(
            Text(list, static_cast<HTREEITEM>(list.Message(TLM_GETITEMOFROW, static_cast<WPARAM>(row), 0))));
    return texts;
}

// A column behind the last one, or at `at`; a negative width is a variable one.
inline int InsertColumn(TreeListWindow& list, const char* title, int width, int minWidth = 0x8000, int at = -1) {
    TV_COLUMN column;
    column.mask = TVCF_TEXT;
    column.pszText = const_cast<char*>(title);
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
    const LRESULT position = at >= 0 ? at : list.Message(TLM_GETCOLUMNCOUNT, 0, 0);
    return static_cast<int>(
        list.Message(TLM_INSERTCOLUMN, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&column)));
}

inline LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

// A key with modifiers through Qt's events; the modifier keys are let go afterwards, so
// that the application's modifier state does not leak into the next test.
inline void KeyClick(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&widget, key, modifiers);
    if (modifiers & Qt::ControlModifier) QTest::keyRelease(&widget, Qt::Key_Control);
    if (modifiers & Qt::ShiftModifier) QTest::keyRelease(&widget, Qt::Key_Shift);
}

}  // namespace tltest
