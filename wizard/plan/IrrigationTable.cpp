#include "IrrigationTable.h"

#include "state/NumberText.h"

namespace tavik {

std::vector<IrrigationColumn> shownIrrigationColumns(bool dated, bool sprinklerPackage) {
    std::vector<IrrigationColumn> columns;
    if (dated) {
        columns.push_back({IrrigationField::Date, "Date"});
    }
    columns.insert(columns.end(), {{IrrigationField::Day, "Day after planting"},
                                   {IrrigationField::Amount, "Amount (mm)"},
                                   {IrrigationField::Cumulative, "Cumulative (mm)"}});
    if (sprinklerPackage) {
        columns.insert(columns.end(), {{IrrigationField::RunningSpeed, "Speed (%)"},
                                       {IrrigationField::Passes, "Passes"}});
    }
    return columns;
}

std::vector<IrrigationColumn> csvIrrigationColumns(bool dated) {
    std::vector<IrrigationColumn> columns{{IrrigationField::Day, "day"},
                                          {IrrigationField::Amount, "amount_mm"},
                                          {IrrigationField::Cumulative, "cumulative_mm"},
                                          {IrrigationField::Speed, "speed_percent"},
                                          {IrrigationField::BeyondCapacity, "beyond_capacity"},
                                          {IrrigationField::Passes, "passes"},
                                          {IrrigationField::PassSpeed, "pass_speed_percent"}};
    if (dated) {
        columns.push_back({IrrigationField::Date, "date"});
    }
    return columns;
}

QString shownIrrigationCell(IrrigationField field, const IrrigationDay& day, const QString& date) {
    const auto tenths = [](const std::optional<double>& value) {
        return value ? QString::number(*value, 'f', 1) : QString();
    };
    switch (field) {
    case IrrigationField::Date:
        return date;
    case IrrigationField::Day:
        return QString::number(day.day);
    case IrrigationField::Amount:
        return tenths(day.amount);
    case IrrigationField::Cumulative:
        return tenths(day.cumulative);
    case IrrigationField::Speed:
        return tenths(day.speed);
    case IrrigationField::BeyondCapacity:
        return day.beyondCapacity ? QStringLiteral("true") : QStringLiteral("false");
    case IrrigationField::Passes:
        return day.passes ? QString::number(*day.passes) : QString();
    case IrrigationField::PassSpeed:
        return tenths(day.passSpeed);
    case IrrigationField::RunningSpeed:
        return tenths(passingSpeed(day));
    }
    return {};
}

std::string csvIrrigationCell(IrrigationField field, const IrrigationDay& day,
                              const std::string& isoDate) {
    const auto number = [](const std::optional<double>& value) {
        return value ? shortestText(*value) : std::string();
    };
    switch (field) {
    case IrrigationField::Date:
        return isoDate;
    case IrrigationField::Day:
        return std::to_string(day.day);
    case IrrigationField::Amount:
        return shortestText(day.amount);
    case IrrigationField::Cumulative:
        return shortestText(day.cumulative);
    case IrrigationField::Speed:
        return number(day.speed);
    case IrrigationField::BeyondCapacity:
        return day.beyondCapacity ? "true" : "false";
    case IrrigationField::Passes:
        return day.passes ? std::to_string(*day.passes) : std::string();
    case IrrigationField::PassSpeed:
        return number(day.passSpeed);
    case IrrigationField::RunningSpeed:
        return number(passingSpeed(day));
    }
    return {};
}

} // namespace tavik
