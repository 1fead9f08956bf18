#pragma once
// The "Log" page (IDD_LOG_PAGE): the widget side of a CConfigLogPage record.

#include "foundation/options/log_options.h"
#include "ui/pages/option_page.h"

class LogOptionsPage : public COptionPage {
    Q_OBJECT
public:
    explicit LogOptionsPage(CConfigLogPage& record);

    LogOptionValues ReadControls() const;

    BOOL OnApply() override;
    void OnCancel() override;

protected:
    BOOL OnInitDialog() override;
    UINT HelpTextId(int controlId) override { return CConfigLogPage::HelpTextId(controlId); }

private:
    void ShowValues(const LogOptionValues& values);
    void EnableLogDetails();

    CConfigLogPage& record_;
};
