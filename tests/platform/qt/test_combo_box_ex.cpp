#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <vector>

#include "platform/core/gui_services.h"
#include "platform/qt/combo_box_ex.h"
#include "platform/qt/message_window.h"
#include "platform/qt/qt_gui_services.h"
#include "platform/qt/system_image_list.h"

namespace {

// A parent window that records the WM_COMMAND notifications of its children.
class RecordingParent : public QWidget, public plat::MessageWindow {
public:
    RecordingParent() : plat::MessageWindow(this) { MapMessage(WM_COMMAND, &RecordingParent::OnCommand); }
    std::vector<WPARAM> commands;
    std::function<void(UINT code)> onCommand;

    std::vector<UINT> Codes() const {
        std::vector<UINT> codes;
        for (WPARAM w : commands) codes.push_back(HIWORD(w));
        return codes;
    }

private:
    LRESULT OnCommand(WPARAM w, LPARAM) {
        commands.push_back(w);
        if (onCommand) onCommand(HIWORD(w));
        return 0;
    }
};

void Append(HWND combo, const wchar_t* text) {
    std::wstring copy = text;
    COMBOBOXEXITEMW item;
    item.mask = CBEIF_TEXT;
    item.iItem = -1;
    item.pszText = copy.data();
    SendMessage(combo, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

std::wstring EditText(HWND combo) {
    wchar_t buffer[100] = {};
    SendMessage(combo, WM_GETTEXT, 100, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

wchar_t* Text(std::wstring& s) { return s.data(); }

TEST(ComboBoxEx, FillReadAndNotifyByMessages) {
    plat::QtGuiServices services;
    RecordingParent parent;
    const HWND combo = services.CreateComboBoxEx(parent.GetSafeHwnd(), 0x10000000, RECT{0, 0, 200, 24}, 7016);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(GetParent(combo), parent.GetSafeHwnd());

    std::wstring a = L"/home/u/Documents", b = L"/media/u/CARD";
    COMBOBOXEXITEMW item;
    item.mask = CBEIF_TEXT | CBEIF_IMAGE;
    item.iItem = -1;
    item.pszText = Text(a);
    EXPECT_EQ(SendMessage(combo, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), 0);
    item.pszText = Text(b);
    item.iItem = 0;  // insert at the head
    EXPECT_EQ(SendMessage(combo, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), 0);
    EXPECT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), 2);

    wchar_t buffer[64] = {};
    ASSERT_EQ(SendMessage(combo, CB_GETLBTEXTLEN, 1, 0), static_cast<LRESULT>(a.size()));
    SendMessage(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(buffer));
    EXPECT_EQ(std::wstring(buffer), a);
    EXPECT_EQ(SendMessage(combo, CB_GETLBTEXT, 5, reinterpret_cast<LPARAM>(buffer)), CB_ERR);

    SendMessage(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"/typed/folder"));
    EXPECT_EQ(SendMessage(combo, WM_GETTEXTLENGTH, 0, 0), 13);
    wchar_t small[6] = {};
    EXPECT_EQ(SendMessage(combo, WM_GETTEXT, 6, reinterpret_cast<LPARAM>(small)), 5);
    EXPECT_EQ(std::wstring(small), L"/type");
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_TRUE(parent.commands.empty());  // text set by the program is no user edit

    auto* box = static_cast<plat::ComboBoxEx*>(plat::MessageWindow::FromHwnd(combo));
    box->setEditText(QStringLiteral("/by/user"));
    ASSERT_EQ(parent.commands.size(), 1u);
    EXPECT_EQ(LOWORD(parent.commands[0]), 7016);
    EXPECT_EQ(HIWORD(parent.commands[0]), CBN_EDITCHANGE);

    SendMessage(combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), 0);
}

// The parent fills the list when it is told the list opens; only a pick from the open
// list is a choice, never Enter over a text that happens to equal an entry.
TEST(ComboBoxEx, ListFilledOnDropDownAndOnlyAPickIsAChoice) {
    plat::QtGuiServices services;
    RecordingParent parent;
    const HWND combo = services.CreateComboBoxEx(parent.GetSafeHwnd(), 0x10000000, RECT{0, 0, 200, 24}, 7015);
    auto* box = static_cast<plat::ComboBoxEx*>(plat::MessageWindow::FromHwnd(combo));
    parent.show();
    SendMessage(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"/typed"));
    parent.onCommand = [&](UINT code) {
        if (code != CBN_DROPDOWN) return;
        while (SendMessage(combo, CB_GETCOUNT, 0, 0) > 0) SendMessage(combo, CB_DELETESTRING, 0, 0);
        Append(combo, L"/b");
        Append(combo, L"/c");
    };
    const auto choices = [&] {
        const std::vector<UINT> codes = parent.Codes();
        return std::count(codes.begin(), codes.end(), CBN_SELCHANGE);
    };

    box->showPopup();
    EXPECT_EQ(parent.Codes(), std::vector<UINT>{CBN_DROPDOWN});
    EXPECT_EQ(box->count(), 2);
    EXPECT_EQ(EditText(combo), L"/typed");  // filling the list leaves the typed text

    QAbstractItemView* list = box->view();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
    EXPECT_EQ(choices(), 1);
    EXPECT_EQ(EditText(combo), L"/c");

    QTest::qWait(1);
    box->lineEdit()->setText(QStringLiteral("/b"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);  // equals an entry, list closed
    box->showPopup();
    QTest::keyClick(list, Qt::Key_Escape);
    QTest::qWait(1);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);  // after a list closed with Esc
    EXPECT_EQ(choices(), 1);

    const HWND edit = reinterpret_cast<HWND>(SendMessage(combo, CBEM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(GetParent(edit), combo);
}

}  // namespace

namespace {

TEST(SystemImageList, SameKindSameIndexAndMissingFilesHaveNone) {
    plat::QtGuiServices services;
    auto& gui = services;
    const int folder = gui.SmallIconIndex(L"/any/folder", plat::IconKind::Folder, false);
    EXPECT_GE(folder, 0);
    EXPECT_EQ(gui.SmallIconIndex(L"/other", plat::IconKind::Folder, false), folder);
    const int text1 = gui.SmallIconIndex(L"a.txt", plat::IconKind::File, false);
    const int text2 = gui.SmallIconIndex(L"b.txt", plat::IconKind::File, false);
    EXPECT_EQ(text1, text2);
    EXPECT_NE(gui.SmallIconIndex(L"c.pdf", plat::IconKind::File, false), text1);
    EXPECT_EQ(gui.SmallIconIndex(L"/no/such/file.txt", plat::IconKind::File, true), -1);
}

}  // namespace
