#include "platform/qt/qt_message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "platform/core/message_box.h"

namespace {

// Runs `act` on the message box once it is up (the pump's presenter shows it on this,
// the GUI thread); a box nobody answers is closed after a long time so a failure cannot hang.
int AskAndAct(const char* text, const char* caption, UINT type, std::function<void(QMessageBox&)> act) {
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || !box->isVisible()) continue;
            poll.stop();
            act(*box);
            return;
        }
    });
    poll.start(5);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget)) box->done(0);
        }
    });
    guard.start(30000);
    return MessageBox(nullptr, text, caption, type);
}

TEST(QtMessageBox, ShowsCaptionPlainTextAndTheAskedButtons) {
    QString title;
    QString shownText;
    Qt::TextFormat format = Qt::AutoText;
    int buttons = 0;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    const int answer = AskAndAct("<b>report.txt</b> is locked", "Quarrybend Sync VEXO", MB_YESNO | MB_ICONWARNING,
                                 [&](QMessageBox& box) {
                                     title = box.windowTitle();
                                     shownText = box.text();
                                     format = box.textFormat();
                                     buttons = static_cast<int>(box.buttons().size());
                                     icon = box.icon();
                                     box.button(QMessageBox::Yes)->click();
                                 });
    EXPECT_EQ(answer, IDYES);
    EXPECT_EQ(title, "Quarrybend Sync VEXO");
    EXPECT_EQ(shownText, "<b>report.txt</b> is locked");
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(buttons, 2);
    EXPECT_EQ(icon, QMessageBox::Warning);
}

TEST(QtMessageBox, DefaultButtonFollowsTheDefButtonFlag) {
    bool defaultIsNo = false;
    const int answer = AskAndAct("Clear?", "t", MB_YESNOCANCEL | MB_DEFBUTTON2, [&](QMessageBox& box) {
        defaultIsNo =
            box.defaultButton() && static_cast<QAbstractButton*>(box.defaultButton()) == box.button(QMessageBox::No);
        if (box.defaultButton()) box.defaultButton()->click();
    });
    EXPECT_TRUE(defaultIsNo);
    EXPECT_EQ(answer, IDNO);
}

TEST(QtMessageBox, ClosingWithoutAButtonAnswersCancelOrTheOnlyButton) {
    EXPECT_EQ(AskAndAct("a", "t", MB_OKCANCEL, [](QMessageBox& box) { box.reject(); }), IDCANCEL);
    EXPECT_EQ(AskAndAct("a", "t", MB_OK, [](QMessageBox& box) { box.reject(); }), IDOK);
}

TEST(QtMessageBox, CancelTryContinueHasItsOwnButtons) {
    const int answer = AskAndAct("a", "t", MB_CANCELTRYCONTINUE, [](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) {
            if (button->text() == "&Continue") button->click();
        }
    });
    EXPECT_EQ(answer, IDCONTINUE);
}

}  // namespace
