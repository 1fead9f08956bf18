#pragma once
// The two sheets of option pages: the "Default Options" sheet, whose pages write the
// settings file (the defaults of new tasks and the program's own options), and a task's
// "Sync Options" sheet, whose pages change the task's own records in memory (the task
// store keeps them).

#include <QWidget>
#include <memory>

#include "controls/tree_property_sheet/tree_prop_sheet.h"
#include "foundation/options/filter_options.h"
#include "foundation/options/log_options.h"
#include "foundation/options/sync_options.h"

struct SyncTask;

// Holds the default-option records for one showing of the sheet; pages in the order sync
// options, filters, log, program. No Apply and no Help button.
class DefaultOptionsSheet {
public:
    explicit DefaultOptionsSheet(QWidget* parent = nullptr);
    ~DefaultOptionsSheet();
    DefaultOptionsSheet(const DefaultOptionsSheet&) = delete;
    DefaultOptionsSheet& operator=(const DefaultOptionsSheet&) = delete;

    // IDOK or IDCANCEL.
    int DoModal() { return sheet_->DoModal(); }
    TreePropSheet::CTreePropSheet& Sheet() { return *sheet_; }

    const CConfigSyncPage& SyncOptions() const { return sync_; }

private:
    CConfigSyncPage sync_{true};
    CConfigCompressFilterPage filter_{true, std::wstring()};
    CConfigLogPage log_{true};
    std::unique_ptr<TreePropSheet::CTreePropSheet> sheet_;  // its pages refer to the records above
};

// A task's "Sync Options" sheet over the task's records, which must outlive it: pages in
// the order sync options, filters, the automatic-run page when given, log. No Apply button.
std::unique_ptr<TreePropSheet::CTreePropSheet> MakeTaskOptionsSheet(
    QWidget* parent, CConfigSyncPage& sync, CConfigCompressFilterPage& filter, CConfigLogPage& log,
    std::unique_ptr<CPropertyPage> automaticRun = nullptr);

// The same sheet for a task, over the option records it owns (every stored task owns all
// three), with its automatic-run page in the third place.
std::unique_ptr<TreePropSheet::CTreePropSheet> MakeTaskOptionsSheet(QWidget* parent, SyncTask& task);
