#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QVBoxLayout>
#include <memory>
#include <string>
#include <vector>

#include "controls/tree_property_sheet/help_popup.h"
#include "controls/tree_property_sheet/page_title_path.h"
#include "controls/tree_property_sheet/prop_page_frame_default.h"
#include "controls/tree_property_sheet/tree_prop_sheet.h"

using TreePropSheet::CTreePropSheet;
using TreePropSheet::PageOfTreeItem;

namespace {

using Log = std::vector<std::string>;

// A page that records what the sheet asks of it and can refuse to let go or to apply.
class ProbePage : public CPropertyPage {
public:
    ProbePage(UINT id, const std::string& title, Log& log) : CPropertyPage(id, title), log_(log) {
        auto* layout = new QVBoxLayout(this);
        auto* box = new QCheckBox(QStringLiteral("Option"), this);
        box->setObjectName(QStringLiteral("100"));
        layout->addWidget(box);
        layout->addStretch();
        setMinimumSize(240, 160);
    }

    bool refuseKill = false;
    bool refuseApply = false;

    BOOL OnInitDialog() override { return Note("init"), TRUE; }
    BOOL OnSetActive() override { return Note("show"), TRUE; }
    BOOL OnKillActive() override { return Note("leave"), refuseKill ? FALSE : TRUE; }
    BOOL OnQueryApply() override { return refuseApply ? FALSE : TRUE; }
    void OnOK() override { Note("ok"); }
    void OnCancel() override { Note("cancel"); }
    void OnHelp() override { Note("help"); }
    std::string ContextHelpText(int id) override { return id == 100 ? "Ticks the option." : ""; }

private:
    void Note(const char* what) { log_.push_back(std::string(what) + " " + GetTitle()); }
    Log& log_;
};

class TreeSheetTest : public ::testing::Test {
protected:
    // Pages "Group::One", "Group::Two" and "Solo": the tree holds Group (no page) with
    // two children, then Solo.
    void Build(DWORD flags = 0) {
        sheet = std::make_unique<CTreePropSheet>(std::string("Options"), nullptr);
        sheet->flags = flags;
        one = sheet->AddPage(std::make_unique<ProbePage>(1, "Group::One", log));
        two = sheet->AddPage(std::make_unique<ProbePage>(2, "Group::Two", log));
        solo = sheet->AddPage(std::make_unique<ProbePage>(3, "Solo", log));
        sheet->SetEmptyPageText("Choose a page under %s.");
        sheet->show();
        tree = sheet->GetPageTreeControl();
        ASSERT_NE(tree, nullptr);
    }
    QTreeWidgetItem* Node(const QString& text) const {
        const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    QString CurrentNode() const { return tree->currentItem() ? tree->currentItem()->text(0) : QString(); }
    void CtrlTab(bool shift) {
        MSG msg;
        msg.message = WM_KEYDOWN;
        msg.wParam = VK_TAB;
        msg.lParam = MK_CONTROL | (shift ? MK_SHIFT : 0);
        EXPECT_EQ(sheet->Message(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&msg)), 1);
    }

    Log log;
    std::unique_ptr<CTreePropSheet> sheet;
    ProbePage* one = nullptr;
    ProbePage* two = nullptr;
    ProbePage* solo = nullptr;
    TreePropSheet::CPageTreeCtrl* tree = nullptr;
};

TEST(PageTitlePath, SplitsAtTheFirstUnescapedPair) {
    struct Case {
        const char* title;
        const char* node;
        const char* rest;
        bool hasRest;
    };
    const Case cases[] = {
        {"Solo", "Solo", "", false},
        {"Group::Page", "Group", "Page", true},
        {"A::B::C", "A", "B::C", true},
        {"Ratio\\::Page", "Ratio::Page", "", false},    // one backslash escapes
        {"Dir\\\\::Page", "Dir\\", "Page", true},       // two do not; they become one
        {"Odd\\\\\\::Page", "Odd\\::Page", "", false},  // three escape again
    };
    for (const Case& c : cases) {
        const TreePropSheet::PageTitleStep step = TreePropSheet::SplitPageTitle(c.title);
        EXPECT_EQ(step.node, c.node) << c.title;
        EXPECT_EQ(std::string(step.rest), c.rest) << c.title;
        EXPECT_EQ(step.hasRest, c.hasRest) << c.title;
    }
}

TEST_F(TreeSheetTest, TitlesSharingAFirstPartShareOneNodeWithoutAPage) {
    Build();
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    QTreeWidgetItem* group = tree->topLevelItem(0);
    EXPECT_EQ(group->text(0), "Group");
    EXPECT_EQ(PageOfTreeItem(group), -1);
    ASSERT_EQ(group->childCount(), 2);
    EXPECT_EQ(group->child(0)->text(0), "One");
    EXPECT_EQ(PageOfTreeItem(group->child(1)), 1);
    EXPECT_EQ(PageOfTreeItem(tree->topLevelItem(1)), 2);
    EXPECT_EQ(tree->objectName(), "32494");
    EXPECT_EQ(CurrentNode(), "One");
}

TEST_F(TreeSheetTest, LayoutPutsTheTreeLeftOfTheFrameAndThePageInsideIt) {
    Build();
    EXPECT_TRUE(sheet->GetTabControl()->isHidden());
    QWidget* frame = sheet->GetFrameControl()->GetWnd();
    EXPECT_EQ(frame->objectName(), "65535");
    EXPECT_LT(tree->geometry().right(), frame->geometry().left());
    EXPECT_EQ(tree->geometry().top(), frame->geometry().top());
    EXPECT_EQ(frame->geometry().left(), CPropertySheet::kMargin + CTreePropSheet::kDefaultTreeWidth);
    EXPECT_TRUE(frame->geometry().contains(one->geometry()));
    EXPECT_GE(one->width(), 240);
    // The buttons sit under the frame, inside the sheet.
    const QRect ok = sheet->GetButton(IDOK)->geometry();
    EXPECT_GT(ok.top(), frame->geometry().bottom());
    EXPECT_LE(ok.bottom(), sheet->height());
}

TEST_F(TreeSheetTest, ChoosingNodesSwitchesPagesWithTheirNotifications) {
    Build();
    log.clear();
    ASSERT_TRUE(tree->SelectItem(Node("Solo")));
    EXPECT_EQ(sheet->GetActivePage(), solo);
    EXPECT_TRUE(one->isHidden());
    EXPECT_FALSE(solo->isHidden());
    EXPECT_EQ(log, (Log{"leave Group::One", "init Solo", "show Solo"}));

    // A node without a page only lets the page go; the frame tells what to do.
    log.clear();
    ASSERT_TRUE(tree->SelectItem(Node("Group")));
    EXPECT_TRUE(solo->isHidden());
    EXPECT_EQ(sheet->GetFrameControl()->GetMsgText(), "Choose a page under Group.");
    EXPECT_EQ(log, (Log{"leave Solo"}));

    // The program's own page change moves the tree with it.
    sheet->SetActivePage(two);
    EXPECT_EQ(CurrentNode(), "Two");
    EXPECT_FALSE(two->isHidden());
    EXPECT_EQ(sheet->GetFrameControl()->GetMsgText(), "");
}

TEST_F(TreeSheetTest, APageThatRefusesToGoKeepsTheTreeWhereItWas) {
    Build();
    one->refuseKill = true;
    EXPECT_FALSE(tree->SelectItem(Node("Solo")));
    EXPECT_EQ(CurrentNode(), "One");
    EXPECT_EQ(sheet->GetActivePage(), one);
    EXPECT_FALSE(one->isHidden());
    // The mouse is refused the same way.
    const QRect soloRect = tree->visualItemRect(Node("Solo"));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, soloRect.center());
    EXPECT_EQ(CurrentNode(), "One");
    EXPECT_EQ(tree->selectedItems(), QList<QTreeWidgetItem*>{Node("One")});
    EXPECT_TRUE(solo->isHidden());
}

TEST_F(TreeSheetTest, CtrlTabWalksTheTreeDepthFirstAndWraps) {
    Build();
    std::vector<QString> forward;
    for (int i = 0; i < 4; ++i) {
        CtrlTab(false);
        forward.push_back(CurrentNode());
    }
    EXPECT_EQ(forward, (std::vector<QString>{"Two", "Solo", "Group", "One"}));

    ASSERT_TRUE(tree->SelectItem(Node("Group")));
    CtrlTab(true);  // from the first node to the last one
    EXPECT_EQ(CurrentNode(), "Solo");
    CtrlTab(true);
    EXPECT_EQ(CurrentNode(), "Two");  // the previous sibling's deepest last descendant
    CtrlTab(true);
    EXPECT_EQ(CurrentNode(), "One");
    CtrlTab(true);
    EXPECT_EQ(CurrentNode(), "Group");  // the parent
}

TEST_F(TreeSheetTest, CtrlTabKeysReachTheSheet) {
    Build();
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    one->GetDlgItem(100)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(sheet->GetActivePage(), two);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(sheet->GetActivePage(), one);
}

TEST_F(TreeSheetTest, OkAppliesEveryShownPageOnlyWhenAllCanApply) {
    Build();
    tree->SelectItem(Node("Solo"));
    tree->SelectItem(Node("One"));
    solo->refuseApply = true;
    log.clear();
    QTest::mouseClick(sheet->GetButton(IDOK), Qt::LeftButton);
    // Nothing applied; the sheet stays open on the page that refused.
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->GetActivePage(), solo);
    EXPECT_EQ(CurrentNode(), "Solo");
    for (const std::string& line : log) EXPECT_EQ(line.rfind("ok ", 0), std::string::npos) << line;

    solo->refuseApply = false;
    log.clear();
    QTest::mouseClick(sheet->GetButton(IDOK), Qt::LeftButton);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->result(), IDOK);
    // The page never shown ("Two") takes no part.
    EXPECT_EQ(log, (Log{"leave Solo", "ok Group::One", "ok Solo"}));
}

TEST_F(TreeSheetTest, CancelResetsTheShownPages) {
    Build();
    tree->SelectItem(Node("Solo"));
    log.clear();
    QTest::keyClick(sheet.get(), Qt::Key_Escape);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->result(), IDCANCEL);
    EXPECT_EQ(log, (Log{"cancel Group::One", "cancel Solo"}));
}

TEST_F(TreeSheetTest, ApplyAndHelpButtonsFollowTheFlags) {
    Build(PSH_NOAPPLYNOW);
    EXPECT_TRUE(sheet->GetButton(ID_APPLY_NOW)->isHidden());
    EXPECT_TRUE(sheet->GetButton(IDHELP)->isHidden());

    Build(PSH_HASHELP);
    QPushButton* apply = sheet->GetButton(ID_APPLY_NOW);
    EXPECT_FALSE(apply->isHidden());
    EXPECT_FALSE(apply->isEnabled());
    one->SetModified();
    EXPECT_TRUE(apply->isEnabled());
    log.clear();
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_EQ(log, (Log{"leave Group::One", "ok Group::One"}));

    log.clear();
    QTest::mouseClick(sheet->GetButton(IDHELP), Qt::LeftButton);
    EXPECT_EQ(log, (Log{"help Group::One"}));
}

TEST_F(TreeSheetTest, HelpOnAControlShowsItsTextOnYellow) {
    Build();
    QWidget* box = one->GetDlgItem(100);
    QHelpEvent help(QEvent::WhatsThis, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(box, &help);
    QLabel* popup = CurrentHelpPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->text(), "Ticks the option.");
    EXPECT_EQ(popup->palette().color(QPalette::Window), QColor(0xFF, 0xFF, 0xD0));
    QTest::keyClick(popup, Qt::Key_Space);
    QApplication::processEvents();
    EXPECT_EQ(CurrentHelpPopup(), nullptr);

    // A control without a text shows nothing rather than an empty box.
    HELPINFO info;
    info.iCtrlId = 999;
    one->Message(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(CurrentHelpPopup(), nullptr);
}

TEST(TreeSheetFrame, CaptionIsAGradientToTheGroundWithTheTitle) {
    QWidget parent;
    parent.resize(300, 200);
    TreePropSheet::CPropPageFrameDefault frame;
    frame.Create(QRect(0, 0, 300, 200), &parent, 0xFFFF);
    frame.ShowCaption(true);
    frame.SetCaptionHeight(20);
    frame.SetCaption(QStringLiteral("Filters"));
    EXPECT_EQ(frame.CalcCaptionArea(), QRect(0, 0, 300, 20));
    EXPECT_EQ(frame.CalcMsgArea().top(), 21);
    const QImage image = frame.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(0, 10)), TreePropSheet::kInactiveCaptionColor);
    EXPECT_EQ(QColor(image.pixel(299, 10)), frame.palette().color(QPalette::Button));

    frame.ShowCaption(false);
    EXPECT_TRUE(frame.CalcCaptionArea().isEmpty());
    EXPECT_EQ(frame.CalcMsgArea(), QRect(0, 0, 300, 200));
}

TEST(TreeSheetModes, WithoutTreeModeTheTabsShowAndCtrlTabWraps) {
    Log log;
    CTreePropSheet sheet(std::string("Tabs"), nullptr);
    sheet.SetTreeViewMode(false);
    sheet.AddPage(std::make_unique<ProbePage>(1, "First", log));
    sheet.AddPage(std::make_unique<ProbePage>(2, "Second", log));
    sheet.show();
    EXPECT_EQ(sheet.GetPageTreeControl(), nullptr);
    EXPECT_FALSE(sheet.GetTabControl()->isHidden());
    EXPECT_EQ(sheet.GetTabBar()->count(), 2);
    MSG msg;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_TAB;
    msg.lParam = MK_CONTROL | MK_SHIFT;
    sheet.Message(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&msg));
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_EQ(sheet.GetTabBar()->currentIndex(), 1);
}

}  // namespace
