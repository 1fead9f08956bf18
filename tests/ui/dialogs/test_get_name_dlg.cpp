// The volume-name dialog keeps itself open, with the text as typed, until the name can be
// given to a removable volume.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "platform/core/message_box.h"
#include "resources/control_ids.h"
#include "tests/ui/modal_answer.h"
#include "ui/dialogs/get_name_dlg.h"

namespace {

TEST(GetNameDlg, AnEmptyNameOrAFixedDiskIsRefusedAndTheDialogStays) {
    const plat::ScopedMessageBoxHandler boxes(IDOK);
    GetNameDlg dialog(nullptr, L"", L"/");
    std::vector<bool> openAfter;
    uitest::WhenModal([&](QWidget* shown) {
        auto* edit = shown->findChild<QLineEdit*>(QString::number(IDC_VOLUME_NAME));
        QTest::keyClick(edit, Qt::Key_Return);
        openAfter.push_back(shown->isVisible());
        QTest::keyClicks(edit, QStringLiteral("CARD"));
        QTest::keyClick(edit, Qt::Key_Return);
        openAfter.push_back(shown->isVisible());
        EXPECT_EQ(edit->text(), QStringLiteral("CARD"));
        qobject_cast<QDialog*>(shown)->reject();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(openAfter, (std::vector<bool>{true, true}));
    ASSERT_EQ(boxes.Requests().size(), 2u);
    EXPECT_EQ(boxes.Requests()[0].text, "Enter volume name");
    EXPECT_EQ(boxes.Requests()[1].text,
              "Please check the selection again.  You can only set volume name for a removable disk.");
}

}  // namespace
