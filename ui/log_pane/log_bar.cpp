#include "ui/log_pane/log_bar.h"

#include <QApplication>

#include "controls/control_defs.h"
#include "controls/log_control.h"
#include "foundation/sync_task.h"
#include "resources/control_ids.h"
#include "resources/sync_messages.h"

namespace {

constexpr DWORD kWsClipChildren = 0x02000000;

}  // namespace

CLogBar::CLogBar() {
    MapMessage(WM_CREATE, &CLogBar::OnCreate);
    MapMessage(WM_SIZE, &CLogBar::OnSize);
    MapMessage(WM_DESTROY, &CLogBar::OnDestroy);
    MapMessage(WM_SYNC_TASK_CHANGED, &CLogBar::OnTaskChanged);
    MapMessage(WM_SYNC_TASK_REMOVED, &CLogBar::OnTaskRemoved);
}

CLogBar::~CLogBar() {
    DestroyMessageWindow();
    OnDestroy(0, 0);
}

LRESULT CLogBar::OnCreate(WPARAM, LPARAM) {
    // Where the face is missing, Qt's nearest match stands in.
    font_ = QFont(QStringLiteral("Arial Unicode MS"));
    font_.setPixelSize(11);
    font_.setWeight(QFont::Normal);
    default_ = CreateLogControl();
    ShowDefault();
    return 0;
}

CRichEditCtrlGS* CLogBar::CreateLogControl() {
    auto* control = new CRichEditCtrlGS;
    const DWORD style =
        WS_CHILD | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_HSCROLL | WS_VSCROLL | kWsClipChildren;
    control->Create(style, QRect(), Client(), IDC_LOG_CONTROL);
    control->setReadOnly(true);
    control->setFont(font_.family().isEmpty() ? QApplication::font() : font_);
    return control;
}

void CLogBar::OnSize(WPARAM, LPARAM) {
    if (shown_) shown_->setGeometry(Client()->rect());
}

void CLogBar::OnDestroy(WPARAM, LPARAM) {
    // The task controls still in the pane go with it later; none may call back here then.
    if (shown_) disconnect(shown_, nullptr, this, nullptr);
    shown_ = nullptr;
    key_ = nullptr;
    delete default_;
    default_ = nullptr;
}

LRESULT CLogBar::OnTaskChanged(WPARAM, LPARAM l) {
    const auto* task = reinterpret_cast<const SyncTask*>(l);
    if (!task || task == key_) return 0;
    auto* control = dynamic_cast<CRichEditCtrlGS*>(plat::MessageWindow::FromHwnd(task->logControl));
    if (!control) return 0;
    key_ = task;
    Show(control);
    return 0;
}

LRESULT CLogBar::OnTaskRemoved(WPARAM, LPARAM l) {
    if (shown_ && key_ && reinterpret_cast<const SyncTask*>(l) == key_) ShowDefault();
    return 0;
}

void CLogBar::Show(CRichEditCtrlGS* control) {
    if (shown_ && shown_ != control) {
        disconnect(shown_, &QObject::destroyed, this, nullptr);
        shown_->hide();
    }
    shown_ = control;
    // A control deleted without a word to the pane (the task list's rows all deleted at once)
    // must not leave it showing nothing, or touching what is gone.
    connect(control, &QObject::destroyed, this, [this, control] {
        if (shown_ == nullptr || shown_ == control) {
            shown_ = nullptr;
            if (default_ && control != default_) ShowDefault();
        }
    });
    control->setGeometry(Client()->rect());
    control->show();
}

void CLogBar::ShowDefault() {
    key_ = nullptr;
    if (default_) Show(default_);
}
