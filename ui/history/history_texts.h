#pragma once
// What a history record shows in the history view: the command of its type, who started
// it, its result and a comment, each text with the image index (in the lists' strip) that
// goes with it. Plain rules, so they are tried without a window.

#include <QString>

#include "foundation/history_record.h"

struct HistoryLabel {
    QString text;
    int image = -1;
};

// The image of the Task cell, by record type.
int HistoryTypeImage(DWORD type);
// "Sync", "Check", ... by record type; empty for a type this program never writes.
QString HistoryCommandText(DWORD type);
// Who started a run: the program's user for 0, then "CONTAINER", "TIMER", "SCHEDULER",
// "AUTO START", and "AUTO CONNECT" for any other code.
HistoryLabel HistoryFromLabel(DWORD startSource);
// The result (the status word without its text-form mark).
HistoryLabel HistoryStatusLabel(DWORD status);
// Runs: the two folders by sync type and the options; changes: what changed or was
// deleted; renames, copies and imports: the other name. Empty for the rest.
QString HistoryComments(const HistoryRecord& record);
