#include "platform/qt/qt_message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <utility>
#include <vector>

#include "platform/qt/message_window.h"

namespace plat {

namespace {

struct ButtonSpec {
    int id;
    QMessageBox::StandardButton standard;  // NoButton: a button with its own text
    const char* text;
    QMessageBox::ButtonRole role;
};

std::vector<ButtonSpec> ButtonsOf(UINT type) {
    using B = QMessageBox;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, B::Ok, nullptr, B::AcceptRole}, {IDCANCEL, B::Cancel, nullptr, B::RejectRole}};
    case MB_ABORTRETRYIGNORE:
        return {{IDABORT, B::Abort, nullptr, B::RejectRole},
                {IDRETRY, B::Retry, nullptr, B::AcceptRole},
                {IDIGNORE, B::Ignore, nullptr, B::AcceptRole}};
    case MB_YESNOCANCEL:
        return {{IDYES, B::Yes, nullptr, B::YesRole},
                {IDNO, B::No, nullptr, B::NoRole},
                {IDCANCEL, B::Cancel, nullptr, B::RejectRole}};
    case MB_YESNO: return {{IDYES, B::Yes, nullptr, B::YesRole}, {IDNO, B::No, nullptr, B::NoRole}};
    case MB_RETRYCANCEL:
        return {{IDRETRY, B::Retry, nullptr, B::AcceptRole}, {IDCANCEL, B::Cancel, nullptr, B::RejectRole}};
    case MB_CANCELTRYCONTINUE:
        return {{IDCANCEL, B::Cancel, nullptr, B::RejectRole},
                {IDTRYAGAIN, B::NoButton, "&Try Again", B::AcceptRole},
                {IDCONTINUE, B::NoButton, "&Continue", B::AcceptRole}};
    default: return {{IDOK, B::Ok, nullptr, B::AcceptRole}};
    }
}

QMessageBox::Icon IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

QWidget* ParentFor(HWND owner) {
    if (const MessageWindow* window = MessageWindow::FromHwnd(owner); window && window->Widget()) {
        return window->Widget()->window();
    }
    return QApplication::activeWindow();
}

}  // namespace

int ShowQtMessageBox(const MessageBoxRequest& request) {
    QMessageBox box(ParentFor(request.owner));
    box.setWindowTitle(QString::fromUtf8(request.caption.data(), static_cast<int>(request.caption.size())));
    // Plain text: file names must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromUtf8(request.text.data(), static_cast<int>(request.text.size())));
    box.setIcon(IconOf(request.type));
    if (request.type & (MB_TOPMOST | MB_SYSTEMMODAL)) box.setWindowFlag(Qt::WindowStaysOnTopHint);

    const std::vector<ButtonSpec> specs = ButtonsOf(request.type);
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    for (const ButtonSpec& spec : specs) {
        QAbstractButton* button = spec.standard != QMessageBox::NoButton
                                      ? static_cast<QAbstractButton*>(box.addButton(spec.standard))
                                      : box.addButton(QString::fromUtf8(spec.text), spec.role);
        buttons.emplace_back(button, spec.id);
        if (spec.id == IDCANCEL || specs.size() == 1) box.setEscapeButton(button);
    }
    const std::size_t defaultIndex = (request.type & MB_DEFMASK) >> 8;
    if (defaultIndex < buttons.size()) {
        if (auto* push = qobject_cast<QPushButton*>(buttons[defaultIndex].first)) box.setDefaultButton(push);
    }

    box.exec();
    for (const auto& [button, id] : buttons) {
        if (button == box.clickedButton()) return id;
    }
    // Closed without a button: what Escape would have chosen.
    for (const ButtonSpec& spec : specs) {
        if (spec.id == IDCANCEL) return IDCANCEL;
    }
    return specs.size() == 1 ? specs.front().id : 0;
}

}  // namespace plat
