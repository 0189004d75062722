#pragma once

#include "engine/Schedule.h"

#include <QString>
#include <string>
#include <vector>

namespace tavik {

// The irrigation table, one line per irrigation day: its columns as the result screen's
// calendar and the field sheet show them, and as the CSV table holds them.
enum class IrrigationField {
    Date,           // the calendar date, with a planting date
    Day,            // days after planting
    Amount,         // mm
    Cumulative,     // mm
    Speed,          // running speed for the amount, %
    BeyondCapacity, // the amount is beyond what one pass can apply
    Passes,         // passes of a split irrigation
    PassSpeed,      // running speed of each pass, %
    RunningSpeed,   // the speed the machine is set to: each pass's, else the amount's, %
};

struct IrrigationColumn {
    IrrigationField field;
    const char* heading;
};

// The columns a reader is shown: the date first (when there is a planting date), the day,
// the amount and the running total, and with a sprinkler package the speed and the passes.
std::vector<IrrigationColumn> shownIrrigationColumns(bool dated, bool sprinklerPackage);

// The CSV table's columns, named for a program that reads it; the date last.
std::vector<IrrigationColumn> csvIrrigationColumns(bool dated);

// A figure is right-aligned; the date reads from the left.
inline bool isFigure(IrrigationField field) {
    return field != IrrigationField::Date;
}

// A cell as it is shown: millimetres and per cent to a tenth, nothing for a speed or passes
// the day does not have; the date as the caller writes it.
QString shownIrrigationCell(IrrigationField field, const IrrigationDay& day, const QString& date);

// A cell of the CSV table: numbers as the shortest decimal that reads back to the value held,
// true or false, nothing for what the day does not have; the date as "YYYY-MM-DD".
std::string csvIrrigationCell(IrrigationField field, const IrrigationDay& day,
                              const std::string& isoDate);

} // namespace tavik
