// The task-name dialog and the about box, driven as a user drives them.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "../modal_answer.h"
#include "controls/static_link.h"
#include "foundation/sync_task.h"
#include "foundation/task_store.h"
#include "foundation/task_templates.h"
#include "platform/core/file_ops.h"
#include "platform/core/message_box.h"
#include "support/settings_fixture.h"
#include "ui/dialogs/about_dlg.h"
#include "ui/dialogs/task_dlg.h"

namespace {

class TaskDialogTest : public qbtest::SettingsFileTest {
protected:
    void SetUp() override {
        ProgramState().dataFolder = dir_.sub("Data");
        ASSERT_TRUE(plat::CreateFolderWithParents(ProgramState().dataFolder));
        ASSERT_NE(CreateTemplateTask(kTemplateCustom, "Docs"), nullptr);
    }

    std::vector<std::string> Told() const {
        std::vector<std::string> texts;
        for (const auto& request : boxes_.Requests()) texts.push_back(request.text);
        return texts;
    }

    plat::ScopedMessageBoxHandler boxes_{IDOK};
};

TEST_F(TaskDialogTest, RefusesEveryNameTheStoreWouldRefuseAndKeepsTheDialogOpen) {
    const std::string forbidden = "Invalid task name - can not have '/\"*?<>|:\\' char";
    struct Case {
        QString typed;
        std::string told;
    };
    std::vector<Case> cases = {{"", "Please enter task name."}, {"Docs", "The task already exists!"}};
    for (const char c : std::string("/*?\"<>|:\\")) cases.push_back({QString("a") + QChar(c) + "b", forbidden});
    cases.push_back({"a\tb", "Invalid task name - can not have control characters"});
    cases.push_back({QString(252, QChar('n')), "Invalid task name - can not be longer than 251 bytes"});

    CTaskDlg dialog;
    std::vector<std::string> keptTexts;
    uitest::WhenModal([&](QWidget* modal) {
        auto* edit = modal->findChild<QLineEdit*>("1306");
        ASSERT_NE(edit, nullptr);
        for (const Case& c : cases) {
            edit->setText(c.typed);
            QTest::keyClick(edit, Qt::Key_Return);
            EXPECT_TRUE(modal->isVisible()) << c.typed.toStdString();
            keptTexts.push_back(edit->text().toStdString());
        }
        uitest::TypeAndAccept(modal, "   ");  // blanks only: not the dialog's to refuse
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.Name(), "   ");

    std::vector<std::string> expected;
    for (const Case& c : cases) expected.push_back(c.told);
    EXPECT_EQ(Told(), expected);
    ASSERT_EQ(keptTexts.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(keptTexts[i], cases[i].typed.toStdString());
}

TEST_F(TaskDialogTest, ShowsTheCallersTitleAndNameAndCancelTakesNothing) {
    CTaskDlg dialog;
    dialog.SetTitle("Copy Task To");
    dialog.SetName("Docs (2)");
    QString title;
    QString shownName;
    uitest::WhenModal([&](QWidget* modal) {
        title = modal->windowTitle();
        shownName = modal->findChild<QLineEdit*>("1306")->text();
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(title, "Copy Task To");
    EXPECT_EQ(shownName, "Docs (2)");
    EXPECT_TRUE(Told().empty());
}

TEST(AboutDialog, ShowsVersionAndBuildAndItsLinkWritesToSupport) {
    CAboutDlg about;
    std::string opened;
    about.Link().SetLinkOpener([&](const std::string& url) {
        opened = url;
        return true;
    });
    QString version;
    uitest::WhenModal([&](QWidget* modal) {
        version = modal->findChild<QLabel*>("4003")->text();
        auto* link = modal->findChild<CStaticLink*>("1261");
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(4, link->height() / 2));
        QTest::keyClick(modal, Qt::Key_Return);
    });
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_EQ(version, "Sync VEXO Version 2.6 (Build 0020300711)");
    EXPECT_EQ(opened, "mailto:support@quarrybend-sync.example");
    EXPECT_TRUE(about.Link().IsVisited());
}

}  // namespace
