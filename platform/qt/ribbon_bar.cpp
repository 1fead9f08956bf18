#include "platform/qt/ribbon_bar.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>
#include <algorithm>

#include "platform/qt/frame_window.h"
#include "platform/qt/idle_update.h"
#include "platform/qt/popup_menu.h"
#include "platform/qt/qt_text.h"
#include "resources/string_table.h"

namespace plat {

namespace {

constexpr int kSmallRows = 3;  // small elements stand in columns of three
constexpr int kSmallIcon = 16;
constexpr int kLargeIcon = 32;

// A check box whose check comes only from its command's update.
class RibbonCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
};

// The application button: its image changes under the mouse and while pressed.
class ApplicationButton : public QToolButton {
public:
    explicit ApplicationButton(QWidget* parent) : QToolButton(parent) {
        setPopupMode(InstantPopup);
        setAutoRaise(true);
        setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    }
    void SetImages(const QPixmap& normal, const QPixmap& hot, const QPixmap& pressed) {
        normal_ = normal;
        hot_ = hot.isNull() ? normal : hot;
        pressed_ = pressed.isNull() ? hot_ : pressed;
        setFixedSize(normal_.deviceIndependentSize().toSize() + QSize(6, 6));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QPixmap& image = isDown() ? pressed_ : underMouse() ? hot_ : normal_;
        const QSize size = image.deviceIndependentSize().toSize();
        painter.drawPixmap((width() - size.width()) / 2, (height() - size.height()) / 2, image);
    }

private:
    QPixmap normal_, hot_, pressed_;
};

// The caption at the head of a sub-menu: a heading in the menu's own text colour, though
// its action is disabled so that it can never be chosen.
class MenuCaption : public QWidget {
public:
    MenuCaption(QString text, QWidget* parent) : QWidget(parent), text_(std::move(text)) {
        QFont bold = font();
        bold.setBold(true);
        setFont(bold);
    }
    QSize sizeHint() const override {
        return QSize(fontMetrics().horizontalAdvance(text_) + 24, fontMetrics().height() + 8);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Active, QPalette::AlternateBase));
        painter.setPen(palette().color(QPalette::Active, QPalette::Text));
        painter.drawText(rect().adjusted(8, 0, -8, 0), Qt::AlignLeft | Qt::AlignVCenter, text_);
    }

private:
    QString text_;
};

QString TooltipOf(const RibbonElement& element) {
    QString tip;
    if (!element.tooltip.empty()) {
        tip = ToQString(element.tooltip);
    } else if (const auto text = res::FindString(element.id)) {
        const std::size_t lineBreak = text->find('\n');
        tip = ToQString(lineBreak == std::string_view::npos ? *text : text->substr(lineBreak + 1));
    } else {
        tip = ToQString(element.text).remove(QRegularExpression(QStringLiteral("&(?!&)")));
    }
    if (!element.description.empty()) tip += QLatin1Char('\n') + ToQString(element.description);
    return tip;
}

}  // namespace

RibbonElement RibbonElement::Button(std::string text, UINT id, int image, bool large) {
    return {Kind::Button, std::move(text), id, image, large ? image : -1, {}, {}, {}};
}
RibbonElement RibbonElement::CheckBox(std::string text, UINT id) {
    return {Kind::CheckBox, std::move(text), id, -1, -1, {}, {}, {}};
}
RibbonElement RibbonElement::Menu(std::string text, UINT id, int image, std::span<const res::MenuItem> items,
                                  bool large) {
    return {Kind::MenuButton, std::move(text), id, image, large ? image : -1, items, {}, {}};
}
RibbonElement RibbonElement::Separator() { return {}; }

RibbonMenuEntry RibbonMenuEntry::Command(std::string text, UINT id, int image) {
    return {Kind::Command, std::move(text), id, image, {}, {}};
}
RibbonMenuEntry RibbonMenuEntry::Separator() { return {}; }
RibbonMenuEntry RibbonMenuEntry::SubMenu(std::string text, UINT id, int image, std::string label,
                                         std::span<const res::MenuItem> items) {
    return {Kind::SubMenu, std::move(text), id, image, std::move(label), items};
}

struct RibbonBar::Panel {
    std::vector<RibbonElement> elements;
    std::vector<QWidget*> widgets;
    QFrame* box = nullptr;
    QGridLayout* grid = nullptr;
};

struct RibbonBar::Category {
    std::vector<std::unique_ptr<Panel>> panels;
    QWidget* page = nullptr;
    QHBoxLayout* layout = nullptr;
    bool compact = false;
    int largeWidth = 0;  // the width the category needs with its large elements
};

class RibbonBar::Updater : public CommandUser {
public:
    explicit Updater(RibbonBar& ribbon) : ribbon_(ribbon) {}
    void UpdateCommandUI() override { ribbon_.UpdateStates(); }

private:
    RibbonBar& ribbon_;
};

RibbonBar::RibbonBar(FrameWindow* frame) : QWidget(frame), frame_(frame) {
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);

    quickBar_ = new QWidget(this);
    quickLayout_ = new QHBoxLayout(quickBar_);
    quickLayout_->setContentsMargins(4, 1, 4, 1);
    quickLayout_->setSpacing(1);
    quickArrow_ = new QToolButton(quickBar_);
    quickArrow_->setArrowType(Qt::DownArrow);
    quickArrow_->setAutoRaise(true);
    quickArrow_->setToolTip(QStringLiteral("Customize Quick Access Toolbar"));
    quickLayout_->addWidget(quickArrow_);
    quickLayout_->addStretch(1);
    connect(quickArrow_, &QToolButton::clicked, this, [this] {
        const std::unique_ptr<QMenu> menu = QuickAccessMenu();
        menu->exec(quickArrow_->mapToGlobal(QPoint(0, quickArrow_->height())));
    });

    tabRow_ = new QWidget(this);
    tabRowLayout_ = new QHBoxLayout(tabRow_);
    tabRowLayout_->setContentsMargins(2, 2, 4, 0);
    tabRowLayout_->setSpacing(4);
    tabs_ = new QTabBar(tabRow_);
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    tabs_->setUsesScrollButtons(true);
    tabs_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    tabRowLayout_->addWidget(tabs_, 0, Qt::AlignBottom);
    tabRowLayout_->addStretch(1);
    rightLayout_ = new QHBoxLayout;
    rightLayout_->setSpacing(1);
    tabRowLayout_->addLayout(rightLayout_);

    pages_ = new QStackedWidget(this);
    pages_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout_->addWidget(quickBar_);
    layout_->addWidget(tabRow_);
    layout_->addWidget(pages_);

    dropDown_ = new QFrame(this, Qt::Popup);
    static_cast<QFrame*>(dropDown_)->setFrameShape(QFrame::StyledPanel);
    auto* dropLayout = new QVBoxLayout(dropDown_);
    dropLayout->setContentsMargins(1, 1, 1, 1);
    dropDown_->installEventFilter(this);

    connect(tabs_, &QTabBar::currentChanged, pages_, &QStackedWidget::setCurrentIndex);
    connect(tabs_, &QTabBar::tabBarClicked, this, &RibbonBar::OnTabClicked);
    connect(tabs_, &QTabBar::tabBarDoubleClicked, this, &RibbonBar::OnTabDoubleClicked);
    frame->setMenuWidget(this);
    updater_ = std::make_unique<Updater>(*this);
}

RibbonBar::~RibbonBar() = default;

void RibbonBar::SetImages(std::vector<QPixmap> small, std::vector<QPixmap> large) {
    small_ = std::move(small);
    large_ = std::move(large);
}

QPixmap RibbonBar::SmallImage(int index) const {
    return index >= 0 && index < static_cast<int>(small_.size()) ? small_[index] : QPixmap();
}

QPixmap RibbonBar::LargeImage(int index) const {
    return index >= 0 && index < static_cast<int>(large_.size()) ? large_[index] : QPixmap();
}

void RibbonBar::SetApplicationButton(const QPixmap& normal, const QPixmap& hot, const QPixmap& pressed,
                                     std::string tooltip) {
    if (!appButton_) {
        auto* button = new ApplicationButton(tabRow_);
        appButton_ = button;
        tabRowLayout_->insertWidget(0, button, 0, Qt::AlignVCenter);
    }
    static_cast<ApplicationButton*>(appButton_)->SetImages(normal, hot, pressed);
    appButton_->setToolTip(ToQString(tooltip));
}

void RibbonBar::SetApplicationMenu(std::vector<RibbonMenuEntry> entries) {
    if (!appButton_) SetApplicationButton({}, {}, {}, {});
    delete appMenu_;
    appMenu_ = new QMenu(appButton_);
    const HWND owner = frame_->GetSafeHwnd();
    connect(appMenu_, &QMenu::aboutToShow, appMenu_, [this, owner] { UpdateMenuItems(appMenu_, owner); });
    for (const RibbonMenuEntry& entry : entries) {
        if (entry.kind == RibbonMenuEntry::Kind::Separator) {
            appMenu_->addSeparator();
        } else if (entry.kind == RibbonMenuEntry::Kind::Command) {
            QAction* action = appMenu_->addAction(SmallImage(entry.image), ToQString(entry.text));
            action->setData(entry.id);
            const UINT id = entry.id;
            connect(action, &QAction::triggered, this, [this, id] { Raise(id); });
        } else {
            QMenu* sub = appMenu_->addMenu(SmallImage(entry.image), ToQString(entry.text));
            auto* labelAction = new QWidgetAction(sub);
            labelAction->setDefaultWidget(new MenuCaption(ToQString(entry.label), sub));
            labelAction->setEnabled(false);  // a caption, never chosen
            sub->addAction(labelAction);
            sub->addSeparator();
            AddCommandItems(sub, entry.items, owner);
        }
    }
    appButton_->setMenu(appMenu_);
}

QMenu* RibbonBar::ApplicationMenu() const { return appMenu_; }

int RibbonBar::AddCategory(std::string text) {
    auto category = std::make_unique<Category>();
    category->page = new QWidget(pages_);
    category->layout = new QHBoxLayout(category->page);
    category->layout->setContentsMargins(4, 3, 4, 3);
    category->layout->setSpacing(4);
    category->layout->addStretch(1);
    pages_->addWidget(category->page);
    tabs_->addTab(ToQString(text));
    categories_.push_back(std::move(category));
    return static_cast<int>(categories_.size()) - 1;
}

int RibbonBar::AddPanel(int category, std::string caption) {
    if (category < 0 || category >= static_cast<int>(categories_.size())) return -1;
    Category& owner = *categories_[category];
    auto panel = std::make_unique<Panel>();
    panel->box = new QFrame(owner.page);
    panel->box->setFrameShape(QFrame::StyledPanel);
    auto* boxLayout = new QVBoxLayout(panel->box);
    boxLayout->setContentsMargins(3, 2, 3, 1);
    boxLayout->setSpacing(1);
    panel->grid = new QGridLayout;
    panel->grid->setSpacing(1);
    boxLayout->addLayout(panel->grid, 1);
    auto* label = new QLabel(ToQString(caption), panel->box);
    label->setAlignment(Qt::AlignCenter);
    label->setForegroundRole(QPalette::WindowText);
    boxLayout->addWidget(label);
    owner.layout->insertWidget(owner.layout->count() - 1, panel->box);  // before the stretch
    owner.panels.push_back(std::move(panel));
    return static_cast<int>(owner.panels.size()) - 1;
}

QWidget* RibbonBar::MakeElementWidget(const RibbonElement& element, bool large, QWidget* parent) {
    if (element.kind == RibbonElement::Kind::Separator) {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        return line;
    }
    QWidget* widget = nullptr;
    const UINT id = element.id;
    if (element.kind == RibbonElement::Kind::CheckBox) {
        auto* box = new RibbonCheckBox(ToQString(element.text), parent);
        connect(box, &QCheckBox::clicked, this, [this, id] { Raise(id); });
        widget = box;
    } else {
        auto* button = new QToolButton(parent);
        button->setAutoRaise(true);
        button->setText(ToQString(element.text));
        const bool showLarge = large && element.largeImage >= 0;
        button->setToolButtonStyle(showLarge ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonTextBesideIcon);
        button->setIconSize(showLarge ? QSize(kLargeIcon, kLargeIcon) : QSize(kSmallIcon, kSmallIcon));
        button->setIcon(showLarge ? LargeImage(element.largeImage) : SmallImage(element.smallImage));
        if (showLarge) button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
        if (element.kind == RibbonElement::Kind::MenuButton) {
            button->setMenu(MakeCommandMenu(element.menu, frame_->GetSafeHwnd(), button));
            button->setPopupMode(QToolButton::InstantPopup);
            connect(button->menu(), &QMenu::triggered, this, [this] { CloseDropDown(); });
        } else {
            connect(button, &QToolButton::clicked, this, [this, id] { Raise(id); });
        }
        widget = button;
    }
    widget->setToolTip(TooltipOf(element));
    widget->setProperty("qbCommand", element.id);
    return widget;
}

void RibbonBar::AddElement(int category, int panel, RibbonElement element) {
    if (category < 0 || category >= static_cast<int>(categories_.size())) return;
    Category& owner = *categories_[category];
    if (panel < 0 || panel >= static_cast<int>(owner.panels.size())) return;
    Panel& target = *owner.panels[panel];
    target.widgets.push_back(MakeElementWidget(element, !owner.compact, target.box));
    target.elements.push_back(std::move(element));
    LayoutPanel(target, !owner.compact);
    owner.largeWidth = 0;  // measured again on the next layout
}

void RibbonBar::AddTabRowElement(RibbonElement element) {
    QWidget* widget = MakeElementWidget(element, false, tabRow_);
    if (auto* button = qobject_cast<QToolButton*>(widget); button && element.kind == RibbonElement::Kind::Button) {
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);  // its text is the tooltip
    }
    rightLayout_->addWidget(widget);
    tabRowElements_.emplace_back(std::move(element), widget);
}

void RibbonBar::LayoutPanel(Panel& panel, bool large) {
    while (panel.grid->count() > 0) delete panel.grid->takeAt(0);
    int column = 0;
    int row = 0;
    for (std::size_t i = 0; i < panel.elements.size(); ++i) {
        const RibbonElement& element = panel.elements[i];
        QWidget* widget = panel.widgets[i];
        const bool standsAlone = element.kind == RibbonElement::Kind::Separator || (large && element.largeImage >= 0);
        if (auto* button = qobject_cast<QToolButton*>(widget)) {
            const bool showLarge = large && element.largeImage >= 0;
            button->setToolButtonStyle(showLarge ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonTextBesideIcon);
            button->setIconSize(showLarge ? QSize(kLargeIcon, kLargeIcon) : QSize(kSmallIcon, kSmallIcon));
            button->setIcon(showLarge ? LargeImage(element.largeImage) : SmallImage(element.smallImage));
            button->setSizePolicy(QSizePolicy::Preferred, showLarge ? QSizePolicy::Expanding : QSizePolicy::Preferred);
        }
        if (standsAlone) {
            if (row > 0) ++column;
            panel.grid->addWidget(widget, 0, column, kSmallRows, 1);
            ++column;
            row = 0;
        } else {
            panel.grid->addWidget(widget, row, column, Qt::AlignLeft | Qt::AlignVCenter);
            if (++row == kSmallRows) {
                row = 0;
                ++column;
            }
        }
    }
}

void RibbonBar::LayoutCategory(Category& category) {
    for (auto& panel : category.panels) LayoutPanel(*panel, !category.compact);
    category.page->updateGeometry();
}

void RibbonBar::RecalcLayout() {
    FitCategories();
    if (layout()) layout()->activate();
    frame_->RecalcLayout();
}

void RibbonBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitCategories();
}

void RibbonBar::FitCategories() {
    // A category that does not fit with its large elements shows them all small.
    const int available = width();
    for (auto& category : categories_) {
        if (category->largeWidth == 0) {
            if (category->compact) {
                category->compact = false;
                LayoutCategory(*category);
            }
            category->page->layout()->activate();
            category->largeWidth = category->page->sizeHint().width();
        }
        const bool compact = available > 0 && category->largeWidth > available;
        if (compact != category->compact) {
            category->compact = compact;
            LayoutCategory(*category);
        }
    }
}

QWidget* RibbonBar::FindElement(UINT id) const {
    for (const auto& category : categories_) {
        for (const auto& panel : category->panels) {
            for (std::size_t i = 0; i < panel->elements.size(); ++i) {
                if (panel->elements[i].id == id && panel->elements[i].kind != RibbonElement::Kind::Separator) {
                    return panel->widgets[i];
                }
            }
        }
    }
    for (const auto& [element, widget] : tabRowElements_) {
        if (element.id == id) return widget;
    }
    for (QToolButton* button : quickButtons_) {
        if (button->property("qbCommand").toUInt() == id) return button;
    }
    return nullptr;
}

const RibbonElement* RibbonBar::ElementAt(int category, int panel, int index) const {
    if (category < 0 || category >= static_cast<int>(categories_.size())) return nullptr;
    const Category& owner = *categories_[category];
    if (panel < 0 || panel >= static_cast<int>(owner.panels.size())) return nullptr;
    const Panel& place = *owner.panels[panel];
    if (index < 0 || index >= static_cast<int>(place.elements.size())) return nullptr;
    return &place.elements[index];
}

QWidget* RibbonBar::ElementWidgetAt(int category, int panel, int index) const {
    if (!ElementAt(category, panel, index)) return nullptr;
    return categories_[category]->panels[panel]->widgets[index];
}

bool RibbonBar::ReplaceElement(int category, int panel, int index, RibbonElement element) {
    if (!ElementAt(category, panel, index)) return false;
    Category& owner = *categories_[category];
    Panel& place = *owner.panels[panel];
    QWidget* old = place.widgets[index];
    // The old element may be the one whose click is being handled: it goes later.
    old->hide();
    old->deleteLater();
    place.widgets[index] = MakeElementWidget(element, !owner.compact, place.box);
    place.elements[index] = std::move(element);
    LayoutPanel(place, !owner.compact);
    owner.largeWidth = 0;
    UpdateStates();
    return true;
}

void RibbonBar::SetActiveCategory(int category) { tabs_->setCurrentIndex(category); }

void RibbonBar::OnTabClicked(int index) {
    // The tab bar reports the double click that minimised the ribbon as a click too.
    if (!minimized_ || index < 0 ||
        (sinceDoubleClick_.isValid() && sinceDoubleClick_.elapsed() < QApplication::doubleClickInterval())) {
        return;
    }
    tabs_->setCurrentIndex(index);
    ShowDropDown();
}

void RibbonBar::OnTabDoubleClicked(int index) {
    if (index != tabs_->currentIndex()) return;
    sinceDoubleClick_.start();
    SetMinimized(!minimized_);
}

void RibbonBar::SetMinimized(bool minimized) {
    CloseDropDown();
    minimized_ = minimized;
    pages_->setVisible(!minimized);
    frame_->RecalcLayout();
}

bool RibbonBar::IsDroppedDown() const { return dropDown_->isVisible(); }

void RibbonBar::ShowDropDown() {
    dropDown_->layout()->addWidget(pages_);
    pages_->show();
    const QPoint below = tabRow_->mapToGlobal(QPoint(0, tabRow_->height()));
    dropDown_->setGeometry(QRect(below, QSize(width(), pages_->sizeHint().height() + 2)));
    dropDown_->show();
    UpdateStates();
}

void RibbonBar::CloseDropDown() {
    if (dropDown_->isVisible()) dropDown_->hide();  // the event filter puts the pages back
}

bool RibbonBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dropDown_ && event->type() == QEvent::Hide && pages_->parentWidget() == dropDown_) {
        layout_->insertWidget(layout_->indexOf(tabRow_) + 1, pages_);
        pages_->setVisible(!minimized_);
    }
    return QWidget::eventFilter(watched, event);
}

void RibbonBar::Raise(UINT id) {
    CloseDropDown();
    SendMessage(frame_->GetSafeHwnd(), WM_COMMAND, id, 0);
}

void RibbonBar::UpdateStates() {
    auto update = [this](const RibbonElement& element, QWidget* widget) {
        if (element.kind == RibbonElement::Kind::Separator || element.kind == RibbonElement::Kind::MenuButton) return;
        CmdUI ui(element.id);
        frame_->UpdateCommandUI(ui);
        widget->setEnabled(ui.IsEnabled());
        if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            box->setChecked(ui.Check() != 0);
        } else if (auto* button = qobject_cast<QToolButton*>(widget)) {
            button->setCheckable(ui.Check() != 0);
            button->setChecked(ui.Check() != 0);
        }
    };
    for (const auto& category : categories_) {
        for (const auto& panel : category->panels) {
            for (std::size_t i = 0; i < panel->elements.size(); ++i) update(panel->elements[i], panel->widgets[i]);
        }
    }
    for (const auto& [element, widget] : tabRowElements_) update(element, widget);
    for (QToolButton* button : quickButtons_) {
        CmdUI ui(button->property("qbCommand").toUInt());
        frame_->UpdateCommandUI(ui);
        button->setEnabled(ui.IsEnabled());
    }
}

// --- Quick-access toolbar ---------------------------------------------------------------

void RibbonBar::SetQuickAccessCommands(std::vector<QuickAccessCommand> offered) {
    offered_ = std::move(offered);
    shown_.clear();
    for (const QuickAccessCommand& command : offered_) {
        if (command.shown) shown_.push_back(command.id);
    }
    defaultShown_ = shown_;
    RebuildQuickAccess();
}

bool RibbonBar::SetQuickAccessShown(UINT id, bool shown) {
    const bool offered = std::any_of(offered_.begin(), offered_.end(), [id](const auto& c) { return c.id == id; });
    if (!offered) return false;
    const auto it = std::find(shown_.begin(), shown_.end(), id);
    if (shown && it == shown_.end()) shown_.push_back(id);
    if (!shown && it != shown_.end()) shown_.erase(it);
    RebuildQuickAccess();
    return true;
}

void RibbonBar::RebuildQuickAccess() {
    for (QToolButton* button : quickButtons_) {
        button->hide();
        button->deleteLater();  // it may be the button being clicked
    }
    quickButtons_.clear();
    int place = 0;
    for (UINT id : shown_) {
        const auto command = std::find_if(offered_.begin(), offered_.end(), [id](const auto& c) { return c.id == id; });
        auto* button = new QToolButton(quickBar_);
        button->setAutoRaise(true);
        button->setIconSize(QSize(kSmallIcon, kSmallIcon));
        button->setIcon(SmallImage(command->image));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setText(ToQString(command->text));
        button->setToolTip(TooltipOf(RibbonElement::Button(command->text, id, -1)));
        button->setProperty("qbCommand", id);
        connect(button, &QToolButton::clicked, this, [this, id] { Raise(id); });
        quickLayout_->insertWidget(place++, button);
        quickButtons_.push_back(button);
    }
    UpdateStates();
}

QWidget* RibbonBar::QuickAccessBar() const { return quickBar_; }

void RibbonBar::SetQuickAccessOnTop(bool onTop) {
    quickOnTop_ = onTop;
    PlaceQuickAccess();
}

void RibbonBar::PlaceQuickAccess() {
    layout_->removeWidget(quickBar_);
    if (quickOnTop_) {
        layout_->insertWidget(0, quickBar_);
    } else {
        layout_->addWidget(quickBar_);
    }
    frame_->RecalcLayout();
}

std::unique_ptr<QMenu> RibbonBar::QuickAccessMenu() {
    auto menu = std::make_unique<QMenu>(this);
    for (const QuickAccessCommand& command : offered_) {
        QAction* action = menu->addAction(ToQString(command.text));
        action->setData(command.id);
        action->setCheckable(true);
        action->setChecked(std::find(shown_.begin(), shown_.end(), command.id) != shown_.end());
        const UINT id = command.id;
        connect(action, &QAction::toggled, this, [this, id](bool on) { SetQuickAccessShown(id, on); });
    }
    menu->addSeparator();
    QAction* place = menu->addAction(quickOnTop_ ? QStringLiteral("Show Below the Ribbon")
                                                 : QStringLiteral("Show Above the Ribbon"));
    connect(place, &QAction::triggered, this, [this] { SetQuickAccessOnTop(!quickOnTop_); });
    QAction* minimize = menu->addAction(QStringLiteral("Minimize the Ribbon"));
    minimize->setCheckable(true);
    minimize->setChecked(minimized_);
    connect(minimize, &QAction::toggled, this, [this](bool on) { SetMinimized(on); });
    return menu;
}

}  // namespace plat
