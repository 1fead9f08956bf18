#include "ui/pages/editable_list.h"

#include <QHeaderView>

#include "controls/window_theme.h"
#include "foundation/program_state.h"

EditableList::EditableList(int id, QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QString::number(id));
    setColumnCount(1);
    setHeaderLabels({QString()});
    setHeaderHidden(true);
    setColumnWidth(0, kColumnWidth);
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    QFont listFont(QStringLiteral("Arial Unicode MS"));
    listFont.setPixelSize(11);
    setFont(listFont);
    ApplyWindowTheme(this, L"Explorer", nullptr, ProgramState().windowsVersionClass);
    connect(this, &QTreeWidget::itemChanged, this, [this] { emit ItemEdited(); });
}

void EditableList::SetItems(const std::vector<std::wstring>& items) {
    const QSignalBlocker quiet(this);
    clear();
    for (const std::wstring& text : items) AppendItem(text, false);
}

std::vector<std::wstring> EditableList::Items() const {
    std::vector<std::wstring> items;
    items.reserve(static_cast<size_t>(topLevelItemCount()));
    for (int i = 0; i < topLevelItemCount(); ++i) items.push_back(topLevelItem(i)->text(0).toStdWString());
    return items;
}

QTreeWidgetItem* EditableList::AppendItem(const std::wstring& text, bool edit) {
    QTreeWidgetItem* item = nullptr;
    {
        const QSignalBlocker quiet(this);
        item = new QTreeWidgetItem(this);
        item->setText(0, QString::fromStdWString(text));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    if (edit) {
        scrollToItem(item);
        setCurrentItem(item);
        editItem(item, 0);
    }
    return item;
}

int EditableList::RemoveSelected() {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    for (QTreeWidgetItem* item : selected) delete item;
    return static_cast<int>(selected.size());
}
