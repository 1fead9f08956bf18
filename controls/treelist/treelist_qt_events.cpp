// Qt's events, turned into the window messages the control answers.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "controls/treelist/treelist_editor.h"
#include "controls/treelist/treelist_window.h"

namespace {

LPARAM PointParam(const QPoint& p) { return MAKELPARAM(p.x(), p.y()); }

WPARAM MouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    WPARAM keys = 0;
    if (buttons & Qt::LeftButton) keys |= MK_LBUTTON;
    if (buttons & Qt::RightButton) keys |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) keys |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier) keys |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) keys |= MK_CONTROL;
    return keys;
}

UINT VirtualKey(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_F2: return VK_F2;
    default:
        if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
            return static_cast<UINT>(key);
        return 0;
    }
}

}  // namespace

void TreeListWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    WindowLockGuard guard(lock_);
    Paint(painter, event->rect());
}

void TreeListWindow::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    const QSize size = viewport()->size();
    if (size.width() != clientWidth_ || size.height() != clientHeight_)
        Message(WM_SIZE, 0, MAKELPARAM(size.width(), size.height()));
}

void TreeListWindow::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    const QSize size = viewport()->size();
    if (size.width() != clientWidth_ || size.height() != clientHeight_)
        Message(WM_SIZE, 0, MAKELPARAM(size.width(), size.height()));
    Message(WM_SHOWWINDOW, 1, 0);
}

void TreeListWindow::mousePressEvent(QMouseEvent* event) {
    const UINT message = event->button() == Qt::RightButton  ? WM_RBUTTONDOWN
                         : event->button() == Qt::LeftButton ? WM_LBUTTONDOWN
                                                             : 0;
    if (message)
        Message(message, MouseKeys(event->buttons(), event->modifiers()), PointParam(event->position().toPoint()));
}

void TreeListWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    const UINT message = event->button() == Qt::RightButton  ? WM_RBUTTONDBLCLK
                         : event->button() == Qt::LeftButton ? WM_LBUTTONDBLCLK
                                                             : 0;
    if (message)
        Message(message, MouseKeys(event->buttons(), event->modifiers()), PointParam(event->position().toPoint()));
}

void TreeListWindow::mouseReleaseEvent(QMouseEvent* event) {
    const UINT message = event->button() == Qt::RightButton  ? WM_RBUTTONUP
                         : event->button() == Qt::LeftButton ? WM_LBUTTONUP
                                                             : 0;
    if (message)
        Message(message, MouseKeys(event->buttons(), event->modifiers()), PointParam(event->position().toPoint()));
}

void TreeListWindow::mouseMoveEvent(QMouseEvent* event) {
    Message(WM_MOUSEMOVE, MouseKeys(event->buttons(), event->modifiers()), PointParam(event->position().toPoint()));
}

void TreeListWindow::leaveEvent(QEvent* event) {
    QAbstractScrollArea::leaveEvent(event);
    WindowLockGuard guard(lock_);
    HideTooltip();
}

void TreeListWindow::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        QAbstractScrollArea::wheelEvent(event);  // sideways: the horizontal bar
        return;
    }
    const WPARAM keys = MouseKeys(event->buttons(), event->modifiers());
    Message(WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(keys), static_cast<WORD>(static_cast<short>(delta))),
            PointParam(event->position().toPoint()));
    event->accept();
}

void TreeListWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    modifiersFromEvent_ = true;
    eventModifiers_ = event->modifiers();
    if (const UINT key = VirtualKey(event->key())) Message(WM_KEYDOWN, key, 1);
    const std::wstring text = event->text().toStdWString();
    for (wchar_t ch : text) Message(WM_CHAR, static_cast<WPARAM>(ch), 1);
    modifiersFromEvent_ = false;
    event->accept();
}

void TreeListWindow::keyReleaseEvent(QKeyEvent* event) {
    if (const UINT key = VirtualKey(event->key())) Message(WM_KEYUP, key, 1);
    event->accept();
}

void TreeListWindow::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (!hasFocus_) Message(WM_SETFOCUS, 0, 0);
}

void TreeListWindow::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (hasFocus_) Message(WM_KILLFOCUS, 0, 0);
}

void TreeListWindow::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (isEnabled() != enabled_) Message(WM_ENABLE, isEnabled() ? 1 : 0, 0);
        break;
    case QEvent::FontChange: {
        WindowLockGuard guard(lock_);
        ApplyFont(font());
        break;
    }
    case QEvent::PaletteChange:
    case QEvent::StyleChange: Message(WM_SYSCOLORCHANGE, 0, 0); break;
    default: break;
    }
}

void TreeListWindow::scrollContentsBy(int, int) {
    if (settingScrollBars_) return;
    // The scroll bars give full 32-bit positions.
    WindowLockGuard guard(lock_);
    const int row = verticalScrollBar()->value();
    if (row != firstRow_) VScroll(SB_THUMBPOSITION, row);
    const int x = horizontalScrollBar()->value();
    if (x != hscroll_) HScroll(SB_THUMBPOSITION, x);
    // A refused scroll (during an edit) puts the bars back.
    UpdateScrollBars(true);
}

bool TreeListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!editor_ || !editor_->Owns(watched)) return QAbstractScrollArea::eventFilter(watched, event);
    const HWND editor = editor_->Hwnd();
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            SendMessage(editor, WM_KEYDOWN, VK_RETURN, 1);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            SendMessage(editor, WM_KEYDOWN, VK_ESCAPE, 1);
            return true;
        }
        if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier) {
            if (QComboBox* combo = editor_->Combo(); combo && !combo->view()->isVisible()) {
                combo->showPopup();
                return true;
            }
        }
        return false;
    }
    case QEvent::FocusOut: {
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason) return false;
        // Decide once the focus has arrived: moving between a combo box and its edit part
        // is no loss of focus.
        QTimer::singleShot(0, this, [this, editor] {
            if (!editor_ || editor_->Hwnd() != editor) return;
            const QWidget* focus = QApplication::focusWidget();
            if (focus && editor_->Owns(focus)) return;
            SendMessage(editor, WM_KILLFOCUS, 0, 0);
        });
        return false;
    }
    default: return false;
    }
}
