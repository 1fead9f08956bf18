#pragma once
// One row of the history view: the texts and times of one history record. The row owns
// them, so they go when the row goes.

#include <QString>

#include "foundation/history_record.h"
#include "ui/history/report_list.h"

class HistoryRow : public ReportRow {
public:
    enum Column { kTask, kCommand, kStart, kFinish, kFrom, kStatus, kComments, kColumnCount };

    explicit HistoryRow(const HistoryRecord& record);

    // The cell's text; Start and Finish are made from the times when they are shown.
    QString Text(int column) const;
    // The stored text of a text column (an empty text for Start and Finish).
    const QString& StoredText(int column) const;
    ULONGLONG Start() const { return start_; }
    ULONGLONG Finish() const { return finish_; }

    QVariant data(int column, int role) const override;

private:
    QString taskName_;
    QString from_;
    QString command_;
    QString status_;
    QString comments_;
    ULONGLONG start_;
    ULONGLONG finish_;
};

// How the view orders two rows by `column`: Start and Finish by time, Comments by text
// with case, the others by text without case. Negative when a comes first.
int CompareHistoryRows(const HistoryRow& a, const HistoryRow& b, int column);
