#include "controls/window_class.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QToolBar>

#include "controls/static_control.h"

std::string WindowClassOf(const QWidget* widget) {
    if (!widget) return {};
    if (qobject_cast<const QLabel*>(widget)) return "Static";
    if (qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QGroupBox*>(widget)) return "Button";
    if (qobject_cast<const QListWidget*>(widget)) return "ListBox";
    if (qobject_cast<const QToolBar*>(widget)) return "ToolbarWindow32";
    // Window class names are limited to 260 characters.
    return std::string(widget->metaObject()->className()).substr(0, MAX_PATH);
}

DWORD WindowStyleOf(const QWidget* widget) {
    if (const auto* st = qobject_cast<const CStatic*>(widget)) return st->Style();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        if (!label->pixmap().isNull()) return SS_BITMAP;
        const Qt::Alignment align = label->alignment();
        DWORD style = SS_LEFT;
        if (align & Qt::AlignHCenter) style = SS_CENTER;
        if (align & Qt::AlignRight) style = SS_RIGHT;
        if (align & Qt::AlignVCenter) style |= SS_CENTERIMAGE;
        return style;
    }
    if (qobject_cast<const QGroupBox*>(widget)) return BS_GROUPBOX;
    if (qobject_cast<const QCheckBox*>(widget)) return BS_CHECKBOX;
    if (qobject_cast<const QRadioButton*>(widget)) return BS_RADIOBUTTON;
    if (qobject_cast<const QToolBar*>(widget)) {
        return widget->testAttribute(Qt::WA_TranslucentBackground) ? TBSTYLE_TRANSPARENT : 0;
    }
    return 0;
}
