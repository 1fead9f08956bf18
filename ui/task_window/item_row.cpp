#include "ui/task_window/item_row.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

#include "engine/actions/action_support.h"
#include "engine/model/item_display.h"
#include "engine/model/item_texts.h"
#include "foundation/resource_strings.h"
#include "foundation/size_text.h"
#include "platform/core/file_time.h"
#include "platform/core/text.h"

namespace {

bool IsFolderAttribute(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// The last component of a path, without a trailing '/'.
std::wstring NameOfPath(std::wstring_view path) {
    while (path.size() > 1 && path.back() == L'/') path.remove_suffix(1);
    const auto slash = path.find_last_of(L'/');
    return std::wstring(slash == std::wstring_view::npos || path.size() == 1 ? path : path.substr(slash + 1));
}

}  // namespace

ItemCopies ReadItemCopies(const CFileInfo& record) {
    const ItemState state = record.state;
    ItemCopy own{record.path(), IsFolderAttribute(record.attributes), record.size, record.lastWrite};
    ItemCopy other{record.counterpartPath(), IsFolderAttribute(record.counterpartAttributes), record.counterpartSize,
                   record.counterpartLastWrite};
    ItemCopies copies;
    copies.ownPath = record.path();
    copies.ownIsFolder = own.folder;
    const bool ownIsTarget = state.IsTargetOnly();
    copies.source = ownIsTarget ? std::move(other) : std::move(own);
    copies.target = ownIsTarget ? std::move(own) : std::move(other);
    // The scan marks where an item is only for the items it includes: an excluded item is
    // wherever the record holds a path for it.
    const bool excluded = state.IsExcluded();
    if ((!excluded && !state.IsOnSource()) || state.IsSourceDeletedByUser()) copies.source.path.clear();
    if ((!excluded && !state.IsOnTarget()) || state.IsTargetDeletedByUser()) copies.target.path.clear();
    return copies;
}

std::wstring FormatItemTime(LONGLONG utcSeconds) {
    ItemTimeTexts texts;
    return texts.Format(utcSeconds);
}

std::wstring ItemTimeTexts::Format(LONGLONG utcSeconds) {
    constexpr LONGLONG kDay = 86400;
    // The local time read as if it were UTC: its day and its second of that day.
    const LONGLONG local = plat::UtcToLocalSeconds(utcSeconds);
    const LONGLONG day = local >= 0 ? local / kDay : -((-local + kDay - 1) / kDay);
    const LONGLONG second = local - day * kDay;
    if (dates_.size() + times_.size() > 200000) {
        dates_.clear();
        times_.clear();
    }
    auto date = dates_.find(day);
    if (date == dates_.end()) {
        const QDate shown = QDateTime::fromSecsSinceEpoch(day * kDay, QTimeZone::utc()).date();
        date = dates_.emplace(day, QLocale::system().toString(shown, QLocale::ShortFormat).toStdWString()).first;
    }
    auto time = times_.find(second);
    if (time == times_.end()) {
        const QTime shown = QTime::fromMSecsSinceStartOfDay(static_cast<int>(second * 1000));
        time = times_.emplace(second, QLocale::system().toString(shown, QLocale::ShortFormat).toStdWString()).first;
    }
    std::wstring text;
    text.reserve(date->second.size() + 1 + time->second.size());
    text.append(date->second).append(1, L' ').append(time->second);
    return text;
}

ItemRowCells MakeItemRowCells(const CFileInfo& record, bool swapped, ItemTimeTexts& times) {
    const ItemState state = record.state;
    ItemCopies copies = ReadItemCopies(record);
    ItemRowCells cells;
    cells.name = NameOfPath(copies.ownPath);

    ItemCopy& left = swapped ? copies.target : copies.source;
    ItemCopy& right = swapped ? copies.source : copies.target;
    const ItemCopy* sides[2] = {&left, &right};
    for (int side = 0; side < 2; ++side) {
        const ItemCopy& copy = *sides[side];
        if (copy.path.empty()) {
            cells.size[side] = cells.date[side] = LoadResStringW(IDS_NOT_EXISTS);
        } else if (copy.folder) {
            cells.size[side] = cells.date[side] = LoadResStringW(IDS_FOLDER);
        } else {
            cells.size[side] = plat::Utf8ToWide(FormatSizeText(copy.size));
            cells.date[side] = times.Format(copy.lastWrite);
        }
    }

    cells.action = plat::Utf8ToWide(GetItemActionText(state, swapped));
    cells.actionImage = GetActionImageIndex(state.Word(), swapped);

    const std::string_view remark = GetItemStatusText(state);
    if (state.Has(ItemState::kError | ItemState::kBackupError) && record.failure() != 0) {
        // Why it failed comes before any remark on what was to be done.
        cells.status = ActionErrorText(record.failure());
        cells.statusImage = kStatusRemarkImage;
    } else if (!remark.empty()) {
        cells.status = plat::Utf8ToWide(remark);
        cells.statusImage = kStatusRemarkImage;
    } else if (state.IsDone() && state.Has(ItemState::kDeleteRight | ItemState::kDeleteLeft)) {
        cells.status = LoadResStringW(IDS_DELETED);
        cells.statusImage = kStatusDeletedImage;
    }

    cells.data.leftPath = plat::WideToUtf8(left.path);
    cells.data.rightPath = plat::WideToUtf8(right.path);
    cells.data.state = state.Word();
    cells.data.savedState = record.savedState;
    cells.data.folder = copies.ownIsFolder ? 1 : 0;
    return cells;
}
