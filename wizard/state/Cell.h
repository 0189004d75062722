#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

namespace tavik {

// A cell whose value the workbook does not hold in a form that can be read: a formula whose
// result was never calculated, or is an error.
struct UnreadableCell {
    std::string why; // "its result was never calculated"

    friend bool operator==(const UnreadableCell&, const UnreadableCell&) = default;
};

// The workbook reader passes on at most this many bytes of a text (cut where a character
// begins): no cell the crop table reads needs more.
inline constexpr std::size_t kMaxCellTextBytes = 4096;

// One worksheet cell as the crop table holds it: empty, a number, a text, or unreadable.
using Cell = std::variant<std::monostate, double, std::string, UnreadableCell>;

inline bool isEmpty(const Cell& cell) {
    return std::holds_alternative<std::monostate>(cell);
}
inline bool isNumber(const Cell& cell) {
    return std::holds_alternative<double>(cell);
}
inline bool isText(const Cell& cell) {
    return std::holds_alternative<std::string>(cell);
}
inline bool isUnreadable(const Cell& cell) {
    return std::holds_alternative<UnreadableCell>(cell);
}

// The used range of a worksheet as read from the workbook file: rows[0] is worksheet
// row 1, rows[i][0] is column A. Rows may be shorter than the widest row; missing cells
// are empty.
struct SheetCells {
    std::vector<std::vector<Cell>> rows;

    friend bool operator==(const SheetCells&, const SheetCells&) = default;
};

} // namespace tavik
