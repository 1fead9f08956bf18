#pragma once
// What the option-page tests share: a settings file and program folder of their own in a
// temporary folder, message boxes answered and recorded, a sheet to show a page in.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <memory>
#include <string>

#include "controls/tree_property_sheet/help_popup.h"
#include "controls/tree_property_sheet/property_sheet.h"
#include "foundation/program_state.h"
#include "platform/core/message_box.h"
#include "support/settings_fixture.h"
#include "support/temp_dir.h"

namespace pagetest {

class PageTest : public qbtest::SettingsFileTest {
protected:
    void SetUp() override { ProgramState().programFolder = dir_.path() + "/"; }

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const plat::MessageBoxRequest& request : boxes_.Requests()) texts.push_back(request.text);
        return texts;
    }

    // A sheet holding `page`, shown.
    template <class Page>
    Page* Show(std::unique_ptr<Page> page) {
        sheet_ = std::make_unique<CPropertySheet>(std::string("Test"), nullptr);
        Page* raw = sheet_->AddPage(std::move(page));
        sheet_->show();
        QApplication::processEvents();  // lets the layouts settle, as a real showing does
        return raw;
    }
    void PressOk() { sheet_->PressButton(PSBTN_OK); }
    void PressCancel() { sheet_->PressButton(PSBTN_CANCEL); }

    plat::ScopedMessageBoxHandler boxes_{IDOK};
    std::unique_ptr<CPropertySheet> sheet_;
};

template <class Widget>
Widget* Control(const CPropertyPage* page, int id) {
    auto* widget = qobject_cast<Widget*>(page->GetDlgItem(id));
    EXPECT_NE(widget, nullptr) << "control " << id;
    return widget;
}

// A mouse click on a check box's or radio button's indicator.
inline void ClickBox(QAbstractButton* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

// Runs the menu entry with that text, as a click on it would.
inline bool Choose(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            action->trigger();
            menu->close();
            return true;
        }
    }
    return false;
}

inline std::vector<QString> MenuTexts(const QMenu* menu) {
    std::vector<QString> texts;
    for (const QAction* action : menu->actions()) texts.push_back(action->text());
    return texts;
}

// The text of the help pop-up that a request for help on the control shows now ("" for
// none).
inline QString HelpPopupText(CPropertyPage* page, int controlId) {
    HELPINFO info;
    info.iCtrlId = controlId;
    page->Message(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    QLabel* popup = CurrentHelpPopup();
    if (!popup) return QString();
    const QString text = popup->text();
    popup->close();
    return text;
}

}  // namespace pagetest
