#pragma once
// The "Filters" page (dialog 12): the widget side of a CConfigCompressFilterPage record.
// Each pattern list has a button with a menu of entries to add and a button that removes
// the selected entries.

#include "foundation/options/filter_options.h"
#include "ui/pages/editable_list.h"
#include "ui/pages/option_page.h"

class QMenu;
class QToolButton;

class FilterOptionsPage : public COptionPage {
    Q_OBJECT
public:
    // The texts of the inclusion presets, each added as one entry.
    static constexpr const char* kPicturePatterns =
        "*.bmp *.gif *.jp2 *.jpx *.jpk *.j2k *.jpc *.j2c *.jpg *.jpeg *.jpe *.jif *.jfif *.pict *.psd *.raw *.tif "
        "*.tiff *.wmf *.xif *.x3f";
    static constexpr const char* kDocumentPatterns = "*.doc *.txt *.rtf";
    static constexpr const char* kPdfPatterns = "*.pdf";
    static constexpr const char* kMusicPatterns = "*.mp3 *.m4p *.wav *.m3u";
    static constexpr const char* kVideoPatterns =
        "*.mpeg *.mpg *.mpe *.wma *.wmv *.avi *.mov *.rmvb *.asf *.ogm *.ogg *.rm *.divx";

    explicit FilterOptionsPage(CConfigCompressFilterPage& record);

    FilterPageControls ReadControls() const;
    EditableList* ExclusionList() const { return exclusionList_; }
    EditableList* InclusionList() const { return inclusionList_; }
    // The menus of the two preset buttons.
    QMenu* ExclusionMenu() const { return exclusionMenu_; }
    QMenu* InclusionMenu() const { return inclusionMenu_; }

    BOOL OnQueryApply() override;
    BOOL OnApply() override;
    void OnCancel() override;

protected:
    BOOL OnInitDialog() override;
    UINT HelpTextId(int controlId) override { return CConfigCompressFilterPage::HelpTextId(controlId); }

private:
    void BuildMenus();
    QToolButton* MakeListButton(int id, const QIcon& icon);
    void ShowMenu(QMenu* menu, int buttonId);
    void AddEntry(EditableList* list, int presetButtonId, const std::wstring& text, bool edit);
    void AddExcludedFolder();
    void AddIncludedFileName();
    void RemoveSelected(EditableList* list, int removeButtonId);
    void ShowValues(const FilterPageControls& controls);
    std::string Refusal(const FilterPageControls& controls) const;

    CConfigCompressFilterPage& record_;
    EditableList* exclusionList_;
    EditableList* inclusionList_;
    QMenu* exclusionMenu_ = nullptr;
    QMenu* inclusionMenu_ = nullptr;
};

// The entry that excludes a folder: its path followed by "/*.*", in double quotes.
std::wstring ExcludedFolderEntry(const std::wstring& folder);
