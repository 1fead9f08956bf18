#include "controls/resizable_dialog.h"

#include <QPainter>
#include <QResizeEvent>

CResizableDialog::CResizableDialog(UINT templateId, QWidget* parent) : QDialog(parent), templateId_(templateId) {
    setSizeGripEnabled(false);  // the dialog's own grip is CResizableGrip's
}

CResizableDialog::~CResizableDialog() { OnDestroy(); }

void CResizableDialog::EnableSaveRestore(const std::string& section, bool rectOnly) {
    sectionName_ = section;
    rectOnly_ = rectOnly;
    saveRestore_ = true;
}

LRESULT CResizableDialog::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam));
        return 0;
    case WM_GETMINMAXINFO:
        MinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd();
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        return 0;
    }
}

QWidget* CResizableDialog::GetLayoutWindow() const { return const_cast<CResizableDialog*>(this); }

QWidget* CResizableDialog::GetResizableWnd() const { return const_cast<CResizableDialog*>(this); }

int CResizableDialog::OnCreate() {
    if (created_) return 0;
    created_ = true;
    const bool topLevel = isWindow();
    if (topLevel) {
        // A top-level dialog gets a sizing frame; the size it was made at is its minimum.
        setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, false);
        SetMinTrackSize(size());
        ApplyTrackSizes(this);
    }
    // Inside another window (a task tab) the grip would size nothing: it stays hidden.
    return CreateSizeGrip(topLevel) ? 0 : -1;
}

void CResizableDialog::OnSize(UINT type) {
    if (type == SIZE_MAXSHOW || type == SIZE_MAXHIDE) return;
    if (type == SIZE_MAXIMIZED) {
        ShowSizeGrip(false);
    } else if (isWindow()) {
        ShowSizeGrip(true);
    }
    UpdateSizeGrip();
    ArrangeLayout();
}

void CResizableDialog::OnDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (saveRestore_) SaveWindowRect(this, sectionName_, rectOnly_);
    RemoveAllAnchors();
}

BOOL CResizableDialog::OnEraseBkgnd() {
    update(EraseRegion());
    return TRUE;
}

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
