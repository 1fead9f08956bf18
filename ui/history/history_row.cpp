#include "ui/history/history_row.h"

#include "platform/qt/qt_text.h"
#include "ui/history/history_texts.h"
#include "ui/history/list_time_text.h"

HistoryRow::HistoryRow(const HistoryRecord& record)
    : taskName_(plat::ToQString(record.taskName)),
      command_(HistoryCommandText(record.type)),
      comments_(HistoryComments(record)),
      start_(FileTimeToU64(record.start)),
      finish_(FileTimeToU64(record.end)) {
    const HistoryLabel from = HistoryFromLabel(record.startSource);
    const HistoryLabel status = HistoryStatusLabel(record.status);
    from_ = from.text;
    status_ = status.text;
    SetImage(kTask, HistoryTypeImage(record.type));
    SetImage(kFrom, from.image);
    SetImage(kStatus, status.image);
}

QString HistoryRow::Text(int column) const {
    switch (column) {
    case kStart: return FormatListTime(U64ToFileTime(start_));
    case kFinish: return FormatListTime(U64ToFileTime(finish_));
    default: return StoredText(column);
    }
}

const QString& HistoryRow::StoredText(int column) const {
    static const QString none;
    switch (column) {
    case kTask: return taskName_;
    case kCommand: return command_;
    case kFrom: return from_;
    case kStatus: return status_;
    case kComments: return comments_;
    default: return none;
    }
}

QVariant HistoryRow::data(int column, int role) const {
    if (role == Qt::DisplayRole) return Text(column);
    return ReportRow::data(column, role);
}

int CompareHistoryRows(const HistoryRow& a, const HistoryRow& b, int column) {
    switch (column) {
    case HistoryRow::kStart: return a.Start() < b.Start() ? -1 : a.Start() > b.Start() ? 1 : 0;
    case HistoryRow::kFinish: return a.Finish() < b.Finish() ? -1 : a.Finish() > b.Finish() ? 1 : 0;
    case HistoryRow::kComments: return a.StoredText(column).compare(b.StoredText(column), Qt::CaseSensitive);
    default: return a.StoredText(column).compare(b.StoredText(column), Qt::CaseInsensitive);
    }
}
