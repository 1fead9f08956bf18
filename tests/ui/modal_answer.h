#pragma once
// Answers the next modal dialog from the test: `act` runs on the dialog once it is the
// active modal window (a timer looks for it while the dialog's own loop runs).

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>

namespace uitest {

inline void WhenModal(std::function<void(QWidget*)> act, int triesLeft = 200) {
    QTimer::singleShot(10, [act = std::move(act), triesLeft]() mutable {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(modal);
        } else if (triesLeft > 0) {
            WhenModal(std::move(act), triesLeft - 1);
        }
    });
}

// Types `text` over whatever the dialog's line edit holds and presses Enter.
inline void TypeAndAccept(QWidget* dialog, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>();
    if (!edit) return;
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

}  // namespace uitest
