#include "foundation/settings_store.h"

#include "foundation/program_state.h"
#include "foundation/settings_keys.h"
#include "platform/core/ini_file.h"
#include "platform/core/text.h"

namespace {

std::string Cut(std::string value) {
    if (value.size() > kProfileValueLimit) value = std::string(plat::CutUtf8(value, kProfileValueLimit));
    return value;
}

const std::string& SettingsFile() { return ProgramState().settingsFile; }

}  // namespace

int ReadProfileInt(const char* section, const char* key, int defaultValue) {
    return static_cast<int>(GetPrivateProfileInt(section, key, defaultValue, SettingsFile()));
}

std::string ReadProfileString(const char* section, const char* key, std::string_view defaultValue) {
    return Cut(GetPrivateProfileString(section, key, std::string(defaultValue).c_str(), SettingsFile()));
}

std::wstring ReadProfileStringW(const char* section, const char* key, std::string_view defaultValue) {
    return plat::Utf8ToWide(ReadProfileString(section, key, defaultValue));
}

bool WriteProfileInt(const char* section, const char* key, int value) {
    return WritePrivateProfileString(section, key, std::to_string(value).c_str(), SettingsFile());
}

bool WriteProfileString(const char* section, const char* key, std::string_view value) {
    const std::string text(value);
    return WritePrivateProfileString(section, key, text.empty() ? nullptr : text.c_str(), SettingsFile());
}

bool WriteProfileStringW(const char* section, const char* key, std::wstring_view value) {
    return WriteProfileString(section, key, plat::WideToUtf8(value));
}

int ReadUserProfileInt(const char* section, const char* key, int defaultValue) {
    return static_cast<int>(GetPrivateProfileInt(section, key, defaultValue, ProgramState().profileFile));
}

bool WriteUserProfileInt(const char* section, const char* key, int value) {
    return WritePrivateProfileString(section, key, std::to_string(value).c_str(), ProgramState().profileFile);
}

int ReadSetting(const IntSetting& setting) {
    return ReadProfileInt(setting.section, setting.key, setting.defaultValue);
}

bool WriteSetting(const IntSetting& setting, int value) { return WriteProfileInt(setting.section, setting.key, value); }

std::string ReadSetting(const StringSetting& setting) {
    return ReadProfileString(setting.section, setting.key, setting.defaultValue);
}

std::wstring ReadSettingW(const StringSetting& setting) {
    return ReadProfileStringW(setting.section, setting.key, setting.defaultValue);
}

bool WriteSetting(const StringSetting& setting, std::string_view value) {
    return WriteProfileString(setting.section, setting.key, value);
}

bool WriteSettingW(const StringSetting& setting, std::wstring_view value) {
    return WriteProfileStringW(setting.section, setting.key, value);
}
