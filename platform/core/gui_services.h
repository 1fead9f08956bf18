#pragma once
// GUI services that headless code may ask for: the open-file dialog, the folder picker
// and the editable combo box with images. The GUI side installs an implementation at
// start-up (platform/qt); tests install their own. Without one, every request answers
// "cancelled" / no window.

#include <memory>
#include <optional>
#include <string>

#include "platform/core/win_types.h"

namespace plat {

struct OpenFileRequest {
    HWND owner = nullptr;
    std::wstring title;
    std::wstring initialFile;        // a file name or a folder to start in
    std::wstring filterDescription;  // offered for "*.*" when there is no filter list
    // A filter list "Name|patterns|Name|patterns|", patterns separated by ';'. Empty:
    // filterDescription alone.
    std::wstring filter;
    std::wstring defaultExtension;  // without the dot; added to a name typed without one
    bool followLinks = true;        // false: a symbolic link is chosen as itself
};

enum class IconKind { File, Folder, OpenFolder };

class GuiServices {
public:
    virtual ~GuiServices() = default;
    // The chosen file's full path, or nothing when the user cancelled.
    virtual std::optional<std::wstring> OpenFileName(const OpenFileRequest& request) = 0;
    // The file name chosen to save under (its folder exists; the file may), or nothing
    // when the user cancelled. Overwriting is not asked about here.
    virtual std::optional<std::wstring> SaveFileName(const OpenFileRequest& request) {
        (void)request;
        return std::nullopt;
    }
    // The chosen folder, or nothing when the user cancelled.
    virtual std::optional<std::wstring> BrowseForFolder(HWND owner, const std::wstring& title,
                                                        const std::wstring& initialFolder) = 0;
    // An editable combo box with images as a child window of `parent`; null on failure.
    virtual HWND CreateComboBoxEx(HWND parent, DWORD style, const RECT& rect, UINT id) = 0;
    // The index of a small icon in the system image list for a file or folder: by its name
    // alone (`onDisk` false) or by what is on disk; -1 when no icon can be given.
    virtual int SmallIconIndex(const std::wstring& path, IconKind kind, bool onDisk) {
        (void)path;
        (void)kind;
        (void)onDisk;
        return -1;
    }
};

// Installs the services (null removes them); returns the previous ones.
GuiServices* SetGuiServices(GuiServices* services);
GuiServices* GetGuiServices();

}  // namespace plat

// Combo-box messages and notifications the program uses (the platform's numbers).
inline constexpr UINT CB_GETEDITSEL = 0x0140;
inline constexpr UINT CB_LIMITTEXT = 0x0141;
inline constexpr UINT CB_ADDSTRING = 0x0143;
inline constexpr UINT CB_DELETESTRING = 0x0144;
inline constexpr UINT CB_GETCOUNT = 0x0146;
inline constexpr UINT CB_GETCURSEL = 0x0147;
inline constexpr UINT CB_GETLBTEXT = 0x0148;
inline constexpr UINT CB_GETLBTEXTLEN = 0x0149;
inline constexpr UINT CB_RESETCONTENT = 0x014B;
inline constexpr UINT CB_SETCURSEL = 0x014E;
inline constexpr UINT CB_SHOWDROPDOWN = 0x014F;
inline constexpr UINT CB_SETDROPPEDWIDTH = 0x0160;
inline constexpr UINT CBEM_INSERTITEMW = WM_USER + 11;
inline constexpr UINT CBEM_SETIMAGELIST = WM_USER + 2;
inline constexpr UINT CBEM_GETEDITCONTROL = WM_USER + 7;
inline constexpr UINT CBEM_DELETEITEM = CB_DELETESTRING;
inline constexpr UINT CBEM_SETITEMW = WM_USER + 12;
inline constexpr UINT CBEM_GETITEMW = WM_USER + 13;
inline constexpr int CB_ERR = -1;
inline constexpr UINT CBN_SELCHANGE = 1;
inline constexpr UINT CBN_KILLFOCUS = 4;
inline constexpr UINT CBN_EDITCHANGE = 5;
inline constexpr UINT CBN_DROPDOWN = 7;
inline constexpr UINT CBN_SELENDOK = 9;

inline constexpr UINT CBEIF_TEXT = 0x01;
inline constexpr UINT CBEIF_IMAGE = 0x02;
inline constexpr UINT CBEIF_SELECTEDIMAGE = 0x04;
inline constexpr UINT CBEIF_INDENT = 0x10;
inline constexpr UINT CBEIF_LPARAM = 0x20;

// One item of an editable combo box with images.
struct COMBOBOXEXITEMW {
    UINT mask = 0;
    std::intptr_t iItem = 0;  // -1 appends
    wchar_t* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int iOverlay = 0;
    int iIndent = 0;
    LPARAM lParam = 0;
};
