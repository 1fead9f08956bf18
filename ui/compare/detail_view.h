#pragma once
// One pane of the compare window: a view that holds its pane list and gives it all its room.

#include <QWidget>

#include "platform/qt/view.h"

class CDetailListBox;

class CDetailView : public QWidget, public plat::View {
public:
    explicit CDetailView(QWidget* parent = nullptr);

    CDetailListBox& ListBox() const { return *listBox_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CDetailListBox* listBox_;  // a child widget
};
