#pragma once
// The text a list shows for a time: the user's short date, a blank and the user's time
// with its seconds, in the locale's own formats.

#include <QString>

#include "platform/core/win_types.h"

// `wallClock` is a FILETIME that already holds the local time to show (history records
// do; a UTC time is turned into local time by the caller). Empty for 0 and for a value
// that names no date.
QString FormatListTime(const FILETIME& wallClock);
