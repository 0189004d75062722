#include "Calendar.h"

#include <QDate>
#include <QString>

namespace tavik {

std::optional<std::string> dateAfter(const std::string& plantingDate, int days) {
    const QDate planted = QDate::fromString(QString::fromStdString(plantingDate), Qt::ISODate);
    if (!planted.isValid()) {
        return std::nullopt;
    }
    return planted.addDays(days).toString(Qt::ISODate).toStdString();
}

} // namespace tavik
