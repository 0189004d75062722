// The used-range CSV through which the workbook reader hands a worksheet to the wizard:
// any bytes either give a sheet or a reason, and a sheet written back out reads back the
// same.

#include "Checks.h"
#include "workbook/UsedRangeCsv.h"

#include <cmath>
#include <string>

namespace {

// Cell equality that tells -0 from 0 and counts NaN equal to NaN: the CSV reads "-0" and
// "nan" as numbers, and the round trip must keep them what they were.
bool sameCell(const tavik::Cell& a, const tavik::Cell& b) {
    const auto* x = std::get_if<double>(&a);
    const auto* y = std::get_if<double>(&b);
    if (x != nullptr && y != nullptr) {
        return std::isnan(*x) ? std::isnan(*y) : *x == *y && std::signbit(*x) == std::signbit(*y);
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
    const std::string_view csv(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto sheet = tavik::parseUsedRangeCsv(csv, error);
    if (!sheet) {
        require(!error.empty(), "a refused used range says why");
        return 0;
    }
    const std::string written = tavik::formatUsedRangeCsv(*sheet);
    std::string again;
    const auto reread = tavik::parseUsedRangeCsv(written, again);
    require(reread.has_value(), "a written used range reads back");
    require(sameSheet(*sheet, *reread), "a written used range reads back the same cells");
    require(tavik::formatUsedRangeCsv(*reread) == written, "writing a sheet twice gives one text");
    return 0;
}
