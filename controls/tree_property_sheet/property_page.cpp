#include "controls/tree_property_sheet/property_page.h"

#include <QCursor>
#include <QHelpEvent>
#include <QKeyEvent>

#include "controls/tree_property_sheet/help_popup.h"
#include "controls/tree_property_sheet/property_sheet.h"

int ControlId(const QObject* widget) {
    if (!widget) return 0;
    bool ok = false;
    const int id = widget->objectName().toInt(&ok);
    return ok ? id : 0;
}

CPropertyPage::CPropertyPage(UINT templateId, std::string title)
    : QWidget(nullptr),
      plat::MessageWindow(this),
      templateId_(templateId),
      title_(std::move(title)),
      helpTopic_(templateId) {
    setObjectName(QString::number(templateId));
    MapMessage(WM_NOTIFY, &CPropertyPage::OnNotify);
    MapMessage(WM_HELP, &CPropertyPage::OnHelpMessage);
}

CPropertyPage::~CPropertyPage() { DestroyMessageWindow(); }

void CPropertyPage::InitDialog() {
    if (initialized_) return;
    initialized_ = true;
    OnInitDialog();
    WatchControlsForHelp();
}

void CPropertyPage::SetModified(BOOL changed) {
    modified_ = changed != FALSE;
    if (CPropertySheet* sheet = GetSheet()) {
        sheet->Message(modified_ ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(GetSafeHwnd()), 0);
    }
}

QWidget* CPropertyPage::GetDlgItem(int controlId) const { return findChild<QWidget*>(QString::number(controlId)); }

CPropertySheet* CPropertyPage::GetSheet() const {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* sheet = qobject_cast<CPropertySheet*>(w)) return sheet;
    }
    return nullptr;
}

BOOL CPropertyPage::OnApply() {
    OnOK();
    return TRUE;
}

LRESULT CPropertyPage::OnNotify(WPARAM, LPARAM header) {
    const auto* notify = reinterpret_cast<const PSHNOTIFY*>(header);
    if (!notify) return 0;
    switch (notify->code) {
    case PSN_SETACTIVE: return OnSetActive() ? 0 : -1;
    case PSN_KILLACTIVE: return OnKillActive() ? FALSE : TRUE;
    case PSN_APPLY:
        if (!OnApply()) return PSNRET_INVALID_NOCHANGEPAGE;
        modified_ = false;
        return PSNRET_NOERROR;
    case PSN_RESET: OnReset(); return 0;
    case PSN_HELP: OnHelp(); return 0;
    default: return 0;
    }
}

LRESULT CPropertyPage::OnHelpMessage(WPARAM, LPARAM info) {
    const auto* help = reinterpret_cast<const HELPINFO*>(info);
    return help ? OnHelpInfo(*help) : FALSE;
}

BOOL CPropertyPage::OnHelpInfo(const HELPINFO& info) {
    const std::string text = ContextHelpText(info.iCtrlId);
    // A control whose text is empty shows no pop-up rather than an empty box.
    ShowHelpPopup(this, QString::fromStdString(text), QPoint(info.MousePos.x, info.MousePos.y));
    return TRUE;
}

std::string CPropertyPage::ContextHelpText(int) { return {}; }

void CPropertyPage::WatchControlsForHelp() {
    for (QWidget* child : findChildren<QWidget*>()) {
        if (ControlId(child) != 0) child->installEventFilter(this);
    }
}

bool CPropertyPage::eventFilter(QObject* watched, QEvent* event) {
    const int id = ControlId(watched);
    auto* control = qobject_cast<QWidget*>(watched);
    if (id == 0 || !control) return QWidget::eventFilter(watched, event);

    HELPINFO info;
    info.iCtrlId = id;
    info.hItemHandle = GetSafeHwnd();
    switch (event->type()) {
    case QEvent::QueryWhatsThis:
        // Every control with an id answers in "What's This?" mode.
        event->accept();
        return true;
    case QEvent::WhatsThis: {
        const QPoint pos = static_cast<QHelpEvent*>(event)->globalPos();
        info.MousePos = {pos.x(), pos.y()};
        Message(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        return true;
    }
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
            // From the keyboard the pop-up goes under the control unless the mouse is on it.
            QPoint pos = QCursor::pos();
            if (!control->rect().contains(control->mapFromGlobal(pos))) {
                pos = control->mapToGlobal(QPoint(0, control->height()));
            }
            info.MousePos = {pos.x(), pos.y()};
            Message(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
            return true;
        }
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}
