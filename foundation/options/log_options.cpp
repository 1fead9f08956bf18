#include "foundation/options/log_options.h"

#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "resources/control_ids.h"
#include "resources/string_ids.h"

namespace {

DWORD Read(const IntSetting& setting) { return static_cast<DWORD>(ReadSetting(setting)); }

bool Write(const IntSetting& setting, DWORD value) { return WriteSetting(setting, static_cast<int>(value)); }

}  // namespace

CConfigLogPage::CConfigLogPage(bool saveToSettings) : saveToSettings_(saveToSettings) {
    logLevel = Read(settings::kLogLevel);
    log = Read(settings::kLog);
    clearLog = Read(settings::kClearLog);
}

LogOptionValues CConfigLogPage::OnOpen() {
    opened_ = static_cast<const LogOptionValues&>(*this);
    return *opened_;
}

bool CConfigLogPage::ApplyOk(const LogOptionValues& controls) {
    static_cast<LogOptionValues&>(*this) = controls;
    return saveToSettings_ ? WriteSettings() : true;
}

const LogOptionValues& CConfigLogPage::OnCancel() {
    if (opened_) static_cast<LogOptionValues&>(*this) = *opened_;
    return *this;
}

bool CConfigLogPage::WriteSettings() const {
    bool ok = Write(settings::kLog, log);
    ok &= Write(settings::kClearLog, clearLog);
    ok &= Write(settings::kLogLevel, logLevel);
    return ok;
}

bool CConfigLogPage::MarksModified(int controlId) {
    // "Create log" counts too: unticking it alone is a change the sheet must not ignore.
    return controlId == IDC_CREATE_LOG || controlId == IDC_DETAILED_LOG || controlId == IDC_SUMMARY_LOG ||
           controlId == IDC_CLEAR_LOG;
}

UINT CConfigLogPage::HelpTextId(int controlId) {
    switch (controlId) {
    case IDC_CREATE_LOG: return IDS_CREATE_LOG_HELP;
    case IDC_DETAILED_LOG: return IDS_DETAILED_LOG_HELP;
    case IDC_SUMMARY_LOG: return IDS_SUMMARY_LOG_HELP;
    case IDC_CLEAR_LOG: return IDS_CLEAR_LOG_HELP;
    default: return 0;
    }
}
