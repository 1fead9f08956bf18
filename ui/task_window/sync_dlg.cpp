#include "ui/task_window/sync_dlg.h"

#include <QCursor>
#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

#include "controls/control_defs.h"
#include "controls/image_list.h"
#include "controls/static_control.h"
#include "controls/text_progress_bar.h"
#include "controls/tree_property_sheet/help_popup.h"
#include "controls/tree_property_sheet/property_sheet_defs.h"
#include "foundation/file_icons.h"
#include "foundation/quoted_list.h"
#include "foundation/resource_strings.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sync_task.h"
#include "foundation/text_utils.h"
#include "platform/core/gui_services.h"
#include "platform/qt/accelerator_table.h"
#include "platform/qt/combo_box_ex.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/resource_images.h"
#include "platform/qt/system_image_list.h"
#include "resources/image_ids.h"
#include "resources/sync_messages.h"
#include "ui/task_window/item_row.h"
#include "ui/task_window/run_paint_pace.h"
#include "ui/task_window/view_filter_memo.h"

namespace {

// The window's controls (IDD_TASK_WINDOW): where each stands at the window's base size and how
// it follows the window. Made in this order, which is the order Tab walks. The folder boxes
// and the item tree stand where the template keeps their places (7013, 7014 and 6018).
enum class ControlKind { Button, FolderBox, Label, ItemTree, ProgressBar, StatusLine };

struct ControlEntry {
    int id;
    ControlKind kind;
    QRect rect;
    Anchor topLeft;
    Anchor bottomRight;
};

constexpr QSize kBaseSize{720, 400};

const ControlEntry kControls[] = {
    {IDC_BROWSE_LEFT, ControlKind::Button, {4, 4, 26, 24}, anchor::TopLeft, anchor::TopLeft},
    {IDC_LEFT_FOLDER_BOX, ControlKind::FolderBox, {34, 4, 306, 24}, anchor::TopLeft, anchor::TopCenter},
    {IDC_SYNC_OPTIONS_BUTTON, ControlKind::Button, {345, 2, 30, 28}, anchor::TopCenter, anchor::TopCenter},
    {IDC_RIGHT_FOLDER_BOX, ControlKind::FolderBox, {380, 4, 306, 24}, anchor::TopCenter, anchor::TopRight},
    {IDC_BROWSE_RIGHT, ControlKind::Button, {690, 4, 26, 24}, anchor::TopRight, anchor::TopRight},
    {IDC_LEFT_LABEL, ControlKind::Label, {4, 32, 352, 18}, anchor::TopLeft, anchor::TopCenter},
    {IDC_RIGHT_LABEL, ControlKind::Label, {364, 32, 352, 18}, anchor::TopCenter, anchor::TopRight},
    {IDC_ITEM_TREE, ControlKind::ItemTree, {4, 54, 712, 290}, anchor::TopLeft, anchor::BottomRight},
    {IDC_ITEM_PROGRESS, ControlKind::ProgressBar, {4, 350, 712, 18}, anchor::BottomLeft, anchor::BottomRight},
    {IDC_STATUS_LINE, ControlKind::StatusLine, {4, 374, 712, 20}, anchor::BottomLeft, anchor::BottomRight},
};

constexpr DWORD kItemTreeStyle = 0x50801087;
constexpr DWORD kItemTreeExStyle = 0x91000;
// Child, visible, vertical scroll, tab stop, drop-down, auto horizontal scroll.
constexpr DWORD kFolderBoxStyle = 0x50210042;
constexpr int kFolderListHeight = 320;
constexpr int kFolderTextLimit = 500;

UINT HelpTextId(int controlId) {
    switch (controlId) {
    case IDC_BROWSE_LEFT: return IDS_BROWSE_LEFT_HELP;
    case IDC_BROWSE_RIGHT: return IDS_BROWSE_RIGHT_HELP;
    case IDC_LEFT_FOLDER_BOX: return IDS_LEFT_FOLDER_BOX_HELP;
    case IDC_RIGHT_FOLDER_BOX: return IDS_RIGHT_FOLDER_BOX_HELP;
    case IDC_SYNC_OPTIONS_BUTTON: return IDS_SYNC_OPTIONS_BUTTON_HELP;
    default: return 0;
    }
}

RECT ToRect(const QRect& r) { return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

// A history entry from the "Folders" setting: one enclosing pair of quotes goes.
std::wstring HistoryEntry(std::wstring entry) {
    if (entry.size() >= 2 && entry.front() == L'"' && entry.back() == L'"') entry = entry.substr(1, entry.size() - 2);
    return entry;
}

// Puts `folder` at the head of `history`, once.
void PutAtHead(std::vector<std::wstring>& history, const std::wstring& folder) {
    history.erase(std::remove(history.begin(), history.end(), folder), history.end());
    history.insert(history.begin(), folder);
}

}  // namespace

CSyncDlg::CSyncDlg(QWidget* parent, HWND mainFrame, HWND taskList)
    : QWidget(parent), plat::MessageWindow(this), mainFrame_(mainFrame), taskList_(taskList) {
    MapMessage(WM_SYNC_TASK_CHANGED, &CSyncDlg::OnTaskChanged);
    MapMessage(WM_SYNC_VIEW_FILTER, &CSyncDlg::OnSetViewFilter);
    MapMessage(WM_SYNC_SAVE_COLUMNS, &CSyncDlg::OnSaveColumns);
    MapMessage(WM_COMMAND, &CSyncDlg::OnCommandMessage);
    MapMessage(WM_NOTIFY, &CSyncDlg::OnNotify);
    MapMessage(WM_HELP, &CSyncDlg::OnHelpInfo);
    MapMessage(WM_DESTROY, &CSyncDlg::OnDestroy);
    MapCommand(ID_SELECT_ALL, &CSyncDlg::OnSelectAll);
    MapUpdate(ID_SELECT_ALL, &CSyncDlg::OnUpdateSelectAll);
    MapRunMessages();
    MapItemCommands();
    OnInitDialog();
}

CSyncDlg::~CSyncDlg() {
    // WM_DESTROY while the window's handlers still run.
    DestroyMessageWindow();
}

BOOL CSyncDlg::OnInitDialog() {
    browseIcon_ = plat::LoadIconResource(res::kBrowseIcon);
    for (int type = 0; type < 5; ++type)
        syncTypeIcons_[static_cast<size_t>(type)] = plat::LoadIconResource(res::kSyncTypeIcons[type]);
    programIcon_ = plat::LoadIconResource(res::kProgramIcon);
    if (plat::GuiServices* gui = plat::GetGuiServices()) {
        folderIcon_ = std::max(0, gui->SmallIconIndex(L"/", plat::IconKind::Folder, false));
    }

    resize(kBaseSize);
    BuildControls();
    DoDataExchange();

    // The first image list draws the system's small icons, and the program's own for the
    // task's row; the second holds the action images.
    fileImages_ = std::make_unique<ImageList>(16, 16, [this](int index) {
        return index == kTaskRowImage ? programIcon_ : plat::SystemImageList::Instance().Icon(index);
    });
    actionImages_ = std::make_unique<ImageList>(16, 16);
    actionImages_->AddStrip(plat::LoadBitmapResource(res::kListImages), QColor::fromRgb(res::kImageMaskColour));
    itemTree_.SetExtendedStyle(0, kItemTreeExStyle);
    itemTree_.SetImageList(fileImages_.get(), TVSIL_NORMAL);
    itemTree_.SetImageList(actionImages_.get(), TVSIL_SUBIMAGES);
    InsertColumns();

    for (const ControlEntry& entry : kControls) {
        if (QWidget* control = GetDlgItem(entry.id)) AddAnchor(control, entry.topLeft, entry.bottomRight);
    }
    if (optionsButton_) optionsButton_->setIcon(syncTypeIcons_[1]);
    return TRUE;
}

void CSyncDlg::BuildControls() {
    QFont boxFont(QStringLiteral("Arial Unicode MS"));
    boxFont.setPixelSize(11);
    boxFont.setWeight(QFont::Normal);
    for (const ControlEntry& entry : kControls) {
        QWidget* made = nullptr;
        switch (entry.kind) {
        case ControlKind::Button: {
            auto* button = new QToolButton(this);
            button->setIconSize(entry.id == IDC_SYNC_OPTIONS_BUTTON ? QSize(24, 24) : QSize(16, 16));
            button->setAutoRaise(false);
            button->setFocusPolicy(Qt::StrongFocus);
            if (entry.id != IDC_SYNC_OPTIONS_BUTTON) button->setIcon(browseIcon_);
            const int id = entry.id;
            connect(button, &QToolButton::clicked, this,
                    [this, id] { Message(WM_COMMAND, MAKELONG(static_cast<WORD>(id), 0), 0); });
            made = button;
            break;
        }
        case ControlKind::FolderBox: {
            plat::GuiServices* gui = plat::GetGuiServices();
            const HWND box = gui ? gui->CreateComboBoxEx(GetSafeHwnd(), kFolderBoxStyle, ToRect(entry.rect),
                                                         static_cast<UINT>(entry.id))
                                 : nullptr;
            auto* combo = box ? dynamic_cast<plat::ComboBoxEx*>(plat::MessageWindow::FromHwnd(box)) : nullptr;
            if (!combo) break;
            const int side = entry.id == IDC_LEFT_FOLDER_BOX ? 0 : 1;
            folderBoxes_[static_cast<size_t>(side)] = combo;
            combo->SetImageSource([](int index) { return plat::SystemImageList::Instance().Icon(index); });
            combo->setFont(boxFont);
            if (QLineEdit* edit = combo->lineEdit()) edit->setFont(boxFont);
            combo->setMaxVisibleItems(std::max(1, kFolderListHeight / std::max(1, combo->fontMetrics().height() + 6)));
            combo->Message(CB_LIMITTEXT, kFolderTextLimit, 0);
            if (QLineEdit* edit = combo->lineEdit()) {
                connect(edit, &QLineEdit::returnPressed, this, [this, side] { OnOK(side); });
            }
            folderEdits_[static_cast<size_t>(side)].SubclassWindow(
                reinterpret_cast<HWND>(combo->Message(CBEM_GETEDITCONTROL, 0, 0)));
            made = combo;
            break;
        }
        case ControlKind::Label: {
            auto* label = new CStatic(this, SS_LEFTNOWORDWRAP | SS_NOPREFIX);
            label->setTextFormat(Qt::PlainText);
            made = label;
            break;
        }
        case ControlKind::ItemTree:
            if (itemTree_.Create(kItemTreeStyle, ToRect(entry.rect), this, static_cast<UINT>(entry.id))) {
                made = itemTree_.GetWidget();
                plat::SetTakesEnterKey(made);  // Enter on a row does nothing
            }
            break;
        case ControlKind::ProgressBar:
        case ControlKind::StatusLine: made = new CTextProgressCtrl(this, PBS_SMOOTH); break;
        }
        if (!made) continue;
        made->setObjectName(QString::number(entry.id));
        made->setGeometry(entry.rect);
        if (HelpTextId(entry.id) != 0) made->installEventFilter(this);
    }
}

void CSyncDlg::DoDataExchange() {
    browseLeft_ = qobject_cast<QAbstractButton*>(GetDlgItem(IDC_BROWSE_LEFT));
    browseRight_ = qobject_cast<QAbstractButton*>(GetDlgItem(IDC_BROWSE_RIGHT));
    optionsButton_ = qobject_cast<QAbstractButton*>(GetDlgItem(IDC_SYNC_OPTIONS_BUTTON));
    leftLabel_ = qobject_cast<CStatic*>(GetDlgItem(IDC_LEFT_LABEL));
    rightLabel_ = qobject_cast<CStatic*>(GetDlgItem(IDC_RIGHT_LABEL));
    itemProgress_ = qobject_cast<CTextProgressCtrl*>(GetDlgItem(IDC_ITEM_PROGRESS));
    statusLine_ = qobject_cast<CTextProgressCtrl*>(GetDlgItem(IDC_STATUS_LINE));
    std::vector<HWND> bars;
    for (CTextProgressCtrl* bar : {itemProgress_, statusLine_}) {
        if (bar) bars.push_back(bar->GetSafeHwnd());
    }
    runPaint_ = std::make_unique<RunPaintPace>(itemTree_, std::move(bars));
}

void CSyncDlg::InsertColumns() {
    for (int column = 0; column < kColumnCount; ++column) {
        const std::string key = FormatString(settings::kTaskColumnKeyFormat, static_cast<unsigned>(column));
        columnWidths_[static_cast<size_t>(column)] =
            ReadProfileInt(settings::kSyncSection, key.c_str(), settings::kTaskColumnDefaultWidths[column]);
        const std::string title = LoadResString(IDS_ITEM_COLUMN_NAME + static_cast<UINT>(column));
        itemTree_.InsertColumn(column, title.c_str(), -1, columnWidths_[static_cast<size_t>(column)], 0x8000);
    }
}

QWidget* CSyncDlg::GetDlgItem(int controlId) const {
    return findChild<QWidget*>(QString::number(controlId), Qt::FindDirectChildrenOnly);
}

void CSyncDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ArrangeLayout();
}

// ---------------------------------------------------------------- the task and its folders

LRESULT CSyncDlg::OnTaskChanged(WPARAM row, LPARAM task) {
    task_ = reinterpret_cast<SyncTask*>(task);
    taskRow_ = static_cast<int>(row);
    for (int side = 0; side < 2; ++side) {
        if (plat::ComboBoxEx* box = folderBoxes_[static_cast<size_t>(side)]) box->Message(CB_RESETCONTENT, 0, 0);
        folderHistory_[static_cast<size_t>(side)].clear();
    }
    std::vector<std::wstring> defaults;
    SplitQuotedList(ReadSettingW(settings::kFolders), defaults);
    for (auto& history : folderHistory_) {
        for (const std::wstring& entry : defaults) history.push_back(HistoryEntry(entry));
    }
    if (!task_) return 0;

    // The window's folder texts are the task's as entered: storing them later (a browse
    // on one side, the options) must never write an empty folder into the task.
    const std::wstring* folders[2] = {&task_->leftFolder, &task_->rightFolder};
    for (int side = 1; side >= 0; --side) {
        const std::wstring& folder = *folders[side];
        folderText_[static_cast<size_t>(side)] = folder;
        SetFolderBoxText(side, folder);
        if (!folder.empty()) PutAtHead(folderHistory_[static_cast<size_t>(side)], folder);
    }
    UpdateSyncTypeIcon();
    return 1;
}

void CSyncDlg::SetFolderBoxText(int side, const std::wstring& text) {
    if (plat::ComboBoxEx* box = folderBoxes_[static_cast<size_t>(side)]) {
        box->Message(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

std::wstring CSyncDlg::ReadFolderBox(int side) const {
    plat::ComboBoxEx* box = folderBoxes_[static_cast<size_t>(side)];
    if (!box) return {};
    std::wstring buffer(kFolderTextLimit + 1, L'\0');
    const auto length = box->Message(WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<size_t>(std::clamp<LRESULT>(length, 0, kFolderTextLimit)));
    return buffer;
}

void CSyncDlg::FillFolderBox(int side) {
    plat::ComboBoxEx* box = folderBoxes_[static_cast<size_t>(side)];
    if (!box) return;
    while (box->Message(CB_GETCOUNT, 0, 0) > 0) box->Message(CB_DELETESTRING, 0, 0);
    for (const std::wstring& folder : folderHistory_[static_cast<size_t>(side)]) {
        std::wstring text = folder;
        COMBOBOXEXITEMW item;
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iItem = -1;
        item.pszText = text.data();
        item.iImage = item.iSelectedImage = GetPathIconIndexW(folder);
        box->Message(CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void CSyncDlg::UpdateSyncTypeIcon() {
    if (!optionsButton_ || !task_) return;
    DWORD type = task_->syncOptions ? task_->syncOptions->type : 1;
    if (type >= syncTypeIcons_.size()) type = 1;
    optionsButton_->setIcon(syncTypeIcons_[type]);
}

void CSyncDlg::EnableActionControls(bool enable) {
    for (int id :
         {IDC_LEFT_FOLDER_BOX, IDC_RIGHT_FOLDER_BOX, IDC_BROWSE_LEFT, IDC_BROWSE_RIGHT, IDC_SYNC_OPTIONS_BUTTON}) {
        if (QWidget* control = GetDlgItem(id)) control->setEnabled(enable);
    }
}

// ---------------------------------------------------------------- messages

LRESULT CSyncDlg::OnCommandMessage(WPARAM w, LPARAM) {
    const WORD id = LOWORD(w);
    const WORD code = HIWORD(w);
    if ((id == IDC_LEFT_FOLDER_BOX || id == IDC_RIGHT_FOLDER_BOX) && code == CBN_DROPDOWN) {
        FillFolderBox(id == IDC_LEFT_FOLDER_BOX ? 0 : 1);
        return 0;
    }
    if ((id == IDC_LEFT_FOLDER_BOX || id == IDC_RIGHT_FOLDER_BOX) && code == CBN_SELCHANGE) {
        OnFolderChosenFromList(id == IDC_LEFT_FOLDER_BOX ? 0 : 1);
        return 0;
    }
    if (code != 0) return 0;
    return DispatchCommand(id) ? 1 : 0;
}

LRESULT CSyncDlg::OnNotify(WPARAM, LPARAM header) {
    const auto* notify = reinterpret_cast<const NMHDR*>(header);
    if (!notify || notify->hwndFrom != itemTree_.GetSafeHwnd()) return 0;
    if (notify->code == TVN_DELETEITEMA) {
        // The row's data belongs to the row.
        delete reinterpret_cast<ItemRowData*>(reinterpret_cast<const NMTREEVIEW*>(header)->itemOld.lParam);
    }
    if (notify->code == NM_RCLICK) {
        QWidget* tree = itemTree_.GetWidget();
        if (tree) OnItemListRClick(tree->mapFromGlobal(QCursor::pos()));
        return 1;
    }
    return 0;
}

LRESULT CSyncDlg::OnSaveColumns(WPARAM, LPARAM) {
    for (int column = 0; column < kColumnCount; ++column) {
        const int width = static_cast<int>(itemTree_.SendMessage(TLM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
        columnWidths_[static_cast<size_t>(column)] = width;
        const std::string key = FormatString(settings::kTaskColumnKeyFormat, static_cast<unsigned>(column));
        WriteProfileInt(settings::kSyncSection, key.c_str(), width);
    }
    return 1;
}

LRESULT CSyncDlg::OnHelpInfo(WPARAM, LPARAM info) {
    const auto* help = reinterpret_cast<const HELPINFO*>(info);
    if (!help) return FALSE;
    const UINT textId = HelpTextId(help->iCtrlId);
    if (textId == 0) return TRUE;
    ShowHelpPopup(this, plat::ToQString(LoadResString(textId)), QPoint(help->MousePos.x, help->MousePos.y));
    return TRUE;
}

bool CSyncDlg::eventFilter(QObject* watched, QEvent* event) {
    auto* control = qobject_cast<QWidget*>(watched);
    const int id = control ? control->objectName().toInt() : 0;
    const bool helpKey = event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
                         static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier;
    if (id == 0 || (!helpKey && event->type() != QEvent::WhatsThis)) return QWidget::eventFilter(watched, event);
    QPoint pos = event->type() == QEvent::WhatsThis ? static_cast<QHelpEvent*>(event)->globalPos()
                                                    : control->mapToGlobal(QPoint(0, control->height()));
    HELPINFO info;
    info.iCtrlId = id;
    info.hItemHandle = GetSafeHwnd();
    info.MousePos = {pos.x(), pos.y()};
    Message(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    return true;
}

void CSyncDlg::OnDestroy(WPARAM, LPARAM) {
    // The rows go; the trees stay with the task.
    ClearItemList(FALSE);
    browseIcon_ = QIcon();
    for (QIcon& icon : syncTypeIcons_) icon = QIcon();
    for (CMyComboBoxEdit& edit : folderEdits_) edit.UnsubclassWindow();
}
