#include "ui/history/list_time_text.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include "platform/core/file_time.h"

namespace {

// The locale's long time format without its time-zone field: the times shown are wall-clock
// times, which have no zone. Quoted literal text is kept as it stands.
QString TimeFormatWithoutZone(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == '\'') quoted = !quoted;
        if (!quoted && c == 't') continue;
        kept += c;
    }
    return kept.simplified();
}

}  // namespace

QString FormatListTime(const FILETIME& wallClock) {
    if (wallClock.dwLowDateTime == 0 && wallClock.dwHighDateTime == 0) return {};
    SYSTEMTIME st{};
    if (!FileTimeToSystemTime(&wallClock, &st)) return {};
    const QDate date(st.wYear, st.wMonth, st.wDay);
    const QTime time(st.wHour, st.wMinute, st.wSecond);
    if (!date.isValid() || !time.isValid()) return {};
    const QLocale locale;
    return locale.toString(date, QLocale::ShortFormat) + ' ' + locale.toString(time, TimeFormatWithoutZone(locale));
}
