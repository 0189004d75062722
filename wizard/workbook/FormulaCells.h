#pragma once

// Finds the formula cells of a workbook's first worksheet and the results the workbook stored
// with them. The cell reader in use gives every formula cell as empty, so without this a value
// computed by a formula (a minimum yield, say) would silently read as missing. Also tells, before
// the cell reader is let loose on the file, how large the first worksheet claims to be and which
// of its texts the cell reader cannot take.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavik {

// The stored result of one formula cell of a worksheet (0-based row and column).
struct FormulaCell {
    unsigned row = 0;
    unsigned column = 0;
    // The result the workbook stored with the formula: a number, a text, or none when it cannot
    // be read (the formula was never calculated, its result is an error or a truth value, or its
    // text is missing or damaged); `why` then says which, in a few plain words for a user.
    std::variant<std::monostate, double, std::string> value;
    std::string why;
};

// A text cell of a worksheet (0-based row and column) and the length of its text.
struct LongText {
    unsigned row = 0;
    unsigned column = 0;
    unsigned characters = 0;
};

// All of it is empty on error.
struct FormulaScan {
    // In file order; only cells with row < rowLimit and column < columnLimit.
    std::vector<FormulaCell> cells;
    // The size the first worksheet claims in its DIMENSIONS record: one past its last row and one
    // past its last column, as the cell reader takes them. The cell reader sets aside memory for
    // every cell of that size before it reads any. None when the sheet makes no claim; the
    // largest when it makes several (the cell reader sets memory aside for each in turn).
    std::optional<std::uint32_t> claimedRows;
    std::optional<std::uint32_t> claimedColumns;
    // The text cells of the first worksheet (in file order, within the limits) whose text the
    // cell reader cannot take. A shared text (most texts are) is stored in pieces of about 8,200
    // bytes, and the cell reader reads one only when all of it past the piece where it starts
    // lies in the next piece: a text of up to 4,000 characters always fits (8,000 when all of
    // them are Latin-1), a longer one may or may not, depending on where it starts. A text
    // stored with its cell must fit in that cell's own record.
    std::vector<LongText> longTexts;
    // The length of the first shared text the cell reader cannot take, whether or not a cell of
    // the first worksheet shows it: with such a text the cell reader fails on the whole workbook
    // or misreads the texts after it. None when it can take them all.
    std::optional<unsigned> longSharedText;
    // Non-empty when the file's structure could not be followed, in a few words for a user.
    std::string problem;
};

// Reads the formula cells of the first worksheet (the one the first sheet entry of the workbook
// names) from `bytes`, the whole Excel 97-2003 (.xls) file, or an Excel 5/95 one. Never trusts the
// file: damaged or hostile input gives an error, never a crash, and the work and memory needed
// grow no faster than the file.
FormulaScan scanFormulaCells(std::string_view bytes, unsigned rowLimit, unsigned columnLimit);

} // namespace tavik
