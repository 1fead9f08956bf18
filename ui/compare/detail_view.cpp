#include "ui/compare/detail_view.h"

#include <QResizeEvent>

#include "ui/compare/detail_list_box.h"

CDetailView::CDetailView(QWidget* parent) : QWidget(parent), plat::View(this), listBox_(new CDetailListBox(this)) {}

void CDetailView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    listBox_->setGeometry(rect());
}
