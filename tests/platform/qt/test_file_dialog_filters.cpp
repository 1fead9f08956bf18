// The program's "Name|patterns|" filter texts as the file dialog's filters.
#include <gtest/gtest.h>

#include "platform/qt/qt_gui_services.h"

TEST(FileDialogFilters, NamesKeepTheirTextAndPatternsBecomeTheDialogsOwn) {
    EXPECT_EQ(plat::FileDialogFilters(L"Task List File (*.tle)|*.tle|"), QStringList{"Task List File (*.tle)"});
    EXPECT_EQ(plat::FileDialogFilters(L"Task Template File|*.zvt|All Files (*.*)|*.*|"),
              (QStringList{"Task Template File (*.zvt)", "All Files (*)"}));
    EXPECT_EQ(plat::FileDialogFilters(L"Pictures|*.jpg;*.png|"), QStringList{"Pictures (*.jpg *.png)"});
    // A name left without patterns, or a damaged text, offers nothing for it.
    EXPECT_EQ(plat::FileDialogFilters(L"Broken|"), QStringList{});
    EXPECT_EQ(plat::FileDialogFilters(L"Lone|*.a|Tail"), QStringList{"Lone (*.a)"});
}
