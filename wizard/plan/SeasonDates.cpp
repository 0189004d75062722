#include "Season.h"

#include <QDate>
#include <QString>

namespace tavik {

namespace {

// A date written "YYYY-MM-DD" exactly (no time, no week dates).
QDate isoDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return {};
    }
    return QDate::fromString(QString::fromStdString(text), Qt::ISODate);
}

} // namespace

std::optional<int> dayAfterPlanting(const std::string& plantingDate, const std::string& date) {
    const QDate planted = isoDate(plantingDate);
    const QDate day = isoDate(date);
    if (!planted.isValid() || !day.isValid()) {
        return std::nullopt;
    }
    const qint64 days = planted.daysTo(day);
    if (days < -1000000 || days > 1000000) {
        return std::nullopt;
    }
    return static_cast<int>(days);
}

} // namespace tavik
