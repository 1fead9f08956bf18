#include "foundation/placeholders.h"

#include <algorithm>
#include <string_view>

#include "foundation/app_folders.h"
#include "foundation/file_utils.h"
#include "foundation/path_utils.h"
#include "platform/core/registry.h"
#include "platform/core/special_folders.h"
#include "platform/core/text.h"

namespace {

enum class FolderSource {
    Special,         // the special folder of the entry
    ProgramFiles,    // GetProgramFilesDir
    CommonFiles,     // GetCommonFilesDir
    System,          // the system directory
    OutlookExpress,  // the entry's folder + "Identities" + the first identity + the mail folder
    WindowsMail,     // the entry's folder + "Microsoft/Windows Mail"
    Outlook,         // the entry's folder + "Microsoft/Outlook"
    Contacts,        // the address book
};

struct Placeholder {
    std::wstring_view name;
    FolderSource source;
    int csidl;
};

constexpr Placeholder kPlaceholders[] = {
    {L"<COMMON_DESKTOPDIRECTORY>", FolderSource::Special, CSIDL_COMMON_DESKTOPDIRECTORY},
    {L"<COMMON_STARTMENU>", FolderSource::Special, CSIDL_COMMON_STARTMENU},
    {L"<COMMON_STARTUP>", FolderSource::Special, CSIDL_COMMON_STARTUP},
    {L"<RECENT>", FolderSource::Special, CSIDL_RECENT},
    {L"<COMMON_SENDTO>", FolderSource::Special, CSIDL_SENDTO},
    {L"<DESKTOPDIRECTORY>", FolderSource::Special, CSIDL_DESKTOPDIRECTORY},
    {L"<STARTMENU>", FolderSource::Special, CSIDL_STARTMENU},
    {L"<STARTUP>", FolderSource::Special, CSIDL_STARTUP},
    {L"<PROGRAM_FILES>", FolderSource::ProgramFiles, CSIDL_PROGRAM_FILES},
    {L"<COMMON_FILES>", FolderSource::CommonFiles, CSIDL_PROGRAM_FILES_COMMON},
    {L"<DOCUMENTS>", FolderSource::Special, CSIDL_PERSONAL},
    {L"<COMMON_DOCUMENTS>", FolderSource::Special, CSIDL_COMMON_DOCUMENTS},
    {L"<FAVORITES>", FolderSource::Special, CSIDL_FAVORITES},
    {L"<COMMON_FAVORITES>", FolderSource::Special, CSIDL_COMMON_FAVORITES},
    {L"<PICTURES>", FolderSource::Special, CSIDL_MYPICTURES},
    {L"<MUSIC>", FolderSource::Special, CSIDL_MYMUSIC},
    {L"<VIDEO>", FolderSource::Special, CSIDL_MYVIDEO},
    {L"<COMMON_PICTURES>", FolderSource::Special, CSIDL_COMMON_PICTURES},
    {L"<COMMON_MUSIC>", FolderSource::Special, CSIDL_COMMON_MUSIC},
    {L"<COMMON_VIDEO>", FolderSource::Special, CSIDL_COMMON_VIDEO},
    {L"<SYSTEM>", FolderSource::System, CSIDL_SYSTEM},
    {L"<WINDOWS>", FolderSource::Special, CSIDL_WINDOWS},
    {L"<LOCAL_OUTLOOK_EXPRESS>", FolderSource::OutlookExpress, CSIDL_LOCAL_APPDATA},
    {L"<OUTLOOK_EXPRESS>", FolderSource::OutlookExpress, CSIDL_APPDATA},
    {L"<LOCAL_WINDOWS_MAIL>", FolderSource::WindowsMail, CSIDL_LOCAL_APPDATA},
    {L"<WINDOWS_MAIL>", FolderSource::WindowsMail, CSIDL_APPDATA},
    {L"<CONTACTS>", FolderSource::Contacts, CSIDL_APPDATA},
    {L"<LOCAL_OUTLOOK>", FolderSource::Outlook, CSIDL_LOCAL_APPDATA},
    {L"<OUTLOOK>", FolderSource::Outlook, CSIDL_APPDATA},
    {L"<FONTS>", FolderSource::Special, CSIDL_FONTS},
    {L"<APPDATA>", FolderSource::Special, CSIDL_APPDATA},
    // Stored tasks expect the roaming folder here, not the local one.
    {L"<LocalAppData>", FolderSource::Special, CSIDL_APPDATA},
    {L"<COMMON_APPDATA>", FolderSource::Special, CSIDL_COMMON_APPDATA},
};

const Placeholder* FindPlaceholder(std::wstring_view name) {
    for (const Placeholder& entry : kPlaceholders) {
        if (plat::CompareNoCaseWide(entry.name, name) == 0) return &entry;
    }
    return nullptr;
}

constexpr const char* kWabKey = "Software\\Microsoft\\WAB\\WAB4";
constexpr const char* kWabFileKey = "Software\\Microsoft\\WAB\\WAB4\\Wab File Name";

std::wstring UserRegistryText(const char* key, const char* value) {
    return plat::Utf8ToWide(plat::RegGetString(plat::RegRoot::CurrentUser, key, value).value_or(std::string()));
}

// The address book, or "" when none of its three sources gives one.
std::wstring AddressBookPath() {
    const std::wstring stored = UserRegistryText(kWabFileKey, "");
    if (!stored.empty() && stored.front() == kPathSeparatorW) return stored;
    const std::wstring appData = GetSpecialFolderPathW(CSIDL_APPDATA);
    if (appData.empty()) return {};
    const std::wstring fileName = UserRegistryText(kWabKey, "Wab File Name");
    if (!fileName.empty()) return appData + kPathSeparatorW + fileName;
    const std::wstring bookFolder = PathJoinW(appData, L"Microsoft/Address Book");
    if (GetPathKindW(bookFolder) == kPathFolder) return PathJoinW(bookFolder, L"*.wab");
    return {};
}

// A mail folder under application data; "" when what it is built on is missing.
std::wstring MailFolder(const Placeholder& entry) {
    const std::wstring base = GetSpecialFolderPathW(entry.csidl);
    if (base.empty()) return {};
    switch (entry.source) {
    case FolderSource::OutlookExpress: {
        const auto identities = plat::RegSubkeyNames(plat::RegRoot::CurrentUser, "Identities");
        if (identities.empty() || identities.front().empty()) return {};
        const std::wstring identity = PathJoinW(PathJoinW(base, L"Identities"), plat::Utf8ToWide(identities.front()));
        return PathJoinW(identity, L"Microsoft/Outlook Express");
    }
    case FolderSource::WindowsMail: return PathJoinW(base, L"Microsoft/Windows Mail");
    case FolderSource::Outlook: return PathJoinW(base, L"Microsoft/Outlook");
    default: return {};
    }
}

std::wstring PlainFolder(const Placeholder& entry) {
    switch (entry.source) {
    case FolderSource::ProgramFiles: return plat::Utf8ToWide(GetProgramFilesDir());
    case FolderSource::CommonFiles: return plat::Utf8ToWide(GetCommonFilesDir());
    case FolderSource::System: return {};  // no system directory on this platform
    default: return GetSpecialFolderPathW(entry.csidl);
    }
}

}  // namespace

std::wstring ExpandTemplatePath(const std::wstring& path) {
    if (path.empty() || path.front() != L'<') return path;
    const std::size_t close = path.find(L'>');
    if (close == std::wstring::npos) return path;
    const Placeholder* entry = FindPlaceholder(std::wstring_view(path).substr(0, close + 1));
    if (!entry) return path;

    std::wstring folder;
    switch (entry->source) {
    case FolderSource::Contacts: {
        // The address book is a file pattern of its own: the text after ">" is not used.
        std::wstring book = AddressBookPath();
        return book.empty() ? path : book;
    }
    case FolderSource::OutlookExpress:
    case FolderSource::WindowsMail:
    case FolderSource::Outlook:
        folder = MailFolder(*entry);
        if (folder.empty()) return path;
        break;
    default:
        folder = PlainFolder(*entry);
        if (folder.empty()) return {};
        break;
    }
    std::wstring rest = path.substr(close + 1);
    // A folder written the other platform's way ("<DOCUMENTS>\Work\2024", from a task
    // list made elsewhere) names folders inside the placeholder's folder.
    if (!rest.empty() && rest.front() == L'\\') std::replace(rest.begin(), rest.end(), L'\\', kPathSeparatorW);
    return rest.empty() ? folder : PathJoinW(folder, rest);
}
