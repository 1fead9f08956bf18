#pragma once
// The about box: the program's name in its colour, the version and build, and a link
// that writes to the maker's support address.

#include <QDialog>

#include "platform/core/win_types.h"
#include "platform/qt/message_window.h"

class CStaticColor;
class CStaticLink;
class QLabel;

class CAboutDlg : public QDialog, public plat::MessageWindow {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // IDOK when closed.
    int DoModal();

    CStaticLink& Link() { return *link_; }

private:
    void OnInitDialog();

    CStaticColor* name_ = nullptr;
    QLabel* version_ = nullptr;
    CStaticLink* link_ = nullptr;
};
