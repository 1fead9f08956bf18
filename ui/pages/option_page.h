#pragma once
// What the program's option pages share: the Help button opens the page's topic of the
// help file, the help pop-ups take their texts from the string table, and the page's
// messages go out in message boxes with the program's title.

#include <string>

#include "controls/tree_property_sheet/property_page.h"

class QAbstractButton;
class QCheckBox;
class QRadioButton;

class COptionPage : public CPropertyPage {
    Q_OBJECT
public:
    using CPropertyPage::CPropertyPage;

    void OnHelp() override;
    std::string ContextHelpText(int controlId) override;

protected:
    // The string id of a control's help text; 0 for none.
    virtual UINT HelpTextId(int controlId) { return (void)controlId, 0; }

    // A message box with the program's title, OK and an exclamation mark.
    void ShowMessage(const std::string& text);
    // Tells the user that what OK took could not be written to the settings file.
    void ReportSettingsNotWritten();

    // Controls named by their ids.
    QCheckBox* MakeCheckBox(int id, const char* text);
    QRadioButton* MakeRadioButton(int id, const char* text);
    // Marks the page modified whenever the button is clicked.
    void MarkModifiedOnClick(QAbstractButton* button);
};

// Text for Qt.
QString ToQString(const std::wstring& text);
