#include "TimeStamp.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

namespace tavik {

namespace {

QDateTime now() {
    bool fixed = false;
    const qint64 epoch = qEnvironmentVariableIntValue("SOURCE_DATE_EPOCH", &fixed);
    return fixed ? QDateTime::fromSecsSinceEpoch(epoch, QTimeZone::utc())
                 : QDateTime::currentDateTime();
}

} // namespace

TimeStamp currentTimeStamp() {
    const QDateTime now = tavik::now();
    const QLocale locale = QLocale::system();
    // The long time format without its time zone ("3:04:05 PM").
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return {locale.toString(now.date(), QLocale::ShortFormat).toStdString(),
            locale.toString(now.time(), timeFormat.trimmed()).toStdString()};
}

std::string currentUtcStamp() {
    return now().toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toStdString();
}

} // namespace tavik
