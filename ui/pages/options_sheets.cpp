#include "ui/pages/options_sheets.h"

#include "foundation/sync_task.h"
#include "resources/string_ids.h"
#include "ui/pages/auto_sync_page.h"
#include "ui/pages/filter_options_page.h"
#include "ui/pages/log_options_page.h"
#include "ui/pages/program_options_page.h"
#include "ui/pages/sync_options_page.h"

DefaultOptionsSheet::DefaultOptionsSheet(QWidget* parent)
    : sheet_(std::make_unique<TreePropSheet::CTreePropSheet>(IDS_DEFAULT_OPTIONS_TITLE, parent)) {
    sheet_->flags |= PSH_NOAPPLYNOW;
    sheet_->AddPage(std::make_unique<SyncOptionsPage>(sync_));
    sheet_->AddPage(std::make_unique<FilterOptionsPage>(filter_));
    sheet_->AddPage(std::make_unique<LogOptionsPage>(log_));
    sheet_->AddPage(std::make_unique<CConfigProgramPage>());
}

DefaultOptionsSheet::~DefaultOptionsSheet() = default;

std::unique_ptr<TreePropSheet::CTreePropSheet> MakeTaskOptionsSheet(QWidget* parent, CConfigSyncPage& sync,
                                                                    CConfigCompressFilterPage& filter,
                                                                    CConfigLogPage& log,
                                                                    std::unique_ptr<CPropertyPage> automaticRun) {
    auto sheet = std::make_unique<TreePropSheet::CTreePropSheet>(IDS_SYNC_OPTIONS_TITLE, parent);
    sheet->flags |= PSH_NOAPPLYNOW;
    sheet->AddPage(std::make_unique<SyncOptionsPage>(sync));
    sheet->AddPage(std::make_unique<FilterOptionsPage>(filter));
    if (automaticRun) sheet->AddPage(std::move(automaticRun));
    sheet->AddPage(std::make_unique<LogOptionsPage>(log));
    return sheet;
}

std::unique_ptr<TreePropSheet::CTreePropSheet> MakeTaskOptionsSheet(QWidget* parent, SyncTask& task) {
    return MakeTaskOptionsSheet(parent, *task.syncOptions, *task.filterOptions, *task.logOptions,
                                MakeAutoSyncPage(task));
}
