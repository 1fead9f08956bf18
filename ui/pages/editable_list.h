#pragma once
// The one-column lists of the option pages (filter patterns, preferred folders): one item
// per entry, several may be selected, and a click on an item that is already selected
// (or F2) edits its text in place. Every edit is taken as typed.

#include <QTreeWidget>
#include <string>
#include <vector>

class EditableList : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kColumnWidth = 1600;

    EditableList(int id, QWidget* parent);

    void SetItems(const std::vector<std::wstring>& items);
    std::vector<std::wstring> Items() const;
    // A few entries high, so that two lists and their boxes fit a page.
    QSize sizeHint() const override { return {320, 120}; }

    // Appends an item; with `edit` the list scrolls to it and its editing starts.
    QTreeWidgetItem* AppendItem(const std::wstring& text, bool edit);
    // Removes every selected item; returns how many went.
    int RemoveSelected();

signals:
    // An item's text was changed in place.
    void ItemEdited();
};
