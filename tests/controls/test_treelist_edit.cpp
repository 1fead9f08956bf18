// TreeList in-place editing and tooltips: edit boxes, combo boxes, stepped values and
// check boxes, how edits end, and the hover tip.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <cstring>

#include "tests/controls/treelist_test_support.h"

using namespace tltest;

namespace {

std::wstring EditorText(HWND editor) {
    wchar_t buffer[300] = {};
    SendMessage(editor, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

class TreeListEdit : public ::testing::Test {
protected:
    void SetUp() override {
        list.Message(WM_SIZE, 0, MAKELPARAM(500, 300));
        list.Message(TVM_SETEXTENDEDSTYLE, TVS_EX_SUBSELECT, TVS_EX_SUBSELECT);
        InsertColumn(list, "Name", 150);
        InsertColumn(list, "Value", 150);
        InsertColumn(list, "Other", 150);
        first = Insert(list, TVI_ROOT, L"first");
        second = Insert(list, TVI_ROOT, L"second");
        SetCell(list, first, 1, L"mid");
        SetCell(list, second, 1, L"low");
    }
    void AutoEdit(UINT kind, UINT options, const wchar_t* values = nullptr, int columnValue = -1) {
        list.Message(TLM_SETCOLUMNAUTOEDIT, TVAE_MAKE(1, kind, options, L'|'), reinterpret_cast<LPARAM>(values));
        if (columnValue >= 0) list.Message(TLM_SETCOLUMNVALUE, 1, columnValue);
        list.Message(TLM_SELECTCHILDITEM, 1, static_cast<LPARAM>(first));
    }
    HWND Editor() { return reinterpret_cast<HWND>(list.Message(TVM_GETEDITCONTROL, 0, 0)); }
    int CellImage(HTREEITEM item) {
        TVITEMW get;
        get.mask = TVIF_IMAGE | TVIF_SUBITEM;
        get.hItem = item;
        get.cChildren = 1;
        list.Message(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get));
        return get.iImage;
    }
    UINT CellState(HTREEITEM item) {
        TVITEMW get;
        get.mask = TVIF_STATE | TVIF_SUBITEM;
        get.hItem = item;
        get.cChildren = 1;
        get.stateMask = 0xFFFFFFFF;
        list.Message(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get));
        return get.state;
    }
    const NotifyParent::Note* Last(UINT code) {
        for (auto it = parent.notes.rbegin(); it != parent.notes.rend(); ++it)
            if (it->code == code) return &*it;
        return nullptr;
    }

    NotifyParent parent;
    TreeListWindow list{kTaskWindowStyle | TVS_EDITLABELS, &parent, 47945};
    HTREEITEM first = 0, second = 0;
};

TEST_F(TreeListEdit, EnterEditsAndEnterAccepts) {
    AutoEdit(TVAX_EDIT, 0);
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    const HWND editor = Editor();
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(Last(TVN_BEGINLABELEDITA), nullptr);
    EXPECT_EQ(Last(TVN_BEGINLABELEDITA)->column, 1);
    EXPECT_EQ(Last(TVN_BEGINLABELEDITA)->text, L"mid");
    EXPECT_EQ(EditorText(editor), L"mid");
    ASSERT_NE(qobject_cast<QLineEdit*>(list.EditorWidget()), nullptr);

    SendMessage(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"new text"));
    SendMessage(editor, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(Editor(), nullptr);
    const auto* end = Last(TVN_ENDLABELEDITA);
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(end->text, L"new text");
    EXPECT_TRUE(end->newState & TVIF_TEXTCHANGED);
    EXPECT_TRUE(end->newState & TVIF_NEXTCOLUMN);
    EXPECT_EQ(Text(list, first, 1), L"new text");
    EXPECT_EQ(Next(list, TVGN_CARET), first);  // no option 0x1: the caret stays
}

TEST_F(TreeListEdit, EnterMovesOnOnlyWithTheOptionAndAChangedText) {
    AutoEdit(TVAX_EDIT, TVAE_NEXTLINE);
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    SendMessage(Editor(), WM_KEYDOWN, VK_RETURN, 1);  // unchanged
    EXPECT_EQ(Next(list, TVGN_CARET), first);
    EXPECT_EQ(Text(list, first, 1), L"mid");

    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    SendMessage(Editor(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"changed"));
    SendMessage(Editor(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(Text(list, first, 1), L"changed");
    EXPECT_EQ(Next(list, TVGN_CARET), second);
    EXPECT_EQ(Next(list, TVGN_CARETCOLUMN), 1u);
}

TEST_F(TreeListEdit, FocusLossAcceptsWithoutMovingAndEscapeCancels) {
    AutoEdit(TVAX_EDIT, TVAE_NEXTLINE);
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    SendMessage(Editor(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"by focus"));
    SendMessage(Editor(), WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(Text(list, first, 1), L"by focus");
    EXPECT_EQ(Next(list, TVGN_CARET), first);

    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    SendMessage(Editor(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"thrown away"));
    SendMessage(Editor(), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(Text(list, first, 1), L"by focus");
    EXPECT_FALSE(Last(TVN_ENDLABELEDITA)->newState & TVIF_TEXT);
    EXPECT_EQ(Editor(), nullptr);
}

TEST_F(TreeListEdit, TheParentMayRefuseTheStartOrTheText) {
    AutoEdit(TVAX_EDIT, 0);
    parent.answer = [](NMHDR* h) -> LRESULT { return h->code == TVN_BEGINLABELEDITA ? 1 : 0; };
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(parent.Count(TVN_ENDLABELEDITA), 0);

    parent.answer = [](NMHDR* h) -> LRESULT { return h->code == TVN_ENDLABELEDITA ? 1 : 0; };
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    SendMessage(Editor(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"refused"));
    SendMessage(Editor(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(Text(list, first, 1), L"mid");
}

TEST_F(TreeListEdit, TypingStartsAnEditWithTheCharacter) {
    AutoEdit(TVAX_EDIT, 0);
    list.Message(WM_CHAR, '#', 1);  // below '0': not a start
    EXPECT_EQ(Editor(), nullptr);
    list.Message(WM_CHAR, 'x', 1);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(EditorText(Editor()), L"x");
    SendMessage(Editor(), WM_CHAR, 'y', 1);
    SendMessage(Editor(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(Text(list, first, 1), L"xy");
    EXPECT_TRUE(Last(TVN_ENDLABELEDITA)->newState & TVIF_TEXTCHANGED);

    AutoEdit(TVAX_EDIT, TVAE_NOCHARS);
    list.Message(WM_CHAR, 'z', 1);
    EXPECT_EQ(Editor(), nullptr);
}

TEST_F(TreeListEdit, SteppedValuesWalkTheListAndWrap) {
    AutoEdit(TVAX_STEP, 0, L"low|mid|high", 10);
    parent.Clear();
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(Editor(), nullptr);  // no window for stepping
    EXPECT_EQ(Text(list, first, 1), L"high");
    EXPECT_EQ(CellImage(first), 12);
    ASSERT_NE(Last(TLN_STEPVALUE), nullptr);
    EXPECT_EQ(Last(TLN_STEPVALUE)->text, L"high");
    EXPECT_EQ(Last(TLN_STEPVALUE)->column, 1);
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(Text(list, first, 1), L"low");
    EXPECT_EQ(CellImage(first), 10);
    // A text that is not in the list steps to the first entry.
    SetCell(list, first, 1, L"unknown");
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(Text(list, first, 1), L"low");
}

TEST_F(TreeListEdit, PointerValueListsStopAtANullEntry) {
    const wchar_t* values[] = {L"one", L"two", nullptr, L"never"};
    list.Message(TLM_SETCOLUMNAUTOEDIT, TVAE_MAKE(1, TVAX_STEP, TVAE_PTRLIST), reinterpret_cast<LPARAM>(values));
    list.Message(TLM_SELECTCHILDITEM, 1, static_cast<LPARAM>(first));
    SetCell(list, first, 1, L"two");
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(Text(list, first, 1), L"one");
}

TEST_F(TreeListEdit, CheckBoxColumns) {
    AutoEdit(TVAX_CHECK, 0);
    SetState(list, first, 0, 0);
    TVITEMW set;
    set.mask = TVIF_STATE | TVIF_SUBITEM;
    set.hItem = first;
    set.cChildren = 1;
    set.state = INDEXTOSTATEIMAGEMASK(1);
    set.stateMask = TVIS_STATEIMAGEMASK;
    list.Message(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&set));
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(CellState(first) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2));
    EXPECT_EQ(parent.Count(TLN_CBSTATECHANGED), 1);

    // Kind 7: Ctrl+Enter flips without an editor, Enter opens a drop-down list.
    AutoEdit(TVAX_CHECKED, 0, L"no|yes");
    KeyClick(list, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(CellState(first) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1));
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_NE(Editor(), nullptr);
    auto* combo = qobject_cast<QComboBox*>(list.EditorWidget());
    ASSERT_NE(combo, nullptr);
    EXPECT_FALSE(combo->isEditable());
    SendMessage(Editor(), WM_KEYDOWN, VK_ESCAPE, 1);
}

TEST_F(TreeListEdit, DropDownListStoresTheChosenEntryAndItsImage) {
    AutoEdit(TVAX_CBLIST, 0, L"low|mid|high", 20);
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    const HWND editor = Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(SendMessage(editor, 0x0146 /* CB_GETCOUNT */, 0, 0), 3);
    EXPECT_EQ(SendMessage(editor, 0x0147 /* CB_GETCURSEL */, 0, 0), 1);  // the current text
    SendMessage(editor, 0x014E /* CB_SETCURSEL */, 2, 0);
    SendMessage(editor, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(Text(list, first, 1), L"high");
    EXPECT_EQ(CellImage(first), 22);
}

TEST_F(TreeListEdit, ReadOnlyCellsAndTheEditStyle) {
    AutoEdit(TVAX_EDIT, TVAE_STATEENABLE);
    TVITEMW set;
    set.mask = TVIF_STATE | TVIF_SUBITEM;
    set.hItem = first;
    set.cChildren = 1;
    set.state = TVIS_DISABLEBIT;
    set.stateMask = TVIS_DISABLEBIT;
    list.Message(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&set));
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(Editor(), nullptr);

    NotifyParent other;
    TreeListWindow plain(kTaskWindowStyle, &other, 3);
    const HTREEITEM item = Insert(plain, TVI_ROOT, L"x");
    EXPECT_EQ(plain.Message(TVM_EDITLABELA, 0, static_cast<LPARAM>(item)), 0);
}

TEST_F(TreeListEdit, EditLabelMessageAndCallbackTexts) {
    TVITEMW set;
    set.mask = TVIF_TEXT;
    set.hItem = second;
    set.pszText = LPSTR_TEXTCALLBACKW;
    list.Message(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&set));
    const LRESULT editor = list.Message(TVM_EDITLABELA, 0 | (TVLE_EDIT << 29), static_cast<LPARAM>(second));
    ASSERT_NE(editor, 0);
    EXPECT_EQ(Next(list, TVGN_CARET), second);
    SendMessage(reinterpret_cast<HWND>(editor), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"for the parent"));
    EXPECT_EQ(list.Message(TVM_ENDEDITLABELNOW, 0, 0), 1);
    ASSERT_NE(Last(TVN_SETDISPINFOA), nullptr);
    EXPECT_EQ(Last(TVN_SETDISPINFOA)->text, L"for the parent");
}

TEST_F(TreeListEdit, DoubleClickWithTheOptionAndColumnDeletionCancels) {
    AutoEdit(TVAX_COMBO, TVAE_DBLCLICK, L"low|mid|high");
    RECT rect = TVIR_REQUEST(first);
    list.Message(TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
    const int h = static_cast<int>(list.Message(TVM_GETITEMHEIGHT, 0, 0));
    list.Message(WM_LBUTTONDBLCLK, MK_LBUTTON, Point(160, rect.top + h / 2));
    ASSERT_NE(Editor(), nullptr);
    auto* combo = qobject_cast<QComboBox*>(list.EditorWidget());
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isEditable());
    EXPECT_EQ(combo->currentText(), QStringLiteral("mid"));
    list.Message(TLM_DELETECOLUMN, 1, 0);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_FALSE(Last(TVN_ENDLABELEDITA)->newState & TVIF_TEXT);
}

TEST_F(TreeListEdit, GivingTheEditorTheFocusDoesNotLockTheWindow) {
    parent.show();
    QApplication::setActiveWindow(&parent);
    list.setFocus();
    AutoEdit(TVAX_EDIT, 0);
    list.Message(WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_NE(Editor(), nullptr);
    // The focus moves elsewhere: the edit ends, accepting.
    SendMessage(Editor(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"kept"));
    QLineEdit elsewhere(&parent);
    elsewhere.show();
    elsewhere.setFocus();
    for (int i = 0; i < 5 && Editor(); ++i) QApplication::processEvents();
    if (QApplication::focusWidget() == &elsewhere) {
        EXPECT_EQ(Editor(), nullptr);
        EXPECT_EQ(Text(list, first, 1), L"kept");
    }
}

// ---------------------------------------------------------------- tooltips

class TreeListTips : public ::testing::Test {
protected:
    void SetUp() override {
        list.Message(WM_SIZE, 0, MAKELPARAM(400, 300));
        InsertColumn(list, "Name", 80);
        InsertColumn(list, "Size", 80);
        h = static_cast<int>(list.Message(TVM_GETITEMHEIGHT, 0, 0));
        shortItem = Insert(list, TVI_ROOT, L"ab");
        longItem = Insert(list, TVI_ROOT, L"a name far too long for its column");
    }
    void Hover(HTREEITEM item) {
        RECT rect = TVIR_REQUEST(item);
        list.Message(TVM_GETITEMRECT, TVIR_TEXT, reinterpret_cast<LPARAM>(&rect));
        list.Message(WM_MOUSEMOVE, 0, Point(rect.left + 4, rect.top + h / 2));
    }
    NotifyParent parent;
    TreeListWindow list{TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS, &parent, 9};
    HTREEITEM shortItem = 0, longItem = 0;
    int h = 0;
};

TEST_F(TreeListTips, TheFullTextOfACutItem) {
    Hover(shortItem);
    EXPECT_EQ(list.TooltipText(), L"");
    Hover(longItem);
    EXPECT_EQ(list.TooltipText(), L"a name far too long for its column");
    list.Message(WM_MOUSEMOVE, 0, Point(390, 290));
    EXPECT_EQ(list.TooltipText(), L"");
}

TEST_F(TreeListTips, TheParentMayGiveTheTip) {
    list.Message(TVM_SETEXTENDEDSTYLE, TVS_EX_TOOLTIPNOTIFY, TVS_EX_TOOLTIPNOTIFY);
    static wchar_t tip[] = L"from the parent";
    parent.answer = [](NMHDR* header) -> LRESULT {
        if (header->code != TLN_ITEMTOOLTIP) return 0;
        reinterpret_cast<NMTREEVIEW*>(header)->itemNew.pszText = tip;
        return 1;
    };
    Hover(shortItem);
    EXPECT_EQ(parent.Count(TLN_ITEMTOOLTIP), 1);
    EXPECT_EQ(list.TooltipText(), L"from the parent");
    // A zero answer falls back to the control's own rule.
    parent.answer = nullptr;
    Hover(longItem);
    EXPECT_EQ(list.TooltipText(), L"a name far too long for its column");
}

TEST_F(TreeListTips, NoTipsWithTheNoTooltipStyle) {
    NotifyParent other;
    TreeListWindow quiet(kTaskWindowStyle, &other, 10);
    quiet.Message(WM_SIZE, 0, MAKELPARAM(400, 300));
    InsertColumn(quiet, "Name", 60);
    const HTREEITEM item = Insert(quiet, TVI_ROOT, L"a name far too long for its column");
    RECT rect = TVIR_REQUEST(item);
    quiet.Message(TVM_GETITEMRECT, TVIR_TEXT, reinterpret_cast<LPARAM>(&rect));
    quiet.Message(WM_MOUSEMOVE, 0, Point(rect.left + 4, rect.top + 3));
    EXPECT_EQ(quiet.TooltipText(), L"");
}

}  // namespace
