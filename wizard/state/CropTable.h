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

// The values a crop column may hold: wide enough for any real crop, narrow enough that every
// computation on an offered row stays finite and its figures plausible. A crop row with a
// value outside its column's range is not offered.
struct CropColumnRange {
    int column = 0;
    double low = 0;
    double high = 0;
    bool aboveLow = false; // the low end itself is excluded (a divisor, a depth)
    const char* unit = ""; // " kg/ha", " days", or nothing

    bool contains(double value) const {
        return (aboveLow ? value > low : value >= low) && value <= high;
    }
    // "from 0 to 1.5", "more than 0 and at most 1000 kg/ha per mm"
    std::string describe() const;
};
const std::vector<CropColumnRange>& cropColumnRanges();

// Bounds on what the columns give together.
inline constexpr double kMaxSeasonWaterUse = 5000; // mm over the season, at either yield end
inline constexpr double kMaxPeakDemand = 50;       // mm per day at the maximum yield
inline constexpr double kMinRootingDepth = 150;    // mm: the roots reach half the top layer
inline constexpr double kMaxRootingDepth = 10000;  // mm
inline constexpr double kMaxRootLength = 10000;    // the root length of the soil computation
// A crop name is shown on a button and in the report: at most this many characters, and
// no control characters.
inline constexpr std::size_t kMaxCropNameLength = 100;

// Why one crop row cannot be used.
struct CropRowProblem {
    int row = 0;      // worksheet row
    std::string crop; // column 1 as text (may be empty)
    int column = 0;   // 0 when the problem concerns the whole row
    std::string what;
    int lastRow = 0; // for empty rows: the last of a run of them that this one problem names

    // "Row 5 (Groundnuts), column 6 (demand divisor): is zero."; "Rows 13 to 40: the rows are
    // empty."
    std::string describe() const;
};

// The problems of several rows, one line each, in the order given.
std::string describeCropProblems(const std::vector<CropRowProblem>& problems);

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
        std::optional<std::string> problem;
        std::vector<CropRowProblem> rowProblems;
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
