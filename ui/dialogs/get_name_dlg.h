#pragma once
// The volume-name dialog: a removable volume has no label, and the user names it so that a
// task can find the volume by its label wherever it is mounted. OK names the volume and
// hands back the label the volume then carries; when the volume cannot be named the
// dialog says so and ends as Cancel, so the caller keeps the path as chosen.
//
//   GetNameDlg dialog(this, L"", folder);
//   if (dialog.DoModal() == IDOK) stored = L"<" + dialog.Name() + L">" + below;

#include <QDialog>
#include <string>

#include "platform/core/volumes.h"
#include "platform/core/win_types.h"
#include "platform/qt/message_window.h"

class QLineEdit;

class GetNameDlg : public QDialog, public plat::MessageWindow {
    Q_OBJECT
public:
    // `folder` is the chosen folder whose volume is meant.
    GetNameDlg(QWidget* parent, std::wstring name, std::wstring folder, plat::VolumeSources sources = {});

    // IDOK (the volume carries Name() now) or IDCANCEL.
    int DoModal();
    const std::wstring& Name() const { return name_; }

    void accept() override;

private:
    void Refuse(const std::string& text);

    std::wstring name_;
    std::wstring folder_;
    plat::VolumeSources sources_;
    QLineEdit* edit_ = nullptr;
};
