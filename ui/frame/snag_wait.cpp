#include "ui/frame/snag_wait.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/qt/qt_text.h"
#include "resources/control_ids.h"
#include "resources/sync_messages.h"

CSnagWait::CSnagWait(const std::string& text, const std::string& title, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), plat::MessageWindow(this) {
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel(plat::ToQString(text), this);
    text_->setObjectName(QString::number(IDC_WAIT_TEXT));
    text_->setWordWrap(true);
    text_->setMinimumWidth(400);
    auto* progress = new QProgressBar(this);
    progress->setObjectName(QString::number(IDC_WAIT_PROGRESS));
    progress->setRange(0, 0);  // busy: the wait has no known end
    progress->setTextVisible(false);
    layout->addWidget(text_);
    layout->addWidget(progress);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (!title.empty()) setWindowTitle(plat::ToQString(title));
    MapMessage(WM_SYNC_LOG_LINE, &CSnagWait::OnLogLine);
}

void CSnagWait::ShowNow() {
    adjustSize();
    const QWidget* over = parentWidget() && parentWidget()->isVisible() ? parentWidget() : nullptr;
    const QRect area =
        over ? over->frameGeometry() : (screen() ? screen()->availableGeometry() : QRect(0, 0, width(), height()));
    move(area.center() - rect().center());
    show();
    raise();
    repaint();
}

std::string CSnagWait::Text() const { return text_->text().toStdString(); }

LRESULT CSnagWait::OnLogLine(WPARAM text, LPARAM) {
    if (text) text_->setText(plat::ToQString(reinterpret_cast<const char*>(text)));
    repaint();
    QApplication::processEvents();
    return 0;
}

// The window goes when the wait is over, never at the user's word.
void CSnagWait::closeEvent(QCloseEvent* event) { event->ignore(); }

void CSnagWait::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}
