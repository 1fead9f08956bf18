#pragma once
// The "Sync Options" page (IDD_SYNC_OPTIONS_PAGE): the widget side of a CConfigSyncPage record.

#include "foundation/options/sync_options.h"
#include "ui/pages/option_page.h"

class QComboBox;

class SyncOptionsPage : public COptionPage {
    Q_OBJECT
public:
    explicit SyncOptionsPage(CConfigSyncPage& record);

    // What the controls hold now.
    SyncOptionValues ReadControls() const;

    BOOL OnApply() override;
    void OnCancel() override;

protected:
    BOOL OnInitDialog() override;
    UINT HelpTextId(int controlId) override;

private:
    void ShowValues(const SyncOptionValues& values);

    CConfigSyncPage& record_;
    SyncOptionValues opened_;
    QComboBox* typeList_;
    QComboBox* speedList_;
};
