// The answer in which tavik-workbook hands a sheet to the wizard, as the wizard reads it: the
// reader runs on hostile files, so its answer may be anything. Any bytes give a sheet within
// the crop table's limits or a reason, and a sheet written back out reads back the same.

#include "Checks.h"
#include "workbook/SheetAnswer.h"

#include <cmath>
#include <string>

namespace {

// Cell equality that tells -0 from 0: the round trip must keep a number what it was.
bool sameCell(const tavik::Cell& a, const tavik::Cell& b) {
    const auto* x = std::get_if<double>(&a);
    const auto* y = std::get_if<double>(&b);
    if (x != nullptr && y != nullptr) {
        return *x == *y && std::signbit(*x) == std::signbit(*y);
    }
    return a == b;
}

bool sameSheet(const tavik::SheetCells& a, const tavik::SheetCells& b) {
    if (a.rows.size() != b.rows.size()) {
        return false;
    }
    for (std::size_t r = 0; r < a.rows.size(); ++r) {
        if (a.rows[r].size() != b.rows[r].size()) {
            return false;
        }
        for (std::size_t c = 0; c < a.rows[r].size(); ++c) {
            if (!sameCell(a.rows[r][c], b.rows[r][c])) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tavik::fuzz::require;
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto sheet = tavik::parseSheetAnswer(answer, error);
    if (!sheet) {
        require(!error.empty(), "a refused answer says why");
        return 0;
    }
    require(sheet->rows.size() <= tavik::kMaxAnswerRows, "no more rows than a crop table has");
    for (const auto& row : sheet->rows) {
        require(row.size() <= tavik::kMaxAnswerColumns, "no more columns than a crop table has");
        for (const auto& cell : row) {
            const auto* number = std::get_if<double>(&cell);
            require(number == nullptr || std::isfinite(*number), "numbers are finite");
        }
    }
    const std::string written = tavik::formatSheetAnswer(*sheet);
    std::string again;
    const auto reread = tavik::parseSheetAnswer(written, again);
    require(reread.has_value(), "a written answer reads back", again);
    require(sameSheet(*sheet, *reread), "a written answer reads back the same cells");
    require(tavik::formatSheetAnswer(*reread) == written, "writing a sheet twice gives one text");
    return 0;
}
