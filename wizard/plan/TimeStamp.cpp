#include "TimeStamp.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

namespace tavik {

TimeStamp currentTimeStamp() {
    QDateTime now = QDateTime::currentDateTime();
    bool fixed = false;
    const qint64 epoch = qEnvironmentVariableIntValue("SOURCE_DATE_EPOCH", &fixed);
    if (fixed) {
        now = QDateTime::fromSecsSinceEpoch(epoch, QTimeZone::utc());
    }
    const QLocale locale = QLocale::system();
    // The long time format without its time zone ("3:04:05 PM").
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return {locale.toString(now.date(), QLocale::ShortFormat).toStdString(),
            locale.toString(now.time(), timeFormat.trimmed()).toStdString()};
}

} // namespace tavik
