#pragma once
// The properties of one file or folder, for the task window's "Item Properties" commands:
// where it is, what it is, its size, when it was last written, its permissions and owner.
// The desktop has no common properties dialog, so this small one stands in for it; it is
// not modal and goes when closed.
//
//   ShowShellProperties(this, L"/home/u/report.pdf");

#include <QDialog>
#include <string>

class ItemPropertiesDlg : public QDialog {
    Q_OBJECT
public:
    ItemPropertiesDlg(QWidget* parent, const std::wstring& path);
};

// Opens the dialog for `path` and returns it (it deletes itself when closed); null for an
// empty path.
ItemPropertiesDlg* ShowShellProperties(QWidget* parent, const std::wstring& path);
