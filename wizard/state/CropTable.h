#pragma once

#include "Cell.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tavik {

// Column numbers of the crop workbook (worksheet columns, A = 1).
namespace CropColumn {
inline constexpr int Name = 1;
inline constexpr int Stage1EndFactor = 2;
inline constexpr int SeasonEndFactor = 3;
inline constexpr int PeakStartDay = 4;
inline constexpr int PeakEndDay = 5;
inline constexpr int DemandDivisor = 6;
inline constexpr int WaterUseSlope = 7;
inline constexpr int WaterUseIntercept = 8;
inline constexpr int MinYield = 9;
inline constexpr int MaxYield = 10;
inline constexpr int RecommendedYield = 11;
inline constexpr int SeasonEndDay = 12;
inline constexpr int RootA0 = 13;
inline constexpr int RootScale = 17;
inline constexpr int RootDepthFactor = 18;
inline constexpr int RootDepth = 19;
inline constexpr int CropFactorK = 20;
inline constexpr int LimitLeafPotential = 21;
inline constexpr int Root90Fraction = 22;
inline constexpr int UptakeRatio = 23;
inline constexpr int Stage1EndDay = 36;
inline constexpr int Picture = 37;
inline constexpr int First = 1;
inline constexpr int Last = 37;
} // namespace CropColumn

// Why one crop row cannot be used.
struct CropRowProblem {
    int row = 0;      // worksheet row
    std::string crop; // column 1 as text (may be empty)
    int column = 0;   // 0 when the problem concerns the whole row
    std::string what;

    // "Row 5 (Groundnuts), column 6 (demand divisor): is zero."
    std::string describe() const;
};

// The crop table: rows 0..RowCount, columns 1..37. Row r holds worksheet row r; rows 0
// and 1 stay empty (worksheet row 1 holds the headings and is never read).
class CropTable {
public:
    CropTable();

    // Fills the table from a worksheet's used range. RowCount is the number of rows of the
    // used range as a 16-bit integer, so more than 32,767 rows are refused (the error text
    // is returned and the table left empty). Every crop row is checked; rows with problems
    // are kept in the table but not offered, and their problems are returned.
    struct LoadResult {
        std::optional<std::string> error;
        std::vector<CropRowProblem> problems;
    };
    LoadResult load(const SheetCells& usedRange);

    std::int16_t RowCount() const { return rowCount_; }

    // The cell at (row, column); any index outside the table reads as an empty cell.
    const Cell& cell(int row, int column) const;
    // A numeric cell's value: numbers as they are, numbers stored as text read as numbers,
    // empty cells as 0. Meant for the numeric columns of offered rows, which load() checked.
    double number(int row, int column) const;
    // A cell as text: texts as they are, numbers in their shortest form, empty cells as "".
    std::string text(int row, int column) const;

    // Crop rows (2..RowCount) that passed the checks, in worksheet order.
    const std::vector<std::int16_t>& offeredRows() const { return offered_; }
    bool isOffered(int row) const;

private:
    std::int16_t rowCount_ = 0;
    std::vector<std::vector<Cell>> cells_; // [row][column], columns 0..37, column 0 unused
    std::vector<std::int16_t> offered_;
};

// Human-readable name of a crop table column, for messages ("demand divisor").
std::string cropColumnName(int column);

// The problems of one crop row (empty when the row can be used).
std::vector<CropRowProblem> checkCropRow(const CropTable& table, int row);

// The picture file of a crop: the program's folder followed directly by column 37 (which
// begins with a path separator; '\' is taken as '/'). No path when column 37 is not a
// text, or when the path leads outside the program's folder.
std::optional<std::filesystem::path> cropPicturePath(const std::filesystem::path& programFolder,
                                                     const Cell& pictureCell);

} // namespace tavik

namespace tavik {

// The problems of several rows, one line each, in the order given.
std::string describeCropProblems(const std::vector<CropRowProblem>& problems);

} // namespace tavik
