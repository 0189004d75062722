#pragma once

#include <string>
#include <variant>
#include <vector>

namespace tavik {

// One worksheet cell as the crop table holds it: empty, a number or a text.
using Cell = std::variant<std::monostate, double, std::string>;

inline bool isEmpty(const Cell& cell) {
    return std::holds_alternative<std::monostate>(cell);
}
inline bool isNumber(const Cell& cell) {
    return std::holds_alternative<double>(cell);
}
inline bool isText(const Cell& cell) {
    return std::holds_alternative<std::string>(cell);
}

// The used range of a worksheet as read from the workbook file: rows[0] is worksheet
// row 1, rows[i][0] is column A. Rows may be shorter than the widest row; missing cells
// are empty.
struct SheetCells {
    std::vector<std::vector<Cell>> rows;

    friend bool operator==(const SheetCells&, const SheetCells&) = default;
};

} // namespace tavik
