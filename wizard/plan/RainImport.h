#pragma once

#include "engine/SeasonBalance.h"

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// A weather station's rain file is a small CSV file; a larger one is refused unread.
inline constexpr long long kMaxRainFileBytes = 4 * 1024 * 1024;

// The rain of a station's CSV file, one entry per line in the file's order; or, when a line
// cannot be read, the problem naming the line by its number (and no rain at all).
struct RainImport {
    std::vector<SeasonAmount> rain; // dates as YYYY-MM-DD
    std::vector<std::size_t> lines; // the line number of each, from 1
    std::string problem;
};

// Reads rain from CSV text: a heading line names a date column ("date", "day", …) and a
// rain column ("rain", "precipitation", "mm", …); each line below gives a date, ISO
// (YYYY-MM-DD) or in `shortDateFormat` (the system's short date, a two-digit year read as
// 20yy), and the rain in mm with a decimal point, or a comma when cells are separated by
// ";". Blank lines are passed over; a date given twice is refused.
RainImport parseRainCsv(std::string_view text, const QString& shortDateFormat);

} // namespace tavik
