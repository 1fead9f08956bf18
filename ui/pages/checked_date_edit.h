#pragma once
// A date picker with a check box in front: unchecked, the picker holds no date (greyed,
// its date kept for when the box is ticked again).

#include <QDate>
#include <QWidget>

class QCheckBox;
class QDateEdit;

class CheckedDateEdit : public QWidget {
    Q_OBJECT
public:
    explicit CheckedDateEdit(QWidget* parent = nullptr);

    bool IsChecked() const;
    void SetChecked(bool checked);
    QDate Date() const;
    void SetDate(const QDate& date);
    void SetDateRange(const QDate& first, const QDate& last);

    QCheckBox* CheckBox() const { return box_; }
    QDateEdit* DateEdit() const { return edit_; }

private:
    QCheckBox* box_;
    QDateEdit* edit_;
};
