#include "controls/resizable_dialog.h"

#include <QPainter>
#include <QResizeEvent>

CResizableDialog::CResizableDialog(UINT templateId, QWidget* parent)
    : QDialog(parent), plat::MessageWindow(this), templateId_(templateId) {
    setSizeGripEnabled(false);  // the dialog's own grip is CResizableGrip's
    MapMessage(WM_CREATE, &CResizableDialog::OnCreate);
    MapMessage(WM_SIZE, &CResizableDialog::OnSize);
    MapMessage(WM_GETMINMAXINFO, &CResizableDialog::OnGetMinMaxInfo);
    MapMessage(WM_ERASEBKGND, &CResizableDialog::OnEraseBkgnd);
    MapMessage(WM_DESTROY, &CResizableDialog::OnDestroy);
}

CResizableDialog::~CResizableDialog() {
    DestroyMessageWindow();  // WM_DESTROY while this class still answers it
    OnDestroy();
}

void CResizableDialog::EnableSaveRestore(const std::string& section, bool rectOnly) {
    sectionName_ = section;
    rectOnly_ = rectOnly;
    saveRestore_ = true;
}

QWidget* CResizableDialog::GetLayoutWindow() const { return const_cast<CResizableDialog*>(this); }

QWidget* CResizableDialog::GetResizableWnd() const { return const_cast<CResizableDialog*>(this); }

LRESULT CResizableDialog::OnCreate(WPARAM, LPARAM) {
    if (created_) return 0;
    created_ = true;
    const bool topLevel = isWindow();
    if (topLevel) {
        // A top-level dialog cannot be made smaller than it was made.
        SetMinTrackSize(size());
        ApplyTrackSizes(this);
    }
    // Inside another window (a task tab) the grip would size nothing: it stays hidden.
    return CreateSizeGrip(topLevel) ? 0 : -1;
}

void CResizableDialog::OnSize(WPARAM type, LPARAM) {
    if (type == SIZE_MAXSHOW || type == SIZE_MAXHIDE) return;
    if (type == SIZE_MAXIMIZED) {
        ShowSizeGrip(false);
    } else if (isWindow()) {
        ShowSizeGrip(true);
    }
    UpdateSizeGrip();
    ArrangeLayout();
}

void CResizableDialog::OnDestroy(WPARAM, LPARAM) {
    if (destroyed_) return;
    destroyed_ = true;
    if (saveRestore_) SaveWindowRect(this, sectionName_, rectOnly_);
    RemoveAllAnchors();
}

LRESULT CResizableDialog::OnEraseBkgnd(WPARAM, LPARAM) {
    update(EraseRegion());
    return TRUE;
}

void CResizableDialog::OnGetMinMaxInfo(WPARAM, LPARAM info) { MinMaxInfo(reinterpret_cast<MINMAXINFO*>(info)); }

UINT CResizableDialog::CurrentSizeType() const {
    if (isMinimized()) return SIZE_MINIMIZED;
    if (isMaximized()) return SIZE_MAXIMIZED;
    return SIZE_RESTORED;
}

void CResizableDialog::showEvent(QShowEvent* event) {
    if (!created_) {
        OnCreate();
        OnSize(CurrentSizeType());
    }
    QDialog::showEvent(event);
}

void CResizableDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    OnSize(CurrentSizeType());
}

void CResizableDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && created_) OnSize(CurrentSizeType());
}

void CResizableDialog::paintEvent(QPaintEvent*) {
    // Only the background between the controls is painted, so they do not flicker.
    QPainter painter(this);
    painter.setClipRegion(EraseRegion());
    painter.fillRect(rect(), palette().window());
}
