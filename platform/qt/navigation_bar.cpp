#include "platform/qt/navigation_bar.h"

#include <QButtonGroup>
#include <QPropertyAnimation>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/qt/frame_window.h"
#include "platform/qt/qt_text.h"

namespace plat {

namespace {

constexpr int kSlideMs = 150;
constexpr int kPageImage = 32;

}  // namespace

NavigationTabs::NavigationTabs(QWidget* parent, UINT id)
    : QWidget(parent), id_(id), pages_(new QStackedWidget(this)), group_(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(pages_, 1);
    buttons_ = new QVBoxLayout;
    buttons_->setSpacing(1);
    layout->addLayout(buttons_);
    group_->setExclusive(true);
    connect(group_, &QButtonGroup::idClicked, this, [this](int index) { SetActivePage(index); });
}

int NavigationTabs::AddPage(std::string text, int image, QWidget* page) {
    const int index = pages_->addWidget(page);
    auto* button = new QToolButton(this);
    button->setText(ToQString(text));
    button->setCheckable(true);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIconSize(QSize(kPageImage, kPageImage));
    if (image >= 0 && image < static_cast<int>(images_.size())) button->setIcon(images_[image]);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    buttons_->addWidget(button);
    group_->addButton(button, index);
    if (index == 0) button->setChecked(true);
    return index;
}

QWidget* NavigationTabs::Page(int index) const { return pages_->widget(index); }

QWidget* NavigationTabs::PageButton(int index) const { return group_->button(index); }

int NavigationTabs::ActivePage() const { return pages_->currentIndex(); }

bool NavigationTabs::SetActivePage(int index) {
    if (index < 0 || index >= pages_->count()) return false;
    if (QAbstractButton* button = group_->button(index)) button->setChecked(true);
    QWidget* page = pages_->widget(index);
    pages_->setCurrentIndex(index);
    if (animate_ && isVisible()) Slide(page);
    // The frame hears of it from its own tab control, whoever chose the page.
    for (QWidget* up = parentWidget(); up; up = up->parentWidget()) {
        if (auto* frame = dynamic_cast<FrameWindow*>(up)) {
            SendMessage(frame->GetSafeHwnd(), kTabChangedMessage, static_cast<WPARAM>(index), static_cast<LPARAM>(id_));
            break;
        }
    }
    return true;
}

void NavigationTabs::Slide(QWidget* page) {
    auto* slide = new QPropertyAnimation(page, "pos", page);
    slide->setDuration(kSlideMs);
    slide->setStartValue(QPoint(0, pages_->height() / 3));
    slide->setEndValue(QPoint(0, 0));
    slide->setEasingCurve(QEasingCurve::OutCubic);
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

NavigationBar::NavigationBar() { MapMessage(WM_SIZE, &NavigationBar::OnSize); }

bool NavigationBar::Create(std::string_view text, FrameWindow* frame, UINT id, int width, UINT tabsId) {
    tabs_ = new NavigationTabs(Client(), tabsId);
    tabs_->SetImages(images_);
    if (!DockablePane::Create(text, frame, id, QSize(width, width), Qt::LeftDockWidgetArea)) return false;
    tabs_->setGeometry(Client()->rect());
    return true;
}

void NavigationBar::SetImages(std::vector<QPixmap> large) {
    images_ = std::move(large);
    if (tabs_) tabs_->SetImages(images_);
}

LRESULT NavigationBar::OnSize(WPARAM, LPARAM) {
    if (tabs_) tabs_->setGeometry(Client()->rect());
    return 0;
}

}  // namespace plat
