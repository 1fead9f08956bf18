#pragma once
// The small images on the option pages' list buttons, cut from the ribbon's small strip:
// "add" (a menu of entries to add) and "remove" (the selected entries).

#include <QIcon>

QIcon AddEntryIcon();
QIcon RemoveEntryIcon();
