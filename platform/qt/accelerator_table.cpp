#include "platform/qt/accelerator_table.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>

namespace plat {

namespace {

constexpr const char* kEditKeysProperty = "qbTakesEditKeys";
constexpr const char* kEnterKeyProperty = "qbTakesEnterKey";

}  // namespace

BYTE ModifierFlags(Qt::KeyboardModifiers modifiers) {
    BYTE flags = 0;
    if (modifiers & Qt::ShiftModifier) flags |= res::kShift;
    if (modifiers & Qt::ControlModifier) flags |= res::kControl;
    if (modifiers & Qt::AltModifier) flags |= res::kAlt;
    return flags;
}

WORD VirtualKeyOf(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        return static_cast<WORD>(qtKey);  // Qt's codes are the upper-case ASCII ones
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return static_cast<WORD>(res::vk::F1 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return res::vk::Return;
    case Qt::Key_Escape: return res::vk::Escape;
    case Qt::Key_Delete: return res::vk::Delete;
    default: return 0;
    }
}

UINT AcceleratorTable::CommandFor(int qtKey, Qt::KeyboardModifiers modifiers) const {
    const WORD key = VirtualKeyOf(qtKey);
    if (key == 0) return 0;
    const BYTE flags = ModifierFlags(modifiers);
    for (const res::Accelerator& entry : entries_) {
        if (entry.key == key && entry.modifiers == flags) return entry.command;
    }
    return 0;
}

bool IsEditKey(WORD virtualKey, BYTE modifiers) {
    if (modifiers == 0) {
        return virtualKey == res::vk::Return || virtualKey == res::vk::Escape || virtualKey == res::vk::Delete;
    }
    if (modifiers == res::kControl) {
        return virtualKey == 'C' || virtualKey == 'X' || virtualKey == 'A' || virtualKey == res::vk::Delete;
    }
    return false;
}

bool TakesEditKeys(const QWidget* focus) {
    for (const QWidget* w = focus; w; w = w->parentWidget()) {
        if (w->property(kEditKeysProperty).toBool()) return true;
        if (w->isWindow()) break;
    }
    if (const auto* line = qobject_cast<const QLineEdit*>(focus)) return !line->isReadOnly();
    if (const auto* combo = qobject_cast<const QComboBox*>(focus)) return combo->isEditable();
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(focus)) return !spin->isReadOnly();
    if (const auto* text = qobject_cast<const QTextEdit*>(focus)) return !text->isReadOnly();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(focus)) return !plain->isReadOnly();
    return false;
}

void SetTakesEditKeys(QWidget* widget) {
    if (widget) widget->setProperty(kEditKeysProperty, true);
}

bool TakesEnterKey(const QWidget* focus) {
    for (const QWidget* w = focus; w; w = w->parentWidget()) {
        if (w->property(kEnterKeyProperty).toBool()) return true;
        if (w->isWindow()) break;
    }
    return false;
}

void SetTakesEnterKey(QWidget* widget) {
    if (widget) widget->setProperty(kEnterKeyProperty, true);
}

}  // namespace plat
