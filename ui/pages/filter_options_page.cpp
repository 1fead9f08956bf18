#include "ui/pages/filter_options_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include "foundation/file_api.h"
#include "foundation/path_utils.h"
#include "resources/control_ids.h"
#include "resources/dialog_ids.h"
#include "ui/pages/list_button_icons.h"

namespace {

using Page = CConfigCompressFilterPage;

struct AttributeBox {
    int id;
    const char* text;
    bool FilterPageControls::*field;
};

constexpr AttributeBox kAttributeBoxes[] = {
    {IDC_EXCLUDE_SYSTEM, "Exclude System files and folders", &FilterPageControls::system},
    {IDC_EXCLUDE_READONLY, "Exclude Read Only files", &FilterPageControls::readonly},
    {IDC_EXCLUDE_HIDDEN, "Exclude Hidden files and folders", &FilterPageControls::hidden},
    {IDC_EXCLUDE_EMPTY, "Exclude empty folders", &FilterPageControls::empty},
};

// A pattern with blanks is one entry only in double quotes.
std::wstring AsOneEntry(const std::wstring& text) {
    return text.find(L' ') == std::wstring::npos ? text : L"\"" + text + L"\"";
}

}  // namespace

std::wstring ExcludedFolderEntry(const std::wstring& folder) {
    // The folder alone would be a file pattern that matches nothing; "/*.*" after it is
    // what makes it a folder filter.
    return L"\"" + PathJoinW(folder, L"*.*") + L"\"";
}

FilterOptionsPage::FilterOptionsPage(CConfigCompressFilterPage& record)
    : COptionPage(IDD_FILTERS_PAGE, "Filters"), record_(record) {
    exclusionList_ = new EditableList(IDC_EXCLUSION_LIST, this);
    inclusionList_ = new EditableList(IDC_INCLUSION_LIST, this);

    auto* layout = new QVBoxLayout(this);
    const auto addListRow = [&](int checkId, const char* text, int presetsId, int removeId, EditableList* list) {
        auto* row = new QHBoxLayout;
        QCheckBox* use = MakeCheckBox(checkId, text);
        row->addWidget(use);
        row->addStretch();
        row->addWidget(MakeListButton(presetsId, AddEntryIcon()));
        row->addWidget(MakeListButton(removeId, RemoveEntryIcon()));
        layout->addLayout(row);
        layout->addWidget(list);
        MarkModifiedOnClick(use);
        const int listId = ControlId(list);
        connect(list, &EditableList::ItemEdited, this, [this, listId] {
            if (Page::MarksModified(listId)) SetModified(TRUE);
        });
    };
    addListRow(IDC_USE_EXCLUSION, "&Exclusion filter", IDC_EXCLUSION_PRESETS, IDC_REMOVE_EXCLUSION, exclusionList_);
    addListRow(IDC_USE_INCLUSION, "&Inclusion filter", IDC_INCLUSION_PRESETS, IDC_REMOVE_INCLUSION, inclusionList_);

    auto* boxes = new QGridLayout;
    for (size_t i = 0; i < std::size(kAttributeBoxes); ++i) {
        QCheckBox* box = MakeCheckBox(kAttributeBoxes[i].id, kAttributeBoxes[i].text);
        boxes->addWidget(box, static_cast<int>(i / 2), static_cast<int>(i % 2));
        if (Page::MarksModified(kAttributeBoxes[i].id)) MarkModifiedOnClick(box);
    }
    layout->addLayout(boxes);
    layout->addWidget(new QLabel(QStringLiteral("* Click item twice in the list box to change."), this));
    // Folder filters are written with this system's separator.
    layout->addWidget(new QLabel(
        QStringLiteral(
            "* For example, abc/*.* is a folder filter for abc folder; *.tmp is a file filter for tmp files."),
        this));

    BuildMenus();
    connect(static_cast<QToolButton*>(GetDlgItem(IDC_EXCLUSION_PRESETS)), &QToolButton::clicked, this,
            [this] { ShowMenu(exclusionMenu_, IDC_EXCLUSION_PRESETS); });
    connect(static_cast<QToolButton*>(GetDlgItem(IDC_INCLUSION_PRESETS)), &QToolButton::clicked, this,
            [this] { ShowMenu(inclusionMenu_, IDC_INCLUSION_PRESETS); });
    connect(static_cast<QToolButton*>(GetDlgItem(IDC_REMOVE_EXCLUSION)), &QToolButton::clicked, this,
            [this] { RemoveSelected(exclusionList_, IDC_REMOVE_EXCLUSION); });
    connect(static_cast<QToolButton*>(GetDlgItem(IDC_REMOVE_INCLUSION)), &QToolButton::clicked, this,
            [this] { RemoveSelected(inclusionList_, IDC_REMOVE_INCLUSION); });
}

QToolButton* FilterOptionsPage::MakeListButton(int id, const QIcon& icon) {
    auto* button = new QToolButton(this);
    button->setObjectName(QString::number(id));
    button->setIcon(icon);
    return button;
}

void FilterOptionsPage::BuildMenus() {
    exclusionMenu_ = new QMenu(this);
    exclusionMenu_->addAction(QStringLiteral("*.TMP"), this,
                              [this] { AddEntry(exclusionList_, IDC_EXCLUSION_PRESETS, L"*.tmp", false); });
    exclusionMenu_->addAction(QStringLiteral("Browse For Folder..."), this, [this] { AddExcludedFolder(); });
    exclusionMenu_->addAction(QStringLiteral("New"), this,
                              [this] { AddEntry(exclusionList_, IDC_EXCLUSION_PRESETS, L"New", true); });

    inclusionMenu_ = new QMenu(this);
    const std::pair<const char*, const char*> presets[] = {{"Picture Extensions", kPicturePatterns},
                                                           {"Document Files", kDocumentPatterns},
                                                           {"PDF", kPdfPatterns},
                                                           {"Music Files", kMusicPatterns},
                                                           {"Video Files", kVideoPatterns}};
    for (const auto& [text, patterns] : presets) {
        const std::wstring entry = QString::fromUtf8(patterns).toStdWString();
        inclusionMenu_->addAction(QString::fromUtf8(text), this,
                                  [this, entry] { AddEntry(inclusionList_, IDC_INCLUSION_PRESETS, entry, false); });
    }
    inclusionMenu_->addAction(QStringLiteral("New"), this,
                              [this] { AddEntry(inclusionList_, IDC_INCLUSION_PRESETS, L"New", true); });
    inclusionMenu_->addAction(QStringLiteral("Browse For File Name..."), this, [this] { AddIncludedFileName(); });
}

void FilterOptionsPage::ShowMenu(QMenu* menu, int buttonId) {
    const QWidget* button = GetDlgItem(buttonId);
    menu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void FilterOptionsPage::AddEntry(EditableList* list, int presetButtonId, const std::wstring& text, bool edit) {
    list->AppendItem(text, edit);
    if (Page::MarksModified(presetButtonId)) SetModified(TRUE);
}

void FilterOptionsPage::AddExcludedFolder() {
    std::wstring folder;
    if (!BrowseForFolder(GetSafeHwnd(), L"Browse Folder To Be Excluded", record_.startFolder, folder)) return;
    AddEntry(exclusionList_, IDC_EXCLUSION_PRESETS, ExcludedFolderEntry(folder), false);
}

void FilterOptionsPage::AddIncludedFileName() {
    std::wstring chosen;
    if (!MyGetOpenFileName(GetSafeHwnd(), L"Get File Name", record_.startFolder, L"All Files", chosen)) return;
    const std::wstring name = GetFileNameFromPathW(chosen);
    if (name.empty()) return;
    AddEntry(inclusionList_, IDC_INCLUSION_PRESETS, AsOneEntry(name), true);
}

void FilterOptionsPage::RemoveSelected(EditableList* list, int removeButtonId) {
    if (list->RemoveSelected() == 0) {
        ShowMessage(kNothingSelectedToRemoveText);
        return;
    }
    if (Page::MarksModified(removeButtonId)) SetModified(TRUE);
}

BOOL FilterOptionsPage::OnInitDialog() {
    ShowValues(record_.OnOpen());
    return TRUE;
}

void FilterOptionsPage::ShowValues(const FilterPageControls& controls) {
    static_cast<QCheckBox*>(GetDlgItem(IDC_USE_EXCLUSION))->setChecked(controls.useExclusion);
    static_cast<QCheckBox*>(GetDlgItem(IDC_USE_INCLUSION))->setChecked(controls.useInclusion);
    for (const AttributeBox& box : kAttributeBoxes) {
        static_cast<QCheckBox*>(GetDlgItem(box.id))->setChecked(controls.*box.field);
    }
    exclusionList_->SetItems(controls.exclusionItems);
    inclusionList_->SetItems(controls.inclusionItems);
}

FilterPageControls FilterOptionsPage::ReadControls() const {
    FilterPageControls controls;
    controls.useExclusion = static_cast<const QCheckBox*>(GetDlgItem(IDC_USE_EXCLUSION))->isChecked();
    controls.useInclusion = static_cast<const QCheckBox*>(GetDlgItem(IDC_USE_INCLUSION))->isChecked();
    for (const AttributeBox& box : kAttributeBoxes) {
        controls.*box.field = static_cast<const QCheckBox*>(GetDlgItem(box.id))->isChecked();
    }
    controls.exclusionItems = exclusionList_->Items();
    controls.inclusionItems = inclusionList_->Items();
    return controls;
}

std::string FilterOptionsPage::Refusal(const FilterPageControls& controls) const {
    if (controls.useExclusion && controls.exclusionItems.empty()) return kNoExclusionFiltersText;
    if (controls.useInclusion && controls.inclusionItems.empty()) return kNoInclusionFiltersText;
    return {};
}

BOOL FilterOptionsPage::OnQueryApply() {
    const std::string refusal = Refusal(ReadControls());
    if (refusal.empty()) return TRUE;
    ShowMessage(refusal);
    return FALSE;
}

BOOL FilterOptionsPage::OnApply() {
    const FilterOkResult result = record_.ApplyOk(ReadControls());
    if (!result.accepted) {
        ShowMessage(result.refusal);
        return FALSE;
    }
    if (!result.settingsWritten) ReportSettingsNotWritten();
    return TRUE;
}

void FilterOptionsPage::OnCancel() { record_.OnCancel(); }
