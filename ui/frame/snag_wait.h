#pragma once
// The please-wait window that stands while closing waits for running tasks: a text, the
// program's title and a busy bar. It takes WM_SYNC_LOG_LINE (w: text) to change its text
// and shows the change at once.

#include <QDialog>
#include <string>

#include "platform/core/win_types.h"
#include "platform/qt/message_window.h"

class QLabel;

class CSnagWait : public QDialog, public plat::MessageWindow {
    Q_OBJECT
public:
    CSnagWait(const std::string& text, const std::string& title, QWidget* parent);

    // Shows the window centred over its parent and paints it before returning.
    void ShowNow();
    std::string Text() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    LRESULT OnLogLine(WPARAM text, LPARAM);

    QLabel* text_ = nullptr;
};
