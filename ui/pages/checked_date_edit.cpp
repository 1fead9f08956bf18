#include "ui/pages/checked_date_edit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>

CheckedDateEdit::CheckedDateEdit(QWidget* parent)
    : QWidget(parent), box_(new QCheckBox(this)), edit_(new QDateEdit(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(box_);
    layout->addWidget(edit_, 1);
    edit_->setCalendarPopup(true);
    setFocusProxy(box_);
    connect(box_, &QCheckBox::toggled, edit_, &QWidget::setEnabled);
    edit_->setEnabled(false);
}

bool CheckedDateEdit::IsChecked() const { return box_->isChecked(); }

void CheckedDateEdit::SetChecked(bool checked) {
    box_->setChecked(checked);
    edit_->setEnabled(checked);
}

QDate CheckedDateEdit::Date() const { return edit_->date(); }
void CheckedDateEdit::SetDate(const QDate& date) { edit_->setDate(date); }
void CheckedDateEdit::SetDateRange(const QDate& first, const QDate& last) { edit_->setDateRange(first, last); }
