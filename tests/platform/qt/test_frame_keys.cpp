#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <vector>

#include "platform/qt/accelerator_table.h"
#include "platform/qt/dockable_pane.h"
#include "platform/qt/frame_window.h"
#include "resources/accelerators.h"
#include "resources/command_ids.h"
#include "resources/control_ids.h"
#include "resources/menu_ids.h"

namespace {

// Takes the focus and records the keys that reach it.
class KeySink : public QWidget {
public:
    explicit KeySink(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }
    std::vector<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        // QTest presses the modifier keys on their own first.
        if (event->key() != Qt::Key_Control && event->key() != Qt::Key_Shift) keys.push_back(event->key());
    }
};

class KeyFrame : public plat::FrameWindow {
public:
    KeyFrame() {
        MapCommandRange(1, 0xFFFF, &KeyFrame::OnAny);
        MapUpdate(ID_TASK_OPTIONS, &KeyFrame::OnUpdateOptions);
        auto* client = new QWidget;
        auto* layout = new QVBoxLayout(client);
        sink = new KeySink(client);
        edit = new QLineEdit(client);
        layout->addWidget(sink);
        layout->addWidget(edit);
        SetClientWidget(client);
        SetAccelerators(plat::AcceleratorTable(res::FindAccelerators(IDR_MAIN_FRAME)));
        resize(600, 400);
    }
    std::vector<UINT> raised;
    bool optionsEnabled = true;
    KeySink* sink;
    QLineEdit* edit;

private:
    void OnAny(UINT id) { raised.push_back(id); }
    void OnUpdateOptions(plat::CmdUI& ui) { ui.Enable(optionsEnabled); }
};

void Show(KeyFrame& frame) {
    ASSERT_TRUE(frame.Create());
    frame.ShowWindow(plat::SW_SHOWNORMAL);
    QApplication::setActiveWindow(&frame);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
}

TEST(FrameKeys, KeysRaiseTheirCommandsOnceAndDisabledOnesReachTheWidget) {
    KeyFrame frame;
    Show(frame);
    frame.sink->setFocus();
    QTest::keyClick(frame.sink, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(frame.sink, Qt::Key_Escape, Qt::ControlModifier);
    QTest::keyClick(frame.sink, Qt::Key_Return);
    EXPECT_EQ(frame.raised, (std::vector<UINT>{ID_NEW_TASK, ID_STOP_ALL, ID_TASK_OPTIONS}));
    EXPECT_TRUE(frame.sink->keys.empty());

    frame.raised.clear();
    frame.optionsEnabled = false;
    QTest::keyClick(frame.sink, Qt::Key_Return);
    QTest::keyClick(frame.sink, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);  // no such key
    EXPECT_TRUE(frame.raised.empty());
    EXPECT_EQ(frame.sink->keys, (std::vector<int>{Qt::Key_Return, Qt::Key_N}));
}

TEST(FrameKeys, AListMarkedSoKeepsEnterAndNoOtherKey) {
    KeyFrame frame;
    Show(frame);
    plat::SetTakesEnterKey(frame.sink);
    frame.sink->setFocus();
    QTest::keyClick(frame.sink, Qt::Key_Return);
    QTest::keyClick(frame.sink, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(frame.sink, Qt::Key_Delete);
    QTest::keyClick(frame.sink, Qt::Key_Escape);
    EXPECT_EQ(frame.raised, (std::vector<UINT>{ID_DELETE_TASK, ID_STOP}));
    EXPECT_EQ(frame.sink->keys, (std::vector<int>{Qt::Key_Return, Qt::Key_Enter}));
}

TEST(FrameKeys, AnEditBoxKeepsItsEditingKeys) {
    KeyFrame frame;
    Show(frame);
    frame.edit->setText("abc");
    frame.edit->setFocus();
    QTest::keyClick(frame.edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(frame.edit, Qt::Key_Delete);
    EXPECT_EQ(frame.edit->text(), QString());
    for (const auto& [key, modifiers] :
         std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>{{Qt::Key_Return, Qt::NoModifier},
                                                                {Qt::Key_Escape, Qt::NoModifier},
                                                                {Qt::Key_C, Qt::ControlModifier},
                                                                {Qt::Key_X, Qt::ControlModifier},
                                                                {Qt::Key_Delete, Qt::ControlModifier}}) {
        QTest::keyClick(frame.edit, key, modifiers);
    }
    EXPECT_TRUE(frame.raised.empty());
    QTest::keyClick(frame.edit, Qt::Key_F2);
    EXPECT_EQ(frame.raised, std::vector<UINT>{ID_RENAME_TASK});

    // A read-only box is no editing field: Ctrl+A is the frame's again.
    frame.raised.clear();
    frame.edit->setReadOnly(true);
    QTest::keyClick(frame.edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(frame.raised, std::vector<UINT>{ID_AUTOMATE});
}

TEST(FrameKeys, NothingWhileAModalDialogIsUpAndFloatingPanesTakePart) {
    KeyFrame frame;
    Show(frame);
    QDialog dialog(&frame);
    auto* field = new KeySink(&dialog);
    QTimer::singleShot(50, &dialog, [&] {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(frame.sink, Qt::Key_T, Qt::ControlModifier);  // blocked by the dialog
        dialog.accept();
    });
    dialog.exec();
    EXPECT_TRUE(frame.raised.empty());

    frame.EnableDocking(Qt::AllDockWidgetAreas);
    auto* pane = new plat::DockablePane;
    ASSERT_TRUE(pane->Create("Log Window", &frame, IDC_LOG_PANE, QSize(150, 150), Qt::BottomDockWidgetArea));
    auto* inPane = new KeySink(pane->Client());
    pane->setFloating(true);
    QApplication::setActiveWindow(pane);
    inPane->setFocus();
    QTest::keyClick(inPane, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(frame.raised, std::vector<UINT>{ID_CHECK_AND_SYNC});
}

}  // namespace
