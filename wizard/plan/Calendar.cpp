#include "Calendar.h"

#include <QDate>
#include <QString>
#include <algorithm>

namespace tavik {

std::optional<std::string> dateAfter(const std::string& plantingDate, int days) {
    const QDate planted = QDate::fromString(QString::fromStdString(plantingDate), Qt::ISODate);
    if (!planted.isValid()) {
        return std::nullopt;
    }
    return planted.addDays(days).toString(Qt::ISODate).toStdString();
}

int lastDatedDay(int seasonDays, const std::vector<IrrigationDay>& irrigations) {
    int last = seasonDays;
    for (const IrrigationDay& day : irrigations) {
        last = std::max(last, day.day + 1);
    }
    return last;
}

std::string latestPlantingDate(int lastDay) {
    return QDate::fromString(QString::fromLatin1(kLastPlanDate), Qt::ISODate)
        .addDays(-lastDay)
        .toString(Qt::ISODate)
        .toStdString();
}

} // namespace tavik
