#include "foundation/options/sync_options.h"

#include "foundation/program_state.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"

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
    case kTypeListId:
    case kSpeedListId:
    case kAllowDeleteId:
    case kSaveDeleteId:
    case kLockId:
    case kReadOnlyId:
    case kReadOnlyTargetId:
    case kCaseSensitiveId:
        return true;
    default:
        return false;
    }
}

UINT CConfigSyncPage::HelpTextId(int controlId, const SyncOptionValues& controls) {
    const bool iniStore = ProgramState().useIniFile;
    switch (controlId) {
    case kTypeListId:
        return controls.type <= kBackupRightToLeft ? 11258 + controls.type : 0;
    case kAllowDeleteId:
        return controls.type == kSyncMirror ? 11263 : 11264;
    case kSaveDeleteId:
        return 11265;
    case kLockId:
        return 11266;
    case kReadOnlyId:
        return iniStore ? 11267 : 11268;
    case kReadOnlyTargetId:
        return iniStore ? 11269 : 11270;
    case kCaseSensitiveId:
        return 11271;
    default:
        return 0;
    }
}
