#pragma once
// The start-up prompt, asked when the user sets up a scheduled task while the scheduler is
// not registered to start at logon: Yes registers it, No does not; either way a ticked
// "Do not ask this question again" stops the question for good.
//
//   CPromptDlg prompt(this);
//   prompt.DoModal();

#include <QDialog>

#include "platform/core/message_box.h"
#include "platform/core/win_types.h"
#include "platform/qt/message_window.h"
#include "resources/control_ids.h"

class QCheckBox;

class CPromptDlg : public QDialog, public plat::MessageWindow {
    Q_OBJECT
public:
    explicit CPromptDlg(QWidget* parent = nullptr);

    // IDOK for either answer.
    int DoModal();

private:
    void Answer(bool yes);

    QCheckBox* doNotAsk_ = nullptr;
};
