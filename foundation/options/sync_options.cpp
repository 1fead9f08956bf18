#include "foundation/options/sync_options.h"

#include "foundation/program_state.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "resources/control_ids.h"
#include "resources/string_ids.h"

namespace {

DWORD Read(const IntSetting& setting) { return static_cast<DWORD>(ReadSetting(setting)); }

bool Write(const IntSetting& setting, DWORD value) { return WriteSetting(setting, static_cast<int>(value)); }

}  // namespace

CConfigSyncPage::CConfigSyncPage(bool saveToSettings) : saveToSettings_(saveToSettings) {
    type = Read(settings::kSyncType);
    speed = Read(settings::kSyncSpeed);
    allowDelete = Read(settings::kSyncDelete);
    saveDelete = Read(settings::kSyncSaveDelete);
    lock = Read(settings::kSyncLock);
    caseSensitive = Read(settings::kSyncCaseSensitive);
    readOnly = Read(settings::kSyncReadOnly);
    readOnlyTarget = Read(settings::kSyncReadOnlyTarget);
}

SyncOptionValues CConfigSyncPage::OnOpen() {
    opened_ = static_cast<const SyncOptionValues&>(*this);
    return *opened_;
}

bool CConfigSyncPage::ApplyOk(const SyncOptionValues& controls) {
    static_cast<SyncOptionValues&>(*this) = controls;
    return saveToSettings_ ? WriteSettings() : true;
}

const SyncOptionValues& CConfigSyncPage::OnCancel() {
    if (opened_) static_cast<SyncOptionValues&>(*this) = *opened_;
    return *this;
}

bool CConfigSyncPage::WriteSettings() const {
    // Every key is attempted, so one failed write does not leave the rest stale.
    bool ok = Write(settings::kSyncType, type);
    ok &= Write(settings::kSyncDelete, allowDelete);
    ok &= Write(settings::kSyncSaveDelete, saveDelete);
    ok &= Write(settings::kSyncLock, lock);
    ok &= Write(settings::kSyncReadOnly, readOnly);
    ok &= Write(settings::kSyncReadOnlyTarget, readOnlyTarget);
    ok &= Write(settings::kSyncCaseSensitive, caseSensitive);
    ok &= Write(settings::kSyncSpeed, speed);
    return ok;
}

bool CConfigSyncPage::MarksModified(int controlId) {
    switch (controlId) {
    case IDC_SYNC_TYPE_LIST:
    case IDC_SPEED_LIST:
    case IDC_ALLOW_DELETIONS:
    case IDC_SAVE_DELETED:
    case IDC_SHADOW_COPY:
    case IDC_SOURCE_READ_ONLY:
    case IDC_TARGET_READ_ONLY:
    case IDC_CASE_SENSITIVE: return true;
    default: return false;
    }
}

UINT CConfigSyncPage::HelpTextId(int controlId, const SyncOptionValues& controls) {
    const bool iniStore = ProgramState().useIniFile;
    switch (controlId) {
    case IDC_SYNC_TYPE_LIST: return controls.type <= kBackupRightToLeft ? IDS_SYNC_TYPE_MIRROR_HELP + controls.type : 0;
    case IDC_ALLOW_DELETIONS:
        return controls.type == kSyncMirror ? IDS_ALLOW_DELETIONS_MIRROR_HELP : IDS_ALLOW_DELETIONS_HELP;
    case IDC_SAVE_DELETED: return IDS_SAVE_DELETED_HELP;
    case IDC_SHADOW_COPY: return IDS_SHADOW_COPY_HELP;
    case IDC_SOURCE_READ_ONLY:
        return iniStore ? IDS_SOURCE_DATA_IN_PROGRAM_FOLDER_HELP : IDS_SOURCE_DATA_IN_APPDATA_HELP;
    case IDC_TARGET_READ_ONLY:
        return iniStore ? IDS_TARGET_DATA_IN_PROGRAM_FOLDER_HELP : IDS_TARGET_DATA_IN_APPDATA_HELP;
    case IDC_CASE_SENSITIVE: return IDS_CASE_SENSITIVE_HELP;
    default: return 0;
    }
}
