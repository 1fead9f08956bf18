#include "controls/treelist/treelist_editor.h"

#include <QComboBox>
#include <QLineEdit>
#include <algorithm>

#include "controls/control_defs.h"
#include "controls/treelist/treelist_ids.h"
#include "controls/treelist/treelist_window.h"
#include "platform/qt/accelerator_table.h"

namespace {

constexpr int kMaxText = 259;
constexpr int kMaxEntry = 255;
constexpr UINT kCbGetCount = 0x0146;
constexpr UINT kCbGetCurSel = 0x0147;
constexpr UINT kCbSetCurSel = 0x014E;

QWidget* MakeWidget(QWidget* parent, unsigned kind, bool rightAligned) {
    if (kind == TreeListEditor::kEditBox) {
        auto* edit = new QLineEdit(parent);  // owned by its Qt parent, the viewport
        edit->setFrame(true);
        if (rightAligned) edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        edit->setMaxLength(kMaxText);
        edit->hide();
        return edit;
    }
    auto* combo = new QComboBox(parent);
    combo->setEditable(kind == TreeListEditor::kComboBox);
    if (combo->lineEdit()) {
        combo->lineEdit()->setMaxLength(kMaxText);
        if (rightAligned) combo->lineEdit()->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    combo->hide();
    // A drop-down list in place keeps Enter, Esc and the other editing keys from the frame.
    plat::SetTakesEditKeys(combo);
    return combo;
}

QString ToQString(std::wstring_view text) {
    return QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TreeListEditor::TreeListEditor(TreeListWindow& owner, unsigned kind, bool rightAligned)
    : plat::MessageWindow(MakeWidget(owner.viewport(), kind, rightAligned)), owner_(owner), kind_(kind) {
    Widget()->installEventFilter(&owner_);
    if (QLineEdit* edit = LineEdit(); edit && edit != Widget()) edit->installEventFilter(&owner_);
}

TreeListEditor::~TreeListEditor() {
    if (QWidget* widget = Widget()) {
        widget->removeEventFilter(&owner_);
        if (QLineEdit* edit = LineEdit(); edit && edit != widget) edit->removeEventFilter(&owner_);
        widget->hide();
        widget->deleteLater();
    }
}

QWidget* TreeListEditor::Widget() const { return plat::MessageWindow::Widget(); }

QLineEdit* TreeListEditor::LineEdit() const {
    if (auto* edit = qobject_cast<QLineEdit*>(Widget())) return edit;
    if (QComboBox* combo = Combo()) return combo->lineEdit();
    return nullptr;
}

QComboBox* TreeListEditor::Combo() const { return qobject_cast<QComboBox*>(Widget()); }

bool TreeListEditor::Owns(const QObject* object) const {
    for (const QObject* o = object; o; o = o->parent())
        if (o == Widget()) return true;
    return false;
}

void TreeListEditor::FillValues(const std::vector<std::wstring>& values, std::wstring_view current) {
    QComboBox* combo = Combo();
    if (!combo) return;
    combo->clear();
    int match = -1;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::wstring_view entry = std::wstring_view(values[i]).substr(0, kMaxEntry);
        combo->addItem(ToQString(entry));
        if (match < 0 && values[i] == current) match = static_cast<int>(i);
    }
    if (kind_ == kDropList) {
        combo->setCurrentIndex(match >= 0 ? match : (combo->count() > 0 ? 0 : -1));
    } else {
        combo->setCurrentIndex(match);
        combo->setEditText(ToQString(current));
    }
}

void TreeListEditor::SetText(std::wstring_view text) {
    if (QLineEdit* edit = LineEdit())
        edit->setText(ToQString(text));
    else if (QComboBox* combo = Combo()) {
        const int index = combo->findText(ToQString(text));
        if (index >= 0) combo->setCurrentIndex(index);
    }
}

std::wstring TreeListEditor::Text() const {
    QString text;
    if (QLineEdit* edit = LineEdit())
        text = edit->text();
    else if (QComboBox* combo = Combo())
        text = combo->currentText();
    std::wstring wide = text.toStdWString();
    if (wide.size() > static_cast<std::size_t>(kMaxText)) wide.resize(kMaxText);
    return wide;
}

int TreeListEditor::CurrentIndex() const {
    const QComboBox* combo = Combo();
    return combo ? combo->currentIndex() : -1;
}

void TreeListEditor::Type(wchar_t ch) {
    QLineEdit* edit = LineEdit();
    if (!edit) return;
    const std::wstring one(1, ch);
    edit->insert(ToQString(one));
}

void TreeListEditor::WatchChanges() {
    if (QLineEdit* edit = LineEdit()) {
        const unsigned code = kind_ == kEditBox ? EN_CHANGE : CBN_EDITCHANGE;
        QObject::connect(edit, &QLineEdit::textEdited, edit, [this, code] { Command(code); });
        QObject::connect(edit, &QLineEdit::textChanged, edit, [this] { Command(kTextSet); });
    }
    if (QComboBox* combo = Combo())
        QObject::connect(combo, &QComboBox::activated, combo, [this] { Command(CBN_SELCHANGE); });
}

void TreeListEditor::Command(unsigned code) {
    owner_.Message(WM_COMMAND, MAKEWPARAM(treelist::kEditorId, static_cast<WORD>(code)),
                   reinterpret_cast<LPARAM>(GetSafeHwnd()));
}

LRESULT TreeListEditor::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETTEXT:
        if (lParam) SetText(reinterpret_cast<const WCHAR*>(lParam));
        return TRUE;
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<WCHAR*>(lParam);
        if (!buffer || wParam == 0) return 0;
        const std::wstring text = Text();
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(wParam) - 1);
        std::copy_n(text.data(), n, buffer);
        buffer[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(Text().size());
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN)
            Command(kAcceptAndMove);
        else if (wParam == VK_ESCAPE)
            Command(kCancel);
        else if (wParam == VK_DOWN) {
            if (QComboBox* combo = Combo()) combo->showPopup();
        }
        return 0;
    case WM_CHAR:
        if (wParam >= 0x20) Type(static_cast<wchar_t>(wParam));
        return 0;
    case WM_KILLFOCUS: Command(kind_ == kEditBox ? EN_KILLFOCUS : CBN_KILLFOCUS); return 0;
    case kCbGetCount: return Combo() ? Combo()->count() : 0;
    case kCbGetCurSel: return CurrentIndex();
    case kCbSetCurSel:
        if (QComboBox* combo = Combo(); combo && static_cast<int>(wParam) < combo->count()) {
            combo->setCurrentIndex(static_cast<int>(wParam));
            Command(CBN_SELCHANGE);
            return static_cast<LRESULT>(wParam);
        }
        return -1;
    default: return 0;
    }
}
